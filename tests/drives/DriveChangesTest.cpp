// Drives added and removed between two letter tables, and a VELOMIRA_DRIVES folder that
// disappears counting as a removed drive.
#include "platform/DriveChanges.h"

#include <gtest/gtest.h>

#include <set>

namespace velomira {
namespace {

std::string Describe(const std::vector<DriveChange>& changes)
{
    std::string text;
    for (const DriveChange& c : changes)
        text += std::string(c.added ? "+" : "-") + c.letter;
    return text;
}

TEST(DriveChanges, DiffNamesRemovedThenAddedLetters)
{
    struct Case {
        const char* name;
        PresentDrives before;
        PresentDrives after;
        const char* changes;
    };
    const Case cases[] = {
        { "nothing", { { 'E', "/media/a" } }, { { 'E', "/media/a" } }, "" },
        { "card out", { { 'D', "/mnt/x" }, { 'E', "/media/a" } }, { { 'D', "/mnt/x" } }, "-E" },
        { "card in", {}, { { 'E', "/media/a" } }, "+E" },
        { "letter moved to another folder", { { 'E', "/media/a" } }, { { 'E', "/media/b" } },
            "-E+E" },
        { "one out, one in", { { 'E', "/media/a" } }, { { 'F', "/media/b" } }, "-E+F" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(DiffDrives(c.before, c.after)), c.changes) << c.name;
}

TEST(DriveChanges, FixedTableLetterIsPresentOnlyWhileItsFolderExists)
{
    const DriveTable table = DriveTable::FromOverride("E=/tmp/card;F=/tmp/other");
    std::set<std::string> existing = { "/tmp/card", "/tmp/other" };
    const auto exists
        = [&](const std::filesystem::path& p) { return existing.count(p.string()) > 0; };

    const PresentDrives before = PresentDrivesOf(table, true, exists);
    EXPECT_EQ(before.size(), 2u);
    existing.erase("/tmp/card");
    const PresentDrives after = PresentDrivesOf(table, true, exists);
    EXPECT_EQ(Describe(DiffDrives(before, after)), "-E");
    // A mount table's letters are present by being in the table.
    EXPECT_EQ(PresentDrivesOf(table, false, exists).size(), 2u);
}

} // namespace
} // namespace velomira
