#include "devtools/mkcard/CommandLine.h"

#include <gtest/gtest.h>

namespace velomira {
namespace {

Command Parse(std::initializer_list<const char*> args)
{
    return ParseCommandLine(std::vector<std::string>(args.begin(), args.end()));
}

TEST(RecordingCommand, ConvertsValuesIntoTheirUnits)
{
    const auto c = Parse({ "recording", "out.AVI", "--duration", "2.5", "--front", "640x360",
        "--rear", "none", "--telemetry", "t.txt", "--gnrmc", "--cut", "60" });
    ASSERT_EQ(c.error, "");
    EXPECT_EQ(c.recording.durationMs, 2500u);
    EXPECT_EQ(c.recording.front.width, 640);
    EXPECT_EQ(c.recording.front.height, 360);
    EXPECT_FALSE(c.recording.rear);
    EXPECT_EQ(c.recording.telemetry, TelemetrySource::File);
    EXPECT_EQ(c.recording.telemetryFile, "t.txt");
    EXPECT_TRUE(c.recording.gnrmc);
    EXPECT_EQ(c.recording.cutPercent, 60);
    EXPECT_FALSE(c.recording.faststart);
    EXPECT_TRUE(Parse({ "recording", "x.mp4", "--faststart", "--cut", "50" }).recording.faststart);
    EXPECT_EQ(Parse({ "recording", "x.mp4", "--telemetry", "none" }).recording.telemetry,
        TelemetrySource::None);
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

TEST(CardCommand, TakesFlagsAndRejectsBadValues)
{
    const auto c = Parse({ "card", "dir", "--no-mark", "--setup", "setup-only", "--recordings",
        "10000", "--empty-recordings", "--version", "202a" });
    ASSERT_EQ(c.error, "");
    ASSERT_EQ(c.kind, CommandKind::Card);
    EXPECT_FALSE(c.card.factory.mark);
    EXPECT_TRUE(c.card.emptyRecordings);
    EXPECT_EQ(c.card.setup, SetupFileMode::SetupOnly);
    EXPECT_EQ(c.card.recordings, 10000);
    EXPECT_EQ(c.card.factory.version, "202a");
    const auto plain = Parse({ "card", "dir" });
    EXPECT_TRUE(plain.card.factory.mark);
    EXPECT_LT(plain.card.factory.length, 78u);

    EXPECT_NE(Parse({ "card", "dir", "--setup", "broken" }).error, "");
    EXPECT_NE(Parse({ "card", "dir", "--version", "20" }).error, "");
    EXPECT_NE(Parse({ "card", "dir", "--recordings", "-1" }).error, "");
    EXPECT_NE(Parse({ "card", "dir", "--language" }).error, "");
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

TEST(RecordingCommand, PowerCutsAtAByteOrAShareOfTheMediaData)
{
    const struct {
        const char* value;
        bool ok;
        std::optional<uint64_t> byteOffset;
        std::optional<int> perMille;
    } cases[] = {
        { "123456", true, 123456u, std::nullopt },
        { "90%", true, std::nullopt, 900 },
        { "0.5%", true, std::nullopt, 5 },
        { "100%", true, std::nullopt, 1000 },
        { "101%", false, std::nullopt, std::nullopt },
        { "-1%", false, std::nullopt, std::nullopt },
        { "12a", false, std::nullopt, std::nullopt },
        { "%", false, std::nullopt, std::nullopt },
    };
    for (const auto& c : cases) {
        const auto command = Parse({ "recording", "x.mp4", "--power-cut", c.value });
        EXPECT_EQ(command.error.empty(), c.ok) << c.value;
        if (!c.ok)
            continue;
        ASSERT_TRUE(command.recording.powerCut) << c.value;
        EXPECT_EQ(command.recording.powerCut->byteOffset, c.byteOffset) << c.value;
        EXPECT_EQ(command.recording.powerCut->mediaPerMille, c.perMille) << c.value;
    }
    EXPECT_TRUE(
        Parse({ "recording", "x.mp4", "--telemetry-track", "text" }).recording.timedTextTelemetry);
    EXPECT_NE(Parse({ "recording", "x.mp4", "--telemetry-track", "srt" }).error, "");
}

} // namespace
} // namespace velomira
