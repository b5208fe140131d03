#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "PlayerTestSupport.h"

namespace velomira::test {
namespace {

struct CardRun {
    int status = -1;
    std::string out;
};

CardRun Card(const std::string& arguments)
{
    const std::string command
        = std::string("'") + VELOMIRA_CARD_PROGRAM + "' " + arguments + " 2>/dev/null";
    CardRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(CardProbe, NamesTheOutputsSizesSoundAndSampleCount)
{
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {
        { "default.mp4",
            R"("container":"mp4","outputs":["Video","Video","Audio","Text"],)"
            R"("durationMs":4022,"video":[{"width":320,"height":180},{"width":160,"height":90}],)"
            R"("audio":"compressed","telemetrySamples":44})" },
        { "pcm.avi",
            R"("container":"avi","outputs":["Video","Video","Audio","Text"],)"
            R"("durationMs":4000,"video":[{"width":320,"height":180},{"width":160,"height":90}],)"
            R"("audio":"PCM","telemetrySamples":44})" },
        { "front-only.mp4", R"("outputs":["Video","Audio","Text"],)" },
        { "no-audio.mp4", R"("audio":"none","telemetrySamples":44})" },
        { "no-telemetry.mp4", R"("telemetrySamples":0})" },
    };
    for (const auto& c : cases) {
        const CardRun run = Card("probe --json '" + Recording(c.name) + "'");
        EXPECT_EQ(run.status, 0) << c.name;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << c.name << ": " << run.out;
    }
}

TEST(CardProbe, RefusesFilesThatAreNotRecordings)
{
    EXPECT_EQ(Card("probe '" + Recording("random.mp4") + "'").status, 2);
    EXPECT_EQ(Card("probe '" + Recording("default.mp4.telemetry.txt") + "'").status, 2);
    EXPECT_EQ(Card("probe").status, 2);
}

TEST(CardRepair, WritesTheCopyAndSaysWhatWasRecoveredOrWhyNot)
{
    TempDir dir;
    const auto cut = TestDataDir() / "cut" / "two-cameras" / "half.mp4";
    const auto alone = dir / "alone.mp4";
    std::filesystem::copy_file(cut, alone);
    const std::string other = (TestDataDir() / "cut" / "front-only" / "reference.mp4").string();
    const std::string out = (dir / "out.mp4").string();
    const struct {
        const char* name;
        std::string arguments;
        int status;
        const char* says;
    } cases[] = {
        { "beside its reference", "repair '" + cut.string() + "' '" + out + "'", 0,
            "video avc1: 59 samples, 1966 ms\nvideo avc1: 59 samples, 1966 ms\naudio mp4a: 93" },
        { "alone", "repair '" + alone.string() + "' '" + out + "'", 1, "" },
        { "another layout named",
            "repair '" + alone.string() + "' '" + out + "' --reference '" + other + "'", 1, "" },
        { "a whole recording", "repair '" + Recording("default.mp4") + "' '" + out + "'", 2, "" },
        { "onto itself", "repair '" + alone.string() + "' '" + alone.string() + "'", 2, "" },
        { "no output", "repair '" + alone.string() + "'", 2, "" },
    };
    for (const auto& c : cases) {
        std::filesystem::remove(out);
        const CardRun run = Card(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.name << ": " << run.out;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << c.name << ": " << run.out;
        EXPECT_EQ(std::filesystem::exists(out), c.status == 0) << c.name;
    }
    // The copy is a whole recording of its own; the cut one opens in place alike.
    Card("repair '" + cut.string() + "' '" + out + "'");
    const CardRun copy = Card("probe --json '" + out + "'");
    const CardRun inPlace = Card("probe --json '" + cut.string() + "'");
    EXPECT_EQ(copy.status, 0);
    EXPECT_NE(copy.out.find(R"("durationMs":2000)"), std::string::npos) << copy.out;
    EXPECT_EQ(copy.out.substr(copy.out.find("\"container")),
        inPlace.out.substr(inPlace.out.find("\"container")));
}

TEST(CardTelemetry, GivesWhatTheGeneratorWroteThroughTheLoader)
{
    for (const char* name :
        { "default.mp4", "default.avi", "chosen.mp4", "chosen.avi", "long.mp4" }) {
        for (const char* format : { "--json", "--csv", "--gpx" }) {
            SCOPED_TRACE(std::string(name) + " " + format);
            const CardRun fromRecording
                = Card(std::string("telemetry ") + format + " '" + Recording(name) + "'");
            const CardRun probe = Card("probe --json '" + Recording(name) + "'");
            const size_t at = probe.out.find("\"durationMs\":");
            ASSERT_NE(at, std::string::npos);
            const std::string durationMs = std::to_string(std::stoll(probe.out.substr(at + 13)));
            const CardRun fromText = Card(std::string("telemetry ") + format + " --samples '"
                + Recording(name) + ".telemetry.txt' --duration-ms " + durationMs);
            EXPECT_EQ(fromRecording.status, 0);
            ASSERT_EQ(fromText.status, 0);
            EXPECT_GT(fromRecording.out.size(), 40u);
            EXPECT_EQ(fromRecording.out, fromText.out);
        }
    }
}

TEST(CardTelemetry, ARecordingWithoutTelemetryIsANegativeAnswer)
{
    EXPECT_EQ(Card("telemetry '" + Recording("no-telemetry.mp4") + "'").status, 1);
    EXPECT_EQ(Card("telemetry '" + Recording("random.mp4") + "'").status, 2);
}

} // namespace
} // namespace velomira::test
