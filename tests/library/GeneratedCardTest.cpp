#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "library/RecordingFilter.h"
#include "library/RecordingScan.h"
#include "platform/CardPath.h"
#include "settings/CardValues.h"
#include "settings/FactoryFile.h"
#include "settings/SettingsFile.h"
#include "support/TestPaths.h"
#include "telemetry/TelemetrySampleText.h"

namespace velomira {
namespace {

// The card and samples of the generator's test set, read as the viewer reads a card in
// drive E:.
class GeneratedCard : public ::testing::Test {
protected:
    std::filesystem::path root = test::TestDataDir() / "card";
    FixedDriveRoots drives { 'E', root };

    void SetUp() override { ASSERT_TRUE(std::filesystem::is_directory(root)) << root; }
};

TEST_F(GeneratedCard, ScanListsNormalAndEventRecordingsNewestFirst)
{
    CardDirectoryLister lister(drives);
    RecordingLists lists;
    EXPECT_EQ(FindCardDrive(drives), "E:");
    const CardScanResult scan = RescanCard(lists, "E:", lister, ListFilter {});
    ASSERT_EQ(scan.shown, 5u);
    EXPECT_TRUE(scan.complete);
    EXPECT_EQ(lists.master.size(), 6u); // + the parking recording, never shown
    const char* expected[][3] = {
        { "10:14:00", "EVENT", "E:\\EVENT\\20240315_101400_EF.mp4" },
        { "10:13:00", "Event", "E:\\Event\\20240315_101300_EF.avi" },
        { "10:12:10", "Normal", "E:\\Normal\\20240315_101210_NF.mp4" },
        { "10:11:10", "Normal", "E:\\Normal\\20240315_101110_NF.mp4" },
        { "10:10:10", "NORMAL", "E:\\NORMAL\\2024\\0315\\20240315_101010_NF.mp4" },
    };
    for (std::size_t i = 0; i < lists.visible.size(); ++i) {
        EXPECT_EQ(lists.visible[i].date, "2024-03-15");
        EXPECT_EQ(lists.visible[i].time, expected[i][0]);
        EXPECT_EQ(lists.visible[i].kind, expected[i][1]);
        EXPECT_EQ(lists.visible[i].path, expected[i][2]);
        const auto file = ToLinuxPath(lists.visible[i].path, drives);
        ASSERT_TRUE(file);
        EXPECT_TRUE(std::filesystem::is_regular_file(*file)) << *file;
    }
}

TEST_F(GeneratedCard, SettingsAndFactoryFilesReadAsTheGeneratorWroteThem)
{
    const auto settings = ReadSettingsFile('E', drives);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->place, SettingsPlace::Root);
    EXPECT_TRUE(IsSettingsRecordValid(settings->bytes));
    EXPECT_TRUE(CheckDeviceGeneration('E', drives));
    EXPECT_TRUE(IsNewFirmware('E', drives)); // 2.0.3
    CardValues values;
    EXPECT_EQ(ResolveLanguage(-1, drives, values), 1);
    EXPECT_EQ(values.cardDrive, "E:");
}

TEST(GeneratedTelemetry, ChosenSamplesLoadAsWritten)
{
    std::ifstream in(test::TestDataDir() / "rec" / "chosen.txt");
    if (!in)
        FAIL() << "no generated samples";
    std::stringstream text;
    text << in.rdbuf();
    std::vector<TelemetrySampleBytes> samples;
    std::string error;
    ASSERT_TRUE(ParseTelemetrySampleText(text.str(), samples, error)) << error;

    CTextData store;
    LoadTelemetry(store, samples, 4000);
    // G-sensor samples (one with zero bytes inside, one longer than 41 bytes), every RMC
    // line in either case and with either talker, the GGA line ignored.
    std::size_t gSensor = 0, rmc = 0;
    for (const auto& sample : samples) {
        const char first = sample.bytes.empty() ? 0 : static_cast<char>(sample.bytes[0]);
        gSensor += first == 'M' || first == 'A';
        rmc += ClassifyTelemetrySample(sample.bytes) == TelemetrySampleKind::RmcLine;
    }
    EXPECT_EQ(store.gSensorSampleCount(), gSensor);
    EXPECT_EQ(store.GpsRecords().size(), rmc);
    EXPECT_EQ(store.trackCount(), rmc);
    for (const CGPSData& record : store.GpsRecords()) {
        if (record.fixValid == 1) {
            EXPECT_EQ(record.latitudeRaw < 0, record.northSouth != 'N');
            EXPECT_EQ(record.longitudeRaw < 0, record.eastWest != 'E');
        }
    }
    EXPECT_GT(store.timelineCount(), 0u);
}

} // namespace
} // namespace velomira
