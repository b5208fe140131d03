// Recordings cut short by a power loss, per layout and cut: the walk recovers the
// original's samples, the repaired copy decodes with the original's pictures and times,
// the telemetry reads as before the cut, and the cut file is never written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "devtools/mkcard/TelemetrySample.h"
#include "mkcard/MediaProbe.h"
#include "playback/ffmpeg/RecordingProbe.h"
#include "playback/ffmpeg/RecordingRepair.h"
#include "playback/recovery/IndexRebuild.h"
#include "support/TestPaths.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace velomira {
namespace {

using recovery::ReadReferenceRecording;
using recovery::RebuildIndex;

const char* const kLayouts[]
    = { "two-cameras", "front-only", "timed-text", "no-audio", "same-size-cameras" };
const char* const kCuts[] = { "first-second", "mid-sample", "half", "before-index" };

std::filesystem::path CutDir(const std::string& layout)
{
    return test::TestDataDir() / "cut" / layout;
}

std::vector<std::byte> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return { data, data + text.size() };
}

std::vector<TelemetrySample> TelemetryText(const std::filesystem::path& path)
{
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<TelemetrySample> samples;
    std::string error;
    EXPECT_TRUE(ParseTelemetryText(text, samples, error)) << path << ": " << error;
    return samples;
}

// Video packet times in microseconds, per video stream in order.
std::vector<std::vector<int64_t>> VideoTimesUs(const std::filesystem::path& path)
{
    std::vector<std::vector<int64_t>> times;
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return times;
    std::map<int, size_t> videos;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            videos[static_cast<int>(i)] = times.size();
            times.emplace_back();
        }
    }
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(context, packet) >= 0) {
        if (const auto it = videos.find(packet->stream_index); it != videos.end())
            times[it->second].push_back(av_rescale_q(packet->pts,
                context->streams[packet->stream_index]->time_base, AVRational { 1, 1000000 }));
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&context);
    return times;
}

struct OriginalSample {
    uint32_t track;
    uint32_t size;
};

class CutRecordings : public testing::TestWithParam<std::tuple<const char*, const char*>> {
protected:
    std::string Layout() const { return std::get<0>(GetParam()); }
    std::filesystem::path Cut() const
    {
        return CutDir(Layout()) / (std::string(std::get<1>(GetParam())) + ".mp4");
    }
    std::filesystem::path Original() const
    {
        return test::TestDataDir() / "cut-originals" / (Layout() + ".mp4");
    }
};

TEST_P(CutRecordings, EverySampleBeforeTheCutIsTheOriginalsInOrderAndNoOther)
{
    const auto cut = ReadBytes(Cut());
    const auto original = ReadBytes(Original());
    std::string why;
    const auto tracks = ReadReferenceRecording(original, why);
    ASSERT_TRUE(tracks) << why;
    std::map<uint64_t, OriginalSample> byOffset;
    size_t wholeBeforeCut = 0;
    for (uint32_t t = 0; t < tracks->tracks.size(); ++t) {
        const auto& track = tracks->tracks[t];
        for (size_t i = 0; i < track.offsets.size(); ++i) {
            byOffset[track.offsets[i]] = { t, track.sizes[i] };
            wholeBeforeCut += track.offsets[i] + track.sizes[i] <= cut.size() ? 1 : 0;
        }
    }

    const auto rebuilt = RebuildIndex(cut, ReadBytes(CutDir(Layout()) / "reference.mp4"));
    ASSERT_TRUE(rebuilt.Ok()) << rebuilt.failure;
    uint64_t last = 0;
    for (const auto& sample : rebuilt.samples) {
        const auto it = byOffset.find(sample.offset);
        ASSERT_NE(it, byOffset.end()) << "no sample of the original at " << sample.offset;
        EXPECT_EQ(it->second.track, sample.track) << sample.offset;
        EXPECT_EQ(it->second.size, sample.size) << sample.offset;
        EXPECT_GE(sample.offset, last);
        EXPECT_LE(sample.offset + sample.size, cut.size());
        last = sample.offset;
    }
    EXPECT_GE(rebuilt.samples.size() * 100, wholeBeforeCut * 99)
        << rebuilt.samples.size() << " of " << wholeBeforeCut;
}

TEST_P(CutRecordings, TheRepairedCopyDecodesWithTheOriginalPicturesAndTimes)
{
    test::TempDir dir;
    const auto before = ReadBytes(Cut());
    const auto copy = dir / "repaired.mp4";
    const RepairResult repair = RepairRecording(Cut().string(), copy.string());
    ASSERT_EQ(repair.status, RepairResult::Status::Written) << repair.message;
    EXPECT_EQ(ReadBytes(Cut()), before) << "the cut recording was written";
    EXPECT_EQ(repair.referencePath, (CutDir(Layout()) / "reference.mp4").string());

    const std::string command
        = "ffmpeg -nostdin -v error -xerror -i '" + copy.string() + "' -f null - > /dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << "ffmpeg -xerror fails on " << copy;

    // Both cameras' pictures in order, each camera's own, at the original's times.
    const auto originalTimes = VideoTimesUs(Original());
    const auto times = VideoTimesUs(copy);
    ASSERT_EQ(times.size(), originalTimes.size());
    for (size_t v = 0; v < times.size(); ++v) {
        ASSERT_LE(times[v].size(), originalTimes[v].size());
        for (size_t i = 0; i < times[v].size(); ++i)
            ASSERT_NEAR(times[v][i], originalTimes[v][i], 2000)
                << "video " << v << " picture " << i;
        std::vector<int> streamIds;
        const auto numbers = test::DecodeFrameNumbers(copy, static_cast<int>(v), streamIds);
        ASSERT_EQ(numbers.size(), times[v].size());
        for (size_t i = 0; i < numbers.size(); ++i) {
            ASSERT_EQ(numbers[i], static_cast<int>(i)) << "video " << v;
            ASSERT_EQ(streamIds[i], static_cast<int>(v));
        }
    }
}

TEST_P(CutRecordings, TheTelemetryReadsInPlaceAsBeforeTheCut)
{
    const auto expected = TelemetryText(Cut().string() + ".telemetry.txt");
    const auto read = ReadTelemetrySamples(Cut().string(), 4096);
    ASSERT_TRUE(read);
    ASSERT_GE(read->size() * 100, expected.size() * 99);
    for (size_t i = 0; i < read->size(); ++i) {
        EXPECT_EQ(read->at(i).bytes, expected[i].bytes) << i;
        EXPECT_NEAR(read->at(i).timeMs, static_cast<int32_t>(expected[i].timeMs), 2) << i;
    }
    const auto info = ProbeRecording(Cut().string());
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->rebuilt);
}

INSTANTIATE_TEST_SUITE_P(LayoutsAndCuts, CutRecordings,
    testing::Combine(testing::ValuesIn(kLayouts), testing::ValuesIn(kCuts)), [](const auto& info) {
        std::string name = std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param);
        for (char& c : name)
            c = c == '-' ? '_' : c;
        return name;
    });

TEST(CutAnywhere, EveryCutGivesTheOriginalsSamplesBeforeItAndNoOther)
{
    // Cut at 300 offsets through the media data, the size left at the placeholder: the
    // samples found are always the original's, all of those wholly before the cut but the
    // last few sound frames, whose end nothing after them confirms.
    for (const char* layout : { "two-cameras", "timed-text", "same-size-cameras" }) {
        const auto original
            = ReadBytes(test::TestDataDir() / "cut-originals" / (std::string(layout) + ".mp4"));
        const auto reference = ReadBytes(CutDir(layout) / "reference.mp4");
        std::string why;
        const auto tracks = ReadReferenceRecording(original, why);
        ASSERT_TRUE(tracks) << why;
        std::map<uint64_t, OriginalSample> byOffset;
        for (uint32_t t = 0; t < tracks->tracks.size(); ++t) {
            for (size_t i = 0; i < tracks->tracks[t].offsets.size(); ++i)
                byOffset[tracks->tracks[t].offsets[i]] = { t, tracks->tracks[t].sizes[i] };
        }
        const auto shape = recovery::ReadFileShape(original);
        ASSERT_TRUE(shape.hasMediaData);
        const uint64_t span = shape.mediaDataEnd - shape.mediaDataStart;
        for (uint64_t step = 0; step < 300; ++step) {
            const uint64_t cutAt = shape.mediaDataStart + span * step / 300 + step % 7;
            std::vector<std::byte> cut(original.begin(), original.begin() + cutAt);
            std::fill_n(cut.begin() + shape.mediaDataBox, 4, std::byte { 0 });
            size_t whole = 0;
            for (const auto& [offset, sample] : byOffset)
                whole += offset + sample.size <= cutAt ? 1 : 0;
            const auto rebuilt = RebuildIndex(cut, reference);
            if (!rebuilt.Ok()) {
                EXPECT_LE(whole, 2u) << layout << " cut at " << cutAt << ": " << rebuilt.failure;
                continue;
            }
            for (const auto& sample : rebuilt.samples) {
                const auto it = byOffset.find(sample.offset);
                ASSERT_TRUE(it != byOffset.end() && it->second.track == sample.track
                    && it->second.size == sample.size)
                    << layout << " cut at " << cutAt << ": no such sample at " << sample.offset;
            }
            EXPECT_GE(rebuilt.samples.size() + 3, whole) << layout << " cut at " << cutAt;
        }
    }
}

TEST(CutRecordingWithoutReference, NoRecordingOfItsLayoutGivesTheCleanFailure)
{
    // Alone, or beside recordings of other layouts only: refused, the file untouched.
    test::TempDir dir;
    const auto cut = dir / "cut.mp4";
    std::filesystem::copy_file(CutDir("front-only") / "half.mp4", cut);
    const auto before = ReadBytes(cut);
    for (const char* other : { "", "two-cameras", "timed-text", "no-audio" }) {
        if (*other != '\0')
            std::filesystem::copy_file(
                CutDir(other) / "reference.mp4", dir / (std::string(other) + ".mp4"));
        EXPECT_FALSE(ProbeRecording(cut.string())) << other;
        const RepairResult repair = RepairRecording(cut.string(), (dir / "out.mp4").string());
        EXPECT_EQ(repair.status, RepairResult::Status::NothingRebuilt) << other;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.mp4"));
    }
    EXPECT_EQ(ReadBytes(cut), before);
    // A whole recording is no input for a repair.
    EXPECT_EQ(
        RepairRecording((CutDir("no-audio") / "reference.mp4").string(), (dir / "out.mp4").string())
            .status,
        RepairResult::Status::BadInput);
}

} // namespace
} // namespace velomira
