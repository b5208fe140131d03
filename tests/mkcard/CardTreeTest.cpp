// Checks the generated test card: its tree, its recordings and both data files, byte for byte.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "ExpectedDeviceFiles.h"
#include "MediaProbe.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

std::filesystem::path Card()
{
    return test::TestDataDir() / "card";
}

std::vector<uint8_t> Bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(
        (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int Word(const std::vector<uint8_t>& r, int offset)
{
    return r[static_cast<size_t>(offset)] | (r[static_cast<size_t>(offset) + 1] << 8);
}

TEST(TestCard, HoldsRecordingsUnderEveryKindSpellingAndTheRootMark)
{
    EXPECT_TRUE(std::filesystem::is_directory(Card() / "EVENT"));
    const std::set<std::string> kinds { "Event", "Normal", "Parking", "EVENT", "NORMAL",
        "PARKING" };
    std::set<std::string> seenKinds;
    int recordings = 0, withoutTelemetry = 0, nested = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Card())) {
        if (!entry.is_regular_file())
            continue;
        const auto relative = std::filesystem::relative(entry.path(), Card());
        const std::string kind = relative.begin()->string();
        const std::string ext = entry.path().extension().string();
        if (!kinds.count(kind) || (ext != ".mp4" && ext != ".avi"))
            continue;
        ++recordings;
        seenKinds.insert(kind);
        if (std::distance(relative.begin(), relative.end()) > 2)
            ++nested;
        const std::string name = entry.path().filename().string();
        // YYYYMMDD_HHMMSS and a seven-character tail.
        ASSERT_EQ(name.size(), 22u) << name;
        EXPECT_EQ(name[8], '_');
        const auto streams = test::ProbeStreams(entry.path());
        ASSERT_TRUE(streams) << relative;
        ASSERT_GE(streams->size(), 3u) << relative;
        EXPECT_EQ((*streams)[0].codec, "h264");
        EXPECT_EQ((*streams)[1].codec, "h264");
        if (test::ReadTelemetryPackets(entry.path()).empty())
            ++withoutTelemetry;
    }
    EXPECT_EQ(
        seenKinds, (std::set<std::string> { "Event", "Normal", "Parking", "EVENT", "NORMAL" }));
    EXPECT_GE(recordings, 5);
    EXPECT_EQ(withoutTelemetry, 1);
    EXPECT_GE(nested, 1);
}

TEST(TestCard, HoldsFilesThatAreNotRecordings)
{
    for (const char* path : { "20240315_090000_NF.mp4", "DCIM/20240315_090100_NF.mp4",
             "NORMAL/20240315_090300_NF.txt", "normal/20240315_090500_NF.mp4" })
        EXPECT_TRUE(std::filesystem::is_regular_file(Card() / path)) << path;
}

TEST(TestCard, SettingsFileIsTheEnglishDefaultWithAValidChecksum)
{
    const auto r = Bytes(Card() / "data_setup.cfg");
    ASSERT_EQ(r.size(), 200u);
    unsigned x = 0;
    for (size_t i = 4; i < 200; ++i)
        x ^= r[i];
    EXPECT_EQ(r[3], static_cast<uint8_t>(~x));
    EXPECT_EQ(Word(r, 146), 1);
    EXPECT_EQ(r, test::ExpectedDefaultSettings(1));
    EXPECT_FALSE(std::filesystem::exists(Card() / "SETUP" / "data_setup.cfg"));
}

TEST(TestCard, FactoryFileIsShortMarkedAndCarriesTheVersion)
{
    const auto f = Bytes(Card() / "SETUP" / "data_factory.cfg");
    std::vector<uint8_t> expected(66, 0);
    const std::string model = "VELOMIRA6 FACTORY";
    std::copy(model.begin(), model.end(), expected.begin() + 8);
    const std::string mark = "PLK";
    std::copy(mark.begin(), mark.end(), expected.begin());
    const std::string digits = "v2.0.3";
    std::copy(digits.begin(), digits.end(), expected.begin() + 46);
    EXPECT_EQ(f, expected);
}

TEST(TestSet, ManifestNamesFilesThatExist)
{
    std::ifstream in(test::TestDataDir() / "manifest.txt");
    std::string line;
    int listed = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const auto path = line.substr(0, line.find('\t'));
        EXPECT_TRUE(std::filesystem::exists(test::TestDataDir() / path)) << path;
        ++listed;
    }
    EXPECT_GT(listed, 30);
}

} // namespace
} // namespace velomira
