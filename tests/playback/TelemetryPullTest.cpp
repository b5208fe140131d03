#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"
#include "playback/ffmpeg/RecordingProbe.h"
#include "playback/ffmpeg/TimedTextSample.h"

namespace velomira::test {
namespace {

struct Sample {
    int32_t timeMs = 0;
    std::vector<uint8_t> bytes;
    bool operator==(const Sample&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Sample& sample)
{
    return out << sample.timeMs << " (" << sample.bytes.size() << " bytes)";
}

// The generator's record of what it wrote: "<ms> <hex>" or "<ms> $TEXT" per line.
std::vector<Sample> WrittenSamples(const std::string& recording)
{
    std::ifstream file(recording + ".telemetry.txt");
    std::vector<Sample> samples;
    std::string line;
    while (std::getline(file, line)) {
        const size_t space = line.find(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos)
            continue;
        Sample sample;
        sample.timeMs = std::stoi(line.substr(0, space));
        const std::string rest = line.substr(space + 1);
        if (!rest.empty() && rest[0] == '$') {
            sample.bytes.assign(rest.begin(), rest.end());
        } else {
            for (size_t i = 0; i + 1 < rest.size(); i += 2)
                sample.bytes.push_back(
                    static_cast<uint8_t>(std::stoi(rest.substr(i, 2), nullptr, 16)));
        }
        samples.push_back(std::move(sample));
    }
    return samples;
}

std::vector<Sample> CutTo(std::vector<Sample> samples, size_t capacity)
{
    for (Sample& sample : samples) {
        if (sample.bytes.size() > capacity)
            sample.bytes.resize(capacity);
    }
    return samples;
}

// What the loader does: a cleared 1024-byte buffer per pull until a code other than 0.
std::vector<Sample> PullAll(MediaPlayer& player, int* lastCode = nullptr)
{
    std::vector<Sample> samples;
    for (int guard = 0; guard < 100000; ++guard) {
        uint8_t buffer[1024] = {};
        uint32_t capacity = sizeof buffer;
        int32_t timeMs = 0;
        const int code = player.PullTextSample(buffer, &capacity, &timeMs);
        if (code != 0) {
            if (lastCode != nullptr)
                *lastCode = code;
            break;
        }
        samples.push_back({ timeMs, std::vector<uint8_t>(buffer, buffer + capacity) });
    }
    return samples;
}

class TelemetryPull : public ::testing::TestWithParam<const char*> { };

TEST_P(TelemetryPull, EverySampleArrivesInOrderWithItsTimeAndBytes)
{
    const std::string path = Recording(GetParam());
    const std::vector<Sample> written = CutTo(WrittenSamples(path), 1024);
    ASSERT_FALSE(written.empty());

    TestVideoWindow front(QSize(320, 180)), rear(QSize(160, 90));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    player.SetSourceOption(0);
    ASSERT_TRUE(player.Open(path));
    int code = 0;
    EXPECT_EQ(PullAll(player, &code), written);
    EXPECT_EQ(code, 38);
    // Further pulls keep answering "no more".
    uint8_t buffer[16];
    uint32_t capacity = sizeof buffer;
    int32_t timeMs = 0;
    EXPECT_EQ(player.PullTextSample(buffer, &capacity, &timeMs), 38);
}

TEST_P(TelemetryPull, TheIndexAndThePacketsGiveTheSameSamples)
{
    const std::string path = Recording(GetParam());
    const auto byIndex = ReadTelemetrySamples(path, 1024, TelemetryReading::Index);
    const auto byPackets = ReadTelemetrySamples(path, 1024, TelemetryReading::Packets);
    ASSERT_TRUE(byIndex && byPackets);
    ASSERT_EQ(byIndex->size(), byPackets->size());
    for (size_t i = 0; i < byIndex->size(); ++i) {
        EXPECT_EQ((*byIndex)[i].timeMs, (*byPackets)[i].timeMs) << i;
        EXPECT_EQ((*byIndex)[i].bytes, (*byPackets)[i].bytes) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(GeneratedRecordings, TelemetryPull,
    ::testing::Values("default.mp4", "default.avi", "pcm.mp4", "pcm.avi", "front-only.mp4",
        "no-audio.mp4", "long.mp4", "chosen.mp4", "chosen.avi", "truncated-faststart.mp4"),
    [](const auto& info) {
        std::string name = info.param;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    });

TEST(TelemetryPullLimits, ASampleLargerThanTheBufferArrivesCutToIt)
{
    const std::string path = Recording("chosen.mp4");
    const auto samples = ReadTelemetrySamples(path, 1024);
    ASSERT_TRUE(samples);
    const auto written = WrittenSamples(path);
    ASSERT_EQ(samples->size(), written.size());
    bool sawLarge = false;
    for (size_t i = 0; i < written.size(); ++i) {
        if (written[i].bytes.size() <= 1024)
            continue;
        sawLarge = true;
        ASSERT_EQ((*samples)[i].bytes.size(), 1024u);
        EXPECT_TRUE(std::equal(
            (*samples)[i].bytes.begin(), (*samples)[i].bytes.end(), written[i].bytes.begin()));
    }
    EXPECT_TRUE(sawLarge) << "chosen.mp4 should hold a sample over 1024 bytes";
}

TEST(TelemetryPullLimits, ARecordingWithoutTelemetryOpensAndEndsThePullAtOnce)
{
    TestVideoWindow front(QSize(320, 180));
    MediaPlayer player;
    player.AttachWindows(1, &front, nullptr);
    ASSERT_TRUE(player.Open(Recording("no-telemetry.mp4")));
    int code = 0;
    EXPECT_TRUE(PullAll(player, &code).empty());
    EXPECT_EQ(code, 38);
}

TEST(TelemetryPullLimits, TheBufferIsNeverWrittenPastItsCapacity)
{
    TestVideoWindow front(QSize(320, 180));
    MediaPlayer player;
    player.AttachWindows(1, &front, nullptr);
    ASSERT_TRUE(player.Open(Recording("chosen.mp4")));
    for (int i = 0; i < 20; ++i) {
        uint8_t buffer[8 + 4];
        std::fill(std::begin(buffer), std::end(buffer), 0xEE);
        uint32_t capacity = 8;
        int32_t timeMs = -1;
        const int code = player.PullTextSample(buffer, &capacity, &timeMs);
        if (code != 0)
            break;
        EXPECT_LE(capacity, 8u);
        for (int k = 8; k < 12; ++k)
            EXPECT_EQ(buffer[k], 0xEE);
    }
}

TEST(TimedText, TheLengthPrefixAndStyleBoxesAreNotPartOfTheSample)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> in;
        bool ok;
        std::vector<uint8_t> out;
    };
    const Case cases[] = {
        { "text", { 0, 3, 'a', 'b', 'c' }, true, { 'a', 'b', 'c' } },
        { "empty", { 0, 0 }, true, {} },
        { "style box after the text", { 0, 2, 'h', 'i', 0, 0, 0, 8, 's', 't', 'y', 'l' }, true,
            { 'h', 'i' } },
        { "length beyond the sample", { 0, 9, 'x' }, true, { 'x' } },
        { "one byte", { 7 }, false, {} },
        { "nothing", {}, false, {} },
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> sample = c.in;
        EXPECT_EQ(UnwrapTimedTextSample(sample), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(sample, c.out) << c.name;
        }
    }
}

} // namespace
} // namespace velomira::test
