#include "library/RecordingScan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

#include "library/RecordingFilter.h"
#include "library/RecordingImport.h"
#include "platform/CardPath.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

// A card whose folder listings are scripted: card path text -> items in listing order.
class ScriptedLister : public DirectoryLister {
public:
    std::map<std::string, std::vector<DirectoryItem>, std::less<>> folders;
    mutable std::vector<std::string> listed;

    // Folders whose listing fails after the items scripted for them.
    std::set<std::string, std::less<>> failing;

    bool List(std::string_view folder, std::vector<DirectoryItem>& items) const override
    {
        listed.emplace_back(folder);
        items.clear();
        const auto it = folders.find(folder);
        if (it == folders.end())
            return false;
        items = it->second;
        return !failing.contains(folder);
    }
};

DirectoryItem File(const char* name)
{
    return { name, false };
}
DirectoryItem Folder(const char* name)
{
    return { name, true };
}

TEST(CardScan, ListsRecordingsBelowKindFoldersOnlyWithTheFirstLevelFolderAsKind)
{
    ScriptedLister card;
    card.folders["E:"] = { Folder("."), Folder(".."), File("x.mp4"), Folder("Normal"),
        Folder("NORMAL"), Folder("normal"), Folder("Events"), Folder("DCIM"), Folder("Event"),
        Folder("PARKING"), Folder("EVENT") };
    card.folders["E:\\Normal"] = { File("20240315_101010_F.mp4"), File("20240315_101011_F.txt") };
    card.folders["E:\\NORMAL"] = { Folder("2024"), File("abc.MP4") };
    card.folders["E:\\NORMAL\\2024"] = { File("20240316_111111_F.Avi") };
    card.folders["E:\\normal"] = { File("20240317_101010_F.mp4") };
    card.folders["E:\\Events"] = { File("20240317_101010_F.mp4") };
    card.folders["E:\\DCIM"] = { File("y.mp4") };
    card.folders["E:\\Event"] = { Folder("2012"), File("20120315_090000.mp4") };
    card.folders["E:\\Event\\2012"] = { Folder("0315") };
    card.folders["E:\\Event\\2012\\0315"] = { File("20120315_101010x.avi") };
    card.folders["E:\\PARKING"] = { File("20240318_010203_P.mp4") };
    // E:\EVENT cannot be listed: it adds nothing.

    std::vector<RecordingEntry> entries;
    ScanRecordings("E:", card, entries);
    const std::vector<RecordingEntry> expected = {
        { "2024-03-15", "10:10:10", "Normal", "E:\\Normal\\20240315_101010_F.mp4" },
        { "2024-03-16", "11:11:11", "NORMAL", "E:\\NORMAL\\2024\\20240316_111111_F.Avi" },
        { "abc.-MP-4", "::", "NORMAL", "E:\\NORMAL\\abc.MP4" },
        { "2012-03-15", "10:10:10", "Event", "E:\\Event\\2012\\0315\\20120315_101010x.avi" },
        { "2012-03-15", "09:00:00", "Event", "E:\\Event\\20120315_090000.mp4" },
        { "2024-03-18", "01:02:03", "PARKING", "E:\\PARKING\\20240318_010203_P.mp4" },
    };
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(std::count(card.listed.begin(), card.listed.end(), "E:\\."), 0);
}

TEST(CardScan, AListingThatFailsPartWayKeepsWhatWasReadAndSaysSo)
{
    ScriptedLister card;
    card.folders["E:"] = { Folder("EVENT"), Folder("NORMAL") };
    card.folders["E:\\EVENT"] = { File("20240318_010204_Ex.mp4") };
    card.folders["E:\\NORMAL"] = { File("20240318_010205_Nx.mp4") };
    RecordingLists lists;
    EXPECT_TRUE(RescanCard(lists, "E:", card, ListFilter {}).complete);

    // The card pulled out while NORMAL was being read: its first file made it.
    card.failing.insert("E:\\NORMAL");
    const CardScanResult scan = RescanCard(lists, "E:", card, ListFilter {});
    EXPECT_FALSE(scan.complete);
    EXPECT_EQ(scan.shown, 2u);

    // A kind folder that cannot be listed at all.
    card.failing.clear();
    card.folders.erase("E:\\EVENT");
    EXPECT_FALSE(RescanCard(lists, "E:", card, ListFilter {}).complete);
    EXPECT_EQ(lists.master.size(), 1u);
}

TEST(CardScan, RescanReplacesEarlierEntriesAndHidesParking)
{
    ScriptedLister card;
    card.folders["E:"] = { Folder("PARKING"), Folder("EVENT"), Folder("NORMAL") };
    card.folders["E:\\PARKING"] = { File("20240318_010203_P.mp4") };
    card.folders["E:\\EVENT"] = { File("20240318_010204_Ex.mp4") };
    card.folders["E:\\NORMAL"] = { File("20240318_010205_Nx.mp4") };
    RecordingLists lists;
    lists.master.push_back({ "old", "old", "File", "/old.avi" });
    const CardScanResult scan = RescanCard(lists, "E:", card, ListFilter {});
    EXPECT_EQ(scan.shown, 2u);
    EXPECT_TRUE(scan.complete);
    EXPECT_EQ(lists.master.size(), 3u);
    EXPECT_EQ(lists.visible[0].kind, "NORMAL");
    EXPECT_EQ(lists.visible[1].kind, "EVENT");
}

TEST(CardScan, RealCardFolderThroughTheLetterTable)
{
    test::TempDir root("velomira-scan");
    std::filesystem::create_directories(root / "NORMAL" / "sub");
    std::filesystem::create_directories(root / "Event");
    std::ofstream(root / "NORMAL" / "sub" / "20240315_101010_F.mp4") << "x";
    std::ofstream(root / "Event" / "20240315_101011_E.MP4") << "x";
    std::filesystem::create_directory_symlink(root.Path(), root / "NORMAL" / "loop");
    FixedDriveRoots drives('E', root.Path());
    CardDirectoryLister lister(drives);
    std::vector<RecordingEntry> entries;
    ScanRecordings("E:", lister, entries);
    ASSERT_EQ(entries.size(), 2u);
    for (const RecordingEntry& entry : entries) {
        const auto linux = ToLinuxPath(entry.path, drives);
        ASSERT_TRUE(linux);
        EXPECT_TRUE(std::filesystem::exists(*linux)) << entry.path;
    }
}

void WriteFileOfSize(const std::filesystem::path& path, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out << std::string(size, 'x');
}

TEST(FileImport, AcceptsAviAndMp4OverTenKibInReverseChoiceOrderBeforeSorting)
{
    test::TempDir dir("velomira-import");
    // Names of the card's length, so the sort key reads their stamps; the stamps are not
    // in the order the files were chosen, so the sort has something to do.
    const auto a = (dir / "20120320_101010_aa.avi").string();
    const auto b = (dir / "clip^20120316_111111^bb.MP4").string();
    const auto small = (dir / "20120317_101010_cc.avi").string();
    const auto exact = (dir / "20120318_101010_dd.avi").string();
    const auto text = (dir / "20120319_101010_ee.avi.txt").string();
    const auto readOnly = (dir / "20120315_101010_ff.mp4").string();
    WriteFileOfSize(a, 20000);
    WriteFileOfSize(b, 20000);
    WriteFileOfSize(small, 11263);
    WriteFileOfSize(exact, 11264);
    WriteFileOfSize(text, 20000);
    WriteFileOfSize(readOnly, 20000);
    std::filesystem::permissions(
        readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);

    RecordingLists lists;
    const std::vector<std::string> chosen = { a, b, small, exact, text, readOnly,
        (dir / "missing.avi").string(), dir.Path().string() + "/dir.avi" };
    std::filesystem::create_directory(dir / "dir.avi");
    EXPECT_EQ(ImportOpenedFiles(lists, chosen, ListFilter {}), 4u);
    ASSERT_EQ(lists.master.size(), 4u);
    EXPECT_EQ(lists.master[0].path, readOnly);
    EXPECT_EQ(lists.master[3].path, a);
    EXPECT_EQ(lists.master[2].date, "2012-03-16");
    EXPECT_EQ(lists.master[2].time, "11:11:11");
    EXPECT_EQ(lists.master[2].kind, "File");
    for (const RecordingEntry& entry : lists.visible)
        EXPECT_NE(StampKey(entry.path), 0) << entry.path;
    const std::vector<std::string> newestFirst = { a, exact, b, readOnly };
    ASSERT_EQ(lists.visible.size(), newestFirst.size());
    for (std::size_t i = 0; i < newestFirst.size(); ++i)
        EXPECT_EQ(lists.visible[i].path, newestFirst[i]) << i;
}

TEST(FileImport, StampAfterTheFirstCaretElseFromTheStart)
{
    EXPECT_EQ(
        ImportStamp(ImportedFileName("C:\\video\\clip^20120315_101010^a.avi")), "20120315_101010");
    EXPECT_EQ(ImportStamp(ImportedFileName("/home/u/20120315_101010_a.avi")), "20120315_101010");
    EXPECT_EQ(ImportStamp("a^b"), "b");
    EXPECT_EQ(ImportStamp("x^"), "");
    EXPECT_EQ(ImportedFileName("plain.avi"), "plain.avi");
}

} // namespace
} // namespace velomira
