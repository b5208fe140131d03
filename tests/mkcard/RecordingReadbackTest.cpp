// Reads the generated test recordings back with libavformat and libavcodec.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "MediaProbe.h"
#include "devtools/mkcard/TelemetrySample.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

std::filesystem::path Rec(const std::string& name)
{
    return test::TestDataDir() / "rec" / name;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<TelemetrySample> TelemetryText(const std::filesystem::path& path)
{
    std::vector<TelemetrySample> samples;
    std::string error;
    EXPECT_TRUE(ParseTelemetryText(ReadFile(path), samples, error)) << path << ": " << error;
    return samples;
}

std::string Layout(const std::filesystem::path& path)
{
    const auto streams = test::ProbeStreams(path);
    if (!streams)
        return "unreadable";
    std::string out;
    for (const auto& s : *streams) {
        std::ostringstream item;
        item << (out.empty() ? "" : " ") << s.type << ':' << s.codec;
        if (s.type == "video")
            item << ':' << s.width << 'x' << s.height;
        out += item.str();
    }
    return out;
}

TEST(RecordingLayout, StreamsInOrderFrontRearAudioTelemetry)
{
    const struct {
        const char* name;
        const char* layout;
    } cases[] = {
        { "default.mp4", "video:h264:320x180 video:h264:160x90 audio:aac data:bin_data" },
        { "default.avi", "video:h264:320x180 video:h264:160x90 audio:aac subtitle:none" },
        { "pcm.mp4", "video:h264:320x180 video:h264:160x90 audio:pcm_s16le data:bin_data" },
        { "pcm.avi", "video:h264:320x180 video:h264:160x90 audio:pcm_s16le subtitle:none" },
        { "front-only.mp4", "video:h264:320x180 audio:aac data:bin_data" },
        { "no-audio.mp4", "video:h264:320x180 video:h264:160x90 data:bin_data" },
        { "no-telemetry.mp4", "video:h264:320x180 video:h264:160x90 audio:aac" },
        { "long.mp4", "video:h264:320x180 video:h264:160x90 audio:aac data:bin_data" },
        { "chosen.avi", "video:h264:320x180 video:h264:160x90 audio:aac subtitle:none" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(Layout(Rec(c.name)), c.layout) << c.name;
}

TEST(RecordingLayout, DurationsMatchTheRequest)
{
    const struct {
        const char* name;
        long long ms;
    } cases[] = { { "default.mp4", 4000 }, { "default.avi", 4000 }, { "long.mp4", 12000 } };
    for (const auto& c : cases) {
        const long long ms = test::DurationMs(Rec(c.name));
        EXPECT_GE(ms, c.ms - 20) << c.name;
        EXPECT_LE(ms, c.ms + 60) << c.name;
    }
}

TEST(RecordingTelemetry, ReadsBackEverySampleExactlyAsWritten)
{
    for (const char* name : { "default.mp4", "default.avi", "pcm.mp4", "pcm.avi", "front-only.mp4",
             "no-audio.mp4", "long.mp4", "chosen.mp4", "chosen.avi" }) {
        const auto written = TelemetryText(Rec(std::string(name) + ".telemetry.txt"));
        ASSERT_FALSE(written.empty()) << name;
        const auto read = test::ReadTelemetryPackets(Rec(name));
        ASSERT_EQ(read.size(), written.size()) << name;
        for (size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].timeMs, written[i].timeMs) << name << " sample " << i;
            EXPECT_EQ(read[i].bytes, written[i].bytes) << name << " sample " << i;
        }
    }
    EXPECT_TRUE(test::ReadTelemetryPackets(Rec("no-telemetry.mp4")).empty());
}

TEST(RecordingTelemetry, ChosenSamplesKeepZeroBytesSharedMillisecondsAndTheLastSample)
{
    const auto chosen = TelemetryText(Rec("chosen.txt"));
    const auto mp4 = test::ReadTelemetryPackets(Rec("chosen.mp4"));
    EXPECT_EQ(mp4, chosen);
    ASSERT_GE(mp4.size(), 10u);
    // First sample after 0 ms, with zero bytes inside: M, 2048, 3072, 1024, 512, -1024, 0.
    EXPECT_EQ(mp4[0].timeMs, 40u);
    const std::vector<uint8_t> head { 'M', 0x00, 0x08, 0x00, 0x0c, 0x00, 0x04, 0x00, 0x02, 0x00,
        0xfc };
    EXPECT_TRUE(std::equal(head.begin(), head.end(), mp4[0].bytes.begin()));
    EXPECT_EQ(mp4[0].bytes.size(), 41u);
    // Two samples in one millisecond.
    EXPECT_EQ(mp4[1].timeMs, 100u);
    EXPECT_EQ(mp4[2].timeMs, 100u);
    // A sample over 1024 bytes, and the last sample 10 ms before the end.
    bool big = false;
    for (const auto& s : mp4)
        big = big || s.bytes.size() > 1024;
    EXPECT_TRUE(big);
    EXPECT_EQ(mp4.back().timeMs, 3990u);

    // AVI counts time in chunks: the second sample of a millisecond moves one on, and
    // nothing else changes.
    const auto avi = test::ReadTelemetryPackets(Rec("chosen.avi"));
    ASSERT_EQ(avi.size(), chosen.size());
    for (size_t i = 0; i < avi.size(); ++i) {
        EXPECT_EQ(avi[i].bytes, chosen[i].bytes) << i;
        EXPECT_EQ(avi[i].timeMs, i == 2 ? 101u : chosen[i].timeMs) << i;
    }
}

TEST(RecordingPictures, EveryDecodedPictureCarriesItsStreamAndFrameNumber)
{
    const struct {
        const char* name;
        int video;
        int frames;
        int scaleW, scaleH;
    } cases[] = {
        { "default.mp4", 0, 120, 0, 0 },
        { "default.mp4", 1, 120, 0, 0 },
        { "default.avi", 0, 120, 0, 0 },
        { "default.avi", 1, 120, 0, 0 },
        { "default.mp4", 0, 120, 100, 56 },
        { "default.avi", 1, 120, 60, 34 },
        { "long.mp4", 1, 360, 0, 0 },
    };
    for (const auto& c : cases) {
        std::vector<int> streamIds;
        const auto numbers
            = test::DecodeFrameNumbers(Rec(c.name), c.video, streamIds, c.scaleW, c.scaleH);
        ASSERT_EQ(static_cast<int>(numbers.size()), c.frames) << c.name << " video " << c.video;
        for (int i = 0; i < c.frames; ++i) {
            ASSERT_EQ(numbers[static_cast<size_t>(i)], i) << c.name << " video " << c.video;
            ASSERT_EQ(streamIds[static_cast<size_t>(i)], c.video) << c.name;
        }
    }
}

TEST(DamagedRecordings, TruncatedIsAPrefixOfTheDefaultAndRandomIsNoRecording)
{
    const std::string full = ReadFile(Rec("default.mp4"));
    const std::string cut = ReadFile(Rec("truncated.mp4"));
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(cut.size(), full.size() * 60 / 100);
    EXPECT_EQ(full.compare(0, cut.size(), cut), 0);

    const std::string random = ReadFile(Rec("random.mp4"));
    EXPECT_EQ(random.size(), 20000u);
    const auto streams = test::ProbeStreams(Rec("random.mp4"));
    if (streams) {
        for (const auto& s : *streams)
            EXPECT_NE(s.codec, "h264");
    }
}

TEST(DamagedRecordings, ACutFileWithItsIndexInFrontOpensAndListsOnlyTheSamplesBeforeTheCut)
{
    // The index at the end is lost with the cut; in front it survives.
    EXPECT_EQ(Layout(Rec("truncated.mp4")), "unreadable");
    EXPECT_EQ(Layout(Rec("truncated-faststart.mp4")), Layout(Rec("default.mp4")));
    const std::string cut = ReadFile(Rec("truncated-faststart.mp4"));
    EXPECT_EQ(cut.size(), ReadFile(Rec("default.mp4")).size() * 60 / 100);
    EXPECT_LT(cut.find("moov"), cut.find("mdat"));

    // The same recording, so its samples are the first ones of the default's.
    const auto all = TelemetryText(Rec("default.mp4.telemetry.txt"));
    const auto kept = TelemetryText(Rec("truncated-faststart.mp4.telemetry.txt"));
    ASSERT_GT(kept.size(), 5u);
    ASSERT_LT(kept.size(), all.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i].timeMs, all[i].timeMs) << i;
        EXPECT_EQ(kept[i].bytes, all[i].bytes) << i;
    }
    const auto read = test::ReadTelemetryPackets(Rec("truncated-faststart.mp4"));
    ASSERT_EQ(read.size(), kept.size());
    for (size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(read[i].bytes, kept[i].bytes) << i;
}

} // namespace
} // namespace velomira
