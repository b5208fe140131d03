// Cutting a clip without re-encoding: ffprobe finds both pictures, the sound and the
// telemetry, the telemetry of the cut span rebased to the clip's start, and the player
// reads the clip back; a cancelled or failed cut leaves nothing under the final name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "ExportTestSupport.h"
#include "devtools/mkcard/FrameStamp.h"
#include "playback/RecordingTelemetry.h"
#include "playback/ffmpeg/ClipCutter.h"
#include "playback/ffmpeg/FrameGrabber.h"
#include "playback/ffmpeg/RecordingProbe.h"
#include "telemetry/CTextData.h"

namespace velomira {
namespace {

using test::Quoted;
using test::RunCommand;

// Times of the samples the generator wrote, from its list.
std::vector<std::int64_t> WrittenTimes(const std::filesystem::path& list)
{
    std::vector<std::int64_t> times;
    std::ifstream in(list);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#')
            times.push_back(std::stoll(line.substr(0, line.find(' '))));
    return times;
}

class ClipCutTest : public ::testing::TestWithParam<const char*> { };

TEST_P(ClipCutTest, KeepsEveryStreamAndTheSpansTelemetryRebased)
{
    test::TempDir folder("velomira-cut");
    const std::string extension = GetParam();
    const auto recording = test::MakeRecording(folder, test::Join("20240315_101010_NF", extension), 12);
    ASSERT_FALSE(recording.empty());
    const auto clip = folder / test::Join("clip", extension);
    // The mark lies between keyframes: the clip starts at the front keyframe at or before it.
    const std::int64_t markMs = 3500;
    std::int64_t keyframeMs = -1;
    // AVI packets carry no presentation time: their decoding time stands in.
    std::istringstream packets(RunCommand(test::Join("ffprobe -v error -select_streams v:0 "
                                                     "-show_entries packet=pts_time,dts_time,flags -of csv=p=0 ",
        Quoted(recording))));
    for (std::string line; std::getline(packets, line);) {
        double pts = -1, dts = -1;
        const bool hasPts = std::sscanf(line.c_str(), "%lf,", &pts) == 1;
        const bool hasDts = std::sscanf(line.c_str() + line.find(',') + 1, "%lf,", &dts) == 1;
        if (!hasPts && !hasDts)
            continue;
        const std::int64_t ms = std::llround((hasPts ? pts : dts) * 1000);
        if (line.find(",K") != std::string::npos && ms <= markMs)
            keyframeMs = std::max(keyframeMs, ms);
    }
    ASSERT_GT(keyframeMs, 0);
    ASSERT_LT(keyframeMs, markMs);
    const ClipCut cut = CutClip(recording.string(), markMs, 8000, clip.string());
    ASSERT_EQ(cut.status, ClipCut::Status::Written) << cut.message;
    EXPECT_EQ(cut.startMs, keyframeMs);

    EXPECT_EQ(RunCommand(test::Join("ffprobe -v error -show_entries stream=codec_type -of csv=p=0 ", Quoted(clip))),
        extension == ".mp4" ? "video\nvideo\naudio\ndata\n" : "video\nvideo\naudio\nsubtitle\n");

    // The telemetry of [start, 8 s) with times from the clip's start.
    std::vector<std::int64_t> expected;
    for (const std::int64_t t : WrittenTimes(test::Join(recording.string(), ".txt")))
        if (t >= cut.startMs && t < 8000)
            expected.push_back(t - cut.startMs);
    const auto samples = ReadTelemetrySamples(clip.string(), 1024);
    ASSERT_TRUE(samples);
    std::vector<std::int64_t> times;
    for (const RawTelemetrySample& s : *samples)
        times.push_back(s.timeMs);
    EXPECT_EQ(times, expected);
    CTextData store;
    const auto load = LoadRecordingTelemetry(clip.string(), store);
    ASSERT_TRUE(load);
    EXPECT_NEAR(load->durationMs, 8000 - cut.startMs, 100);

    // The clip's first picture is the recording's keyframe at the clip's start.
    const auto first = GrabPicture(clip.string(), 0, 0);
    ASSERT_TRUE(first);
    const QImage rgb = first->image.convertToFormat(QImage::Format_RGB32);
    const auto stamp = ReadFrameStampRgb32(rgb.constBits(), static_cast<int>(rgb.bytesPerLine()), rgb.width(), rgb.height());
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->frameNumber, keyframeMs * 30 / 1000);
}

INSTANTIATE_TEST_SUITE_P(Containers, ClipCutTest, ::testing::Values(".mp4", ".avi"));

TEST(ClipCut, CancelledOrFailedLeavesNothingUnderTheFinalName)
{
    test::TempDir folder("velomira-cut");
    const auto recording = test::MakeRecording(folder, "20240315_101010_NF.mp4", 6);
    ASSERT_FALSE(recording.empty());
    const auto clip = folder / "clip.mp4";
    std::ofstream(clip) << "an older clip";
    int calls = 0;
    const ClipCut cancelled = CutClip(recording.string(), 1000, 5000, clip.string(),
        [&](double) { return ++calls < 20; });
    EXPECT_EQ(cancelled.status, ClipCut::Status::Cancelled);
    std::ifstream kept(clip);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "an older clip");
    EXPECT_FALSE(std::filesystem::exists(test::Join(clip.string(), ".velomira-part")));

    EXPECT_EQ(CutClip(recording.string(), 5000, 1000, clip.string()).status, ClipCut::Status::BadInput);
    EXPECT_EQ(CutClip(recording.string(), 60000, 70000, clip.string()).status, ClipCut::Status::BadInput);
    EXPECT_EQ(CutClip((folder / "nope.mp4").string(), 0, 1000, clip.string()).status,
        ClipCut::Status::BadInput);
    const ClipCut unwritable = CutClip(recording.string(), 1000, 2000, (folder / "no" / "c.mp4").string());
    EXPECT_EQ(unwritable.status, ClipCut::Status::Failed);
    EXPECT_FALSE(unwritable.message.empty());
}

} // namespace
} // namespace velomira
