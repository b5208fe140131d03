#include "devtools/mkcard/CommandLine.h"

#include <gtest/gtest.h>

namespace velomira {
namespace {

Command Parse(std::initializer_list<const char*> args)
{
    return ParseCommandLine(std::vector<std::string>(args.begin(), args.end()));
}

TEST(RecordingCommand, TakesEveryOption)
{
    const auto c = Parse({ "recording", "out.AVI", "--duration", "2.5", "--front", "640x360",
        "--rear", "none", "--fps", "25", "--audio", "pcm", "--telemetry", "t.txt", "--gsensor-rate",
        "20", "--gnrmc", "--route", "sydney", "--cut", "60", "--seed", "9", "--telemetry-out",
        "o.txt" });
    ASSERT_EQ(c.error, "");
    ASSERT_EQ(c.kind, CommandKind::Recording);
    const auto& r = c.recording;
    EXPECT_EQ(r.out, "out.AVI");
    EXPECT_EQ(r.durationMs, 2500u);
    EXPECT_EQ(r.front.width, 640);
    EXPECT_EQ(r.front.height, 360);
    EXPECT_FALSE(r.rear);
    EXPECT_EQ(r.fps, 25);
    EXPECT_EQ(r.audio, AudioKind::Pcm);
    EXPECT_EQ(r.telemetry, TelemetrySource::File);
    EXPECT_EQ(r.telemetryFile, "t.txt");
    EXPECT_EQ(r.gSensorRateHz, 20);
    EXPECT_TRUE(r.gnrmc);
    EXPECT_EQ(r.route, "sydney");
    EXPECT_EQ(r.cutPercent, 60);
    EXPECT_EQ(r.seed, 9u);
    EXPECT_EQ(r.telemetryOut, "o.txt");
}

TEST(RecordingCommand, DefaultsToFullSizeMp4WithAacAndADrive)
{
    const auto c = Parse({ "recording", "x.mp4" });
    ASSERT_EQ(c.error, "");
    EXPECT_EQ(c.recording.front.width, 1920);
    EXPECT_EQ(c.recording.front.height, 1080);
    ASSERT_TRUE(c.recording.rear);
    EXPECT_EQ(c.recording.rear->width, 1280);
    EXPECT_EQ(c.recording.fps, 30);
    EXPECT_EQ(c.recording.audio, AudioKind::Aac);
    EXPECT_EQ(c.recording.telemetry, TelemetrySource::Drive);
    EXPECT_EQ(c.recording.gSensorRateHz, 10);
    // Random bytes may carry any name.
    EXPECT_EQ(Parse({ "recording", "x.bin", "--random-bytes", "10" }).error, "");
}

TEST(RecordingCommand, RejectsBadValuesAndUnknownOptions)
{
    const std::vector<std::vector<std::string>> bad {
        { "recording", "x.mkv" },
        { "recording", "x.mp4", "--front", "320x" },
        { "recording", "x.mp4", "--front", "321x180" },
        { "recording", "x.mp4", "--front", "8x8" },
        { "recording", "x.mp4", "--rear", "abc" },
        { "recording", "x.mp4", "--duration", "0" },
        { "recording", "x.mp4", "--duration", "-1" },
        { "recording", "x.mp4", "--duration" },
        { "recording", "x.mp4", "--fps", "0" },
        { "recording", "x.mp4", "--audio", "mp3" },
        { "recording", "x.mp4", "--route", "atlantis" },
        { "recording", "x.mp4", "--cut", "101" },
        { "recording", "x.mp4", "--seed", "x" },
        { "recording", "x.mp4", "--colour", "red" },
        { "recording" },
        { "record", "x.mp4" },
        { "testset", "a", "b" },
    };
    for (const auto& args : bad)
        EXPECT_NE(ParseCommandLine(args).error, "") << args.size() << " " << args.back();
}

TEST(CardCommand, TakesEveryOption)
{
    const auto c = Parse({ "card", "dir", "--seed", "3", "--factory-length", "78", "--version",
        "202a", "--no-mark", "--setup", "bad-checksum", "--language", "2", "--recordings", "10000",
        "--empty-recordings", "--image", "card.img", "--duration", "1" });
    ASSERT_EQ(c.error, "");
    ASSERT_EQ(c.kind, CommandKind::Card);
    EXPECT_EQ(c.card.outDir, "dir");
    EXPECT_EQ(c.card.seed, 3u);
    EXPECT_EQ(c.card.factory.length, 78u);
    EXPECT_EQ(c.card.factory.version, "202a");
    EXPECT_FALSE(c.card.factory.mark);
    EXPECT_EQ(c.card.setup, SetupFileMode::BadChecksum);
    EXPECT_EQ(c.card.language, 2);
    EXPECT_EQ(c.card.recordings, 10000);
    EXPECT_TRUE(c.card.emptyRecordings);
    EXPECT_EQ(c.card.image, "card.img");
    EXPECT_EQ(c.card.durationMs, 1000u);

    const auto plain = Parse({ "card", "dir" });
    EXPECT_TRUE(plain.card.factory.mark);
    EXPECT_FALSE(plain.card.emptyRecordings);
    EXPECT_LT(plain.card.factory.length, 78u);
    EXPECT_EQ(plain.card.language, 1);
    EXPECT_EQ(plain.card.setup, SetupFileMode::Default);

    EXPECT_NE(Parse({ "card", "dir", "--setup", "broken" }).error, "");
    EXPECT_NE(Parse({ "card", "dir", "--version", "20" }).error, "");
    EXPECT_NE(Parse({ "card", "dir", "--recordings", "-1" }).error, "");
}

TEST(OtherCommands, DemoTestsetAndHelp)
{
    EXPECT_EQ(Parse({ "demo", "d" }).kind, CommandKind::Demo);
    EXPECT_EQ(Parse({ "testset", "t" }).kind, CommandKind::Testset);
    EXPECT_EQ(Parse({ "testset", "t" }).outDir, "t");
    const auto help = Parse({ "--help" });
    EXPECT_EQ(help.kind, CommandKind::Help);
    EXPECT_EQ(help.error, "");
    EXPECT_NE(ParseCommandLine({}).error, "");
    EXPECT_NE(UsageText().find("velomira-mkcard recording OUT.(mp4|avi)"), std::string::npos);
}

} // namespace
} // namespace velomira
