#include "platform/CardPath.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/CardSearch.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

TEST(CardPathTexts, UseTheViewersFormats)
{
    EXPECT_EQ(CardRootPath('E', "data_setup.cfg"), "E:\\data_setup.cfg");
    EXPECT_EQ(CardSetupPath('E', "data_factory.cfg"), "E:\\SETUP\\data_factory.cfg");
    EXPECT_EQ(CardSetupRelativePath('E', "data_factory.cfg"), "E:SETUP\\data_factory.cfg");
}

TEST(CardPathTranslation, MatchesEachComponentIgnoringCase)
{
    test::TempDir card("velomira-card");
    std::filesystem::create_directories(card / "Setup");
    std::ofstream(card / "Setup" / "DATA_FACTORY.CFG") << "PLK";
    std::filesystem::create_directories(card / "NORMAL" / "sub");
    FixedDriveRoots drives('E', card.Path());

    struct Case {
        const char* text;
        std::filesystem::path expected;
    } cases[] = {
        { "E:\\SETUP\\data_factory.cfg", card / "Setup" / "DATA_FACTORY.CFG" },
        { "e:SETUP\\Data_Factory.cfg", card / "Setup" / "DATA_FACTORY.CFG" },
        { "E:\\normal\\SUB", card / "NORMAL" / "sub" },
        { "E:\\data_setup.cfg", card / "data_setup.cfg" }, // to be created: kept as written
        { "E:\\setup\\new.cfg", card / "Setup" / "new.cfg" },
        { "E:", card.Path() },
        { "E:\\", card.Path() },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToLinuxPath(c.text, drives), c.expected) << c.text;

    for (const char* bad :
        { "", "E", "\\SETUP", "F:\\x", "1:\\x", "E:\\..\\etc", "E:\\a/b", "E:\\.\\x" })
        EXPECT_FALSE(ToLinuxPath(bad, drives)) << bad;
}

TEST(CardPathTranslation, ListedNamesAreJoinedAsSpelledButStillConfinedToTheCard)
{
    FixedDriveRoots drives('E', "/media/card");
    EXPECT_EQ(ToLinuxPathAsListed("E:\\NORMAL\\d\\x.mp4", drives),
        std::filesystem::path("/media/card/NORMAL/d/x.mp4"));
    EXPECT_FALSE(ToLinuxPathAsListed("E:\\..\\x", drives));
    EXPECT_FALSE(ToLinuxPathAsListed("F:\\x", drives));
}

TEST(CardPathTranslation, ExactSpellingWinsOverAnotherCase)
{
    test::TempDir card("velomira-card");
    std::filesystem::create_directories(card / "Normal");
    std::filesystem::create_directories(card / "NORMAL");
    FixedDriveRoots drives('E', card.Path());
    EXPECT_EQ(ToLinuxPath("E:\\Normal", drives), card / "Normal");
    EXPECT_EQ(ToLinuxPath("E:\\NORMAL", drives), card / "NORMAL");
}

TEST(CardSearchByEventFolder, TakesTheFirstLetterFromDToY)
{
    test::TempDir root("velomira-drives");
    for (const char* name : { "c", "e", "f", "z", "g" })
        std::filesystem::create_directories(root / name);
    std::filesystem::create_directories(root / "c" / "EVENT");
    std::filesystem::create_directories(root / "z" / "EVENT");
    std::filesystem::create_directories(root / "f" / "EVENT");
    std::ofstream(root / "g" / "event") << ""; // any entry of that name counts
    FixedDriveRoots drives;
    drives.Assign('C', root / "c");
    drives.Assign('E', root / "e");
    drives.Assign('F', root / "f");
    drives.Assign('Z', root / "z");
    EXPECT_EQ(FindCardDrive(drives), "F:");

    std::filesystem::create_directories(root / "e" / "Event");
    EXPECT_EQ(FindCardDrive(drives), "E:");

    FixedDriveRoots onlyOutside;
    onlyOutside.Assign('C', root / "c");
    onlyOutside.Assign('Z', root / "z");
    EXPECT_FALSE(FindCardDrive(onlyOutside));

    FixedDriveRoots lowerCase('G', root / "g");
    EXPECT_EQ(FindCardDrive(lowerCase), "G:");
}

TEST(CardListing, ListsNamesAndFoldersAndFailsOnMissingFolders)
{
    test::TempDir card("velomira-card");
    std::filesystem::create_directories(card / "EVENT");
    std::ofstream(card / "x.mp4") << "";
    std::ofstream(card / "a\\b.mp4") << "";
    FixedDriveRoots drives('E', card.Path());
    CardDirectoryLister lister(drives);
    std::vector<DirectoryItem> items;
    ASSERT_TRUE(lister.List("E:", items));
    ASSERT_EQ(items.size(), 2u);
    for (const auto& item : items)
        EXPECT_EQ(item.isFolder, item.name == "EVENT");
    EXPECT_FALSE(lister.List("E:\\NOPE", items));
    EXPECT_FALSE(lister.List("Q:", items));
}

} // namespace
} // namespace velomira
