// A recording longer than a few minutes: every sample the player pulls is kept, so the
// sample shown for a play position is the one recorded at that moment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPort.h"
#include "playback/TelemetryPull.h"
#include "playback/VideoWindow.h"
#include "support/TestPaths.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {
namespace {

// The player needs a window to open a recording; these pictures go nowhere.
class NoWindow : public VideoWindow {
public:
    QSize PictureSize() const override { return { 64, 48 }; }
    QRect VisibleRect() const override { return { 0, 0, 64, 48 }; }
    void ShowPicture(const QImage&, const QRect&) override { }
    void ClearPicture() override { }
};

struct WrittenGSample {
    std::uint32_t timeMs;
    std::vector<std::byte> bytes;
};

// The G-sensor samples the generator says it wrote ("<ms> <hex>" lines; "$" lines are
// RMC sentences).
std::vector<WrittenGSample> WrittenGSamples(const std::filesystem::path& file)
{
    std::vector<WrittenGSample> samples;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const auto space = line.find(' ');
        if (space == std::string::npos || line[space + 1] == '$')
            continue;
        WrittenGSample sample { static_cast<std::uint32_t>(std::stoul(line.substr(0, space))), {} };
        for (std::size_t i = space + 1; i + 1 < line.size(); i += 2)
            sample.bytes.push_back(
                static_cast<std::byte>(std::stoi(line.substr(i, 2), nullptr, 16)));
        samples.push_back(std::move(sample));
    }
    return samples;
}

TEST(LongRecording, TenMinutesKeepEverySampleAtItsMoment)
{
    test::TempDir folder("velomira-long");
    const auto recording = folder / "20240315_101010_NF.mp4";
    const auto written = folder / "written.txt";
    const std::string command = test::MkcardProgram().string() + " recording '" + recording.string()
        + "' --duration 600 --front 64x48 --rear none --fps 1 --audio none --telemetry-out '"
        + written.string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto expected = WrittenGSamples(written);
    ASSERT_GT(expected.size(), 5000u);

    MediaPlayer player;
    NoWindow window;
    player.AttachWindows(1, &window, nullptr);
    ASSERT_TRUE(player.Open(recording.string()));
    MediaPlayerPort port(player);
    CTextData store;
    PullTelemetry(port, store);
    const auto durationMs = static_cast<std::uint32_t>(player.DurationMs());
    store.BuildTimeline(durationMs);
    ASSERT_EQ(store.gSensorSampleCount(), expected.size());
    EXPECT_GE(store.trackCount(), 599u);

    for (const std::uint32_t positionMs : { 30000u, 300000u, 500000u, 599000u }) {
        SCOPED_TRACE(positionMs);
        const std::size_t index = store.SampleIndexAt(positionMs, durationMs);
        ASSERT_LT(index, expected.size());
        // The sample shown was recorded within a sample interval of the position.
        EXPECT_NEAR(static_cast<double>(expected[index].timeMs), positionMs, 200.0);
        GSensorSample sample;
        DrivingStatus status;
        DecodeGSensorSample(expected[index].bytes, sample, status);
        EXPECT_EQ(store.GSensorSamples()[index].x, sample.x);
        EXPECT_EQ(store.DrivingStatuses()[index].words[0], status.words[0]);
        const auto& track = store.TrackPoints()[store.TrackIndexAt(positionMs)];
        EXPECT_EQ(&track - store.TrackPoints().data(), positionMs / 1000);
    }
}

} // namespace
} // namespace velomira
