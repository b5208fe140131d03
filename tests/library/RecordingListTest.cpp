#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "library/RecordingFilter.h"

namespace velomira {
namespace {

RecordingEntry Entry(const std::string& kind, const std::string& path)
{
    return { "d", "t", kind, path };
}

TEST(StampKeys, ReadTheStampBeforeASevenCharacterTail)
{
    struct Case {
        const char* path;
        std::int64_t key;
    } cases[] = {
        { "E:\\NORMAL\\20120315_123456_ab.mp4", 20120315123456 },
        { "20120315_123456_ab.mp4", 20120315123456 },
        { "E:\\NORMAL\\20120315_123456_F.mp4", 0 }, // six-character tail: the stamp is missed
        { "E:\\NORMAL\\abc.mp4", 0 },
        { "short", 0 },
        { "", 0 },
        { "1234567", 0 },
        { "-2012031+12345_ab.mp4", -2012031 * 1000000LL + 12345 },
        { "/tmp/+20120315 12345x_ab.mp4", 20120315012345 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(StampKey(c.path), c.key) << c.path;
}

TEST(StampKeys, LeadingIntegerSaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(LeadingInteger("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(LeadingInteger("-99999999999999999999999"), INT64_MIN);
    EXPECT_EQ(LeadingInteger(" \t42abc"), 42);
    EXPECT_EQ(LeadingInteger("--1"), 0);
}

TEST(ListFilterPass, KindButtonsChooseWhatIsShownAndParkingNeverIs)
{
    RecordingLists lists;
    lists.master = { Entry("NORMAL", "20120315_100000_ab.mp4"),
        Entry("EVENT", "20120315_110000_ab.mp4"), Entry("PARKING", "20120315_120000_ab.mp4"),
        Entry("File", "20120315_090000_ab.avi"), Entry("Normal", "20120315_080000_ab.mp4"),
        Entry("Event", "20120315_070000_ab.mp4"), Entry("normal", "20120315_130000_ab.mp4") };
    struct Case {
        const char* name;
        ListFilter filter;
        std::vector<std::string> kinds;
    } cases[] = {
        { "normal button", { true, false, true }, { "NORMAL", "File", "Normal" } },
        { "event button", { false, true, true }, { "EVENT", "File", "Event" } },
        { "all", { true, true, true }, { "EVENT", "NORMAL", "File", "Normal", "Event" } },
        { "all ascending", { true, true, false },
            { "Event", "Normal", "File", "NORMAL", "EVENT" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FilterAndSortEntries(lists, c.filter), c.kinds.size());
        std::vector<std::string> kinds;
        for (const auto& e : lists.visible)
            kinds.push_back(e.kind);
        EXPECT_EQ(kinds, c.kinds);
    }
    EXPECT_EQ(lists.master.size(), 7u);
}

TEST(ListFilterPass, KeyZeroGoesLastDescendingAndFirstAscending)
{
    RecordingLists lists;
    lists.master = { Entry("NORMAL", "E:\\NORMAL\\nostamp.mp4"),
        Entry("NORMAL", "E:\\N\\20120315_110000_ab.mp4"),
        Entry("NORMAL", "E:\\N\\20120315_120000_ab.mp4") };
    FilterAndSortEntries(lists, { true, true, true });
    EXPECT_EQ(lists.visible[0].path, lists.master[2].path);
    EXPECT_EQ(lists.visible[2].path, lists.master[0].path);
    FilterAndSortEntries(lists, { true, true, false });
    EXPECT_EQ(lists.visible[0].path, lists.master[0].path);
    EXPECT_EQ(lists.visible[2].path, lists.master[2].path);
}

// The order a neighbour-swapping sort gives, as a reference for large lists.
std::vector<std::size_t> BubbleOrder(const std::vector<std::int64_t>& keys, bool descending)
{
    std::vector<std::size_t> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    for (std::size_t pass = 1; pass < order.size(); ++pass) {
        bool swapped = false;
        for (std::size_t j = 0; j + 1 < order.size(); ++j) {
            const auto a = keys[order[j]], b = keys[order[j + 1]];
            if (descending ? a < b : a > b) {
                std::swap(order[j], order[j + 1]);
                swapped = true;
            }
        }
        if (!swapped)
            break;
    }
    return order;
}

TEST(ListFilterPass, TenThousandEntriesWithEqualKeysKeepMasterOrderInBothDirections)
{
    std::mt19937 random(7);
    RecordingLists lists;
    std::vector<std::int64_t> keys;
    for (int i = 0; i < 10000; ++i) {
        // Few distinct stamps, so most keys are shared; the serial number tells entries apart.
        const int second = static_cast<int>(random() % 50);
        char path[64];
        std::snprintf(path, sizeof path, "E:\\NORMAL\\%05d\\20240315_1000%02d_ab.mp4", i, second);
        lists.master.push_back(Entry("NORMAL", path));
        keys.push_back(20240315100000 + second);
    }
    for (bool descending : { true, false }) {
        SCOPED_TRACE(descending);
        ASSERT_EQ(FilterAndSortEntries(lists, { true, true, descending }), 10000u);
        const auto order = BubbleOrder(keys, descending);
        for (std::size_t i = 0; i < order.size(); ++i)
            ASSERT_EQ(lists.visible[i].path, lists.master[order[i]].path) << i;
    }
}

} // namespace
} // namespace velomira
