// Runs velomira-mkcard as a program: repeatability, damaged files, card options, images.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "MediaProbe.h"
#include "devtools/mkcard/TelemetrySample.h"
#include "support/TestPaths.h"

extern char** environ;

namespace velomira {
namespace {

// Runs a program with an argument list; its standard output goes to outFile when given.
int RunArgs(std::vector<std::string> args, const std::filesystem::path& outFile = {})
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.empty() ? "/dev/null" : outFile.c_str(),
        O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Mkcard(std::vector<std::string> args)
{
    args.insert(args.begin(), test::MkcardProgram().string());
    return RunArgs(args);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool HaveProgram(const std::string& name)
{
    return RunArgs({ name, "--help" }) >= 0;
}

const std::vector<std::string> kSmall { "--front", "96x54", "--rear", "48x28", "--duration", "1" };

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more)
{
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(GeneratorRepeatability, SameSeedGivesIdenticalBytesOtherSeedOtherBytes)
{
    test::TempDir dir;
    for (const char* ext : { ".mp4", ".avi" }) {
        const auto a = dir / (std::string("a") + ext), b = dir / (std::string("b") + ext),
                   c = dir / (std::string("c") + ext);
        ASSERT_EQ(Mkcard(With({ "recording", a.string(), "--seed", "7" }, kSmall)), 0);
        ASSERT_EQ(Mkcard(With({ "recording", b.string(), "--seed", "7" }, kSmall)), 0);
        ASSERT_EQ(Mkcard(With({ "recording", c.string(), "--seed", "8" }, kSmall)), 0);
        EXPECT_EQ(ReadFile(a), ReadFile(b)) << ext;
        EXPECT_NE(ReadFile(a), ReadFile(c)) << ext;
    }
    const auto r1 = dir / "r1.mp4", r2 = dir / "r2.mp4";
    ASSERT_EQ(Mkcard({ "recording", r1.string(), "--random-bytes", "5000", "--seed", "3" }), 0);
    ASSERT_EQ(Mkcard({ "recording", r2.string(), "--random-bytes", "5000", "--seed", "3" }), 0);
    EXPECT_EQ(ReadFile(r1).size(), 5000u);
    EXPECT_EQ(ReadFile(r1), ReadFile(r2));
}

TEST(GeneratorTelemetryFile, WritesTheFileSamplesAndReportsThemBack)
{
    test::TempDir dir;
    std::ofstream(dir / "in.txt") << "0 4d0000\n500 $GNRMC,x*00\n500 41ff\n999 $last\n";
    const auto out = dir / "t.mp4";
    ASSERT_EQ(Mkcard(With({ "recording", out.string(), "--telemetry", (dir / "in.txt").string(),
                              "--telemetry-out", (dir / "out.txt").string(), "--rear", "none" },
                  kSmall)),
        0);
    EXPECT_EQ(ReadFile(dir / "out.txt"), "0 4d0000\n500 $GNRMC,x*00\n500 41ff\n999 $last\n");
    std::vector<TelemetrySample> expected;
    std::string error;
    ASSERT_TRUE(ParseTelemetryText(ReadFile(dir / "in.txt"), expected, error));
    EXPECT_EQ(test::ReadTelemetryPackets(out), expected);
}

TEST(GeneratorTelemetryFile, AviKeepsSampleTimesAfterGapsLongerThanAMinute)
{
    test::TempDir dir;
    std::ofstream(dir / "in.txt") << "70010 4d01\n70010 $GPRMC,a\n131000 4102\n";
    const auto out = dir / "gap.avi";
    ASSERT_EQ(Mkcard({ "recording", out.string(), "--telemetry", (dir / "in.txt").string(),
                  "--telemetry-out", (dir / "out.txt").string(), "--front", "32x18", "--rear",
                  "none", "--audio", "none", "--duration", "1" }),
        0);
    // The second sample of a millisecond moves one on; nothing else does.
    EXPECT_EQ(ReadFile(dir / "out.txt"), "70010 4d01\n70011 $GPRMC,a\n131000 4102\n");
    std::vector<TelemetrySample> expected;
    std::string error;
    ASSERT_TRUE(ParseTelemetryText(ReadFile(dir / "out.txt"), expected, error));
    EXPECT_EQ(test::ReadTelemetryPackets(out), expected);
}

TEST(GeneratorFailures, BadInputGivesAnErrorStatusAndLeavesNoFile)
{
    test::TempDir dir;
    std::ofstream(dir / "bad.txt") << "0 4d00\nten 00\n";
    std::ofstream(dir / "backwards.txt") << "50 4d00\n10 4d00\n";
    const auto out = dir / "x.mp4";
    EXPECT_EQ(Mkcard({ "recording", out.string(), "--telemetry", (dir / "bad.txt").string() }), 1);
    EXPECT_EQ(
        Mkcard({ "recording", out.string(), "--telemetry", (dir / "backwards.txt").string() }), 1);
    EXPECT_EQ(
        Mkcard({ "recording", out.string(), "--telemetry", (dir / "missing.txt").string() }), 1);
    EXPECT_EQ(Mkcard({ "recording", (dir / "x.mkv").string() }), 2);
    EXPECT_EQ(Mkcard({ "recording", out.string(), "--bogus" }), 2);
    EXPECT_EQ(
        Mkcard({ "recording", (dir / "no" / "such" / "dir.mp4").string(), "--duration", "1" }), 1);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()) || !std::filesystem::exists(out));
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().extension(), ".txt") << entry.path();
    EXPECT_EQ(Mkcard({ "--help" }), 0);
}

TEST(GeneratorRoutes, GnrmcAndSouthWestRouteReachTheRecording)
{
    test::TempDir dir;
    const auto out = dir / "sw.avi";
    ASSERT_EQ(Mkcard(With({ "recording", out.string(), "--gnrmc", "--route", "saopaulo",
                              "--gsensor-rate", "5", "--duration", "3" },
                  { "--front", "96x54", "--rear", "none", "--audio", "pcm" })),
        0);
    int rmc = 0, g = 0;
    for (const auto& s : test::ReadTelemetryPackets(out)) {
        const std::string text(s.bytes.begin(), s.bytes.end());
        if (text.rfind("$GNRMC,", 0) == 0) {
            ++rmc;
            if (text.find(",A,") != std::string::npos) {
                EXPECT_NE(text.find(",S,"), std::string::npos) << text;
                EXPECT_NE(text.find(",W,"), std::string::npos) << text;
            }
        } else {
            ++g;
        }
    }
    EXPECT_EQ(rmc, 3);
    EXPECT_EQ(g, 15);
}

TEST(GeneratorCard, OptionsShapeTheSetupAndFactoryFiles)
{
    test::TempDir dir;
    const auto card = dir / "card";
    ASSERT_EQ(Mkcard({ "card", card.string(), "--empty-recordings", "--factory-length", "78",
                  "--version", "202a", "--no-mark", "--setup", "bad-checksum", "--language", "2" }),
        0);
    const std::string factory = ReadFile(card / "SETUP" / "data_factory.cfg");
    ASSERT_EQ(factory.size(), 78u);
    EXPECT_NE(factory.substr(0, 3), "PLK");
    EXPECT_EQ(factory[47], '2');
    EXPECT_EQ(factory[51], '2');
    EXPECT_EQ(factory[52], 'a');
    const std::string setup = ReadFile(card / "data_setup.cfg");
    ASSERT_EQ(setup.size(), 200u);
    unsigned x = 0;
    for (size_t i = 4; i < 200; ++i)
        x ^= static_cast<uint8_t>(setup[i]);
    EXPECT_NE(static_cast<uint8_t>(setup[3]), static_cast<uint8_t>(~x));
    EXPECT_EQ(setup[146], 2);
    EXPECT_EQ(setup[166], 9);

    const struct {
        const char* mode;
        long rootSize, setupSize; // -1: no file
    } modes[] = { { "short", 150, -1 }, { "setup-only", -1, 200 }, { "none", -1, -1 },
        { "default", 200, -1 } };
    for (const auto& m : modes) {
        const auto c = dir / m.mode;
        ASSERT_EQ(Mkcard({ "card", c.string(), "--empty-recordings", "--setup", m.mode }), 0);
        const auto size = [](const std::filesystem::path& p) {
            return std::filesystem::exists(p) ? static_cast<long>(std::filesystem::file_size(p))
                                              : -1L;
        };
        EXPECT_EQ(size(c / "data_setup.cfg"), m.rootSize) << m.mode;
        EXPECT_EQ(size(c / "SETUP" / "data_setup.cfg"), m.setupSize) << m.mode;
    }
}

TEST(GeneratorCard, ManyEmptyRecordingsAreNamedRightAndSpreadOverKinds)
{
    test::TempDir dir;
    const auto card = dir / "card";
    ASSERT_EQ(Mkcard({ "card", card.string(), "--recordings", "500", "--empty-recordings" }), 0);
    std::map<std::string, int> perKind;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(card)) {
        if (entry.is_regular_file() && entry.path().extension() == ".mp4"
            && entry.path().filename().string().size() == 22)
            ++perKind[std::filesystem::relative(entry.path(), card).begin()->string()];
    }
    int total = 0;
    for (const char* kind : { "Normal", "NORMAL", "Event", "EVENT", "Parking" }) {
        EXPECT_EQ(perKind[kind], 100) << kind;
        total += perKind[kind];
    }
    EXPECT_EQ(total, 500);
}

TEST(GeneratorCard, WritesAFat32ImageReadableWithMtools)
{
    if (!HaveProgram("mkfs.fat") || !HaveProgram("mcopy"))
        GTEST_SKIP() << "dosfstools or mtools missing";
    test::TempDir dir;
    const auto card = dir / "card";
    const auto image = dir / "card.img";
    ASSERT_EQ(
        Mkcard({ "card", card.string(), "--empty-recordings", "--image", image.string() }), 0);
    EXPECT_GE(std::filesystem::file_size(image), 64u << 20);
    setenv("MTOOLS_SKIP_CHECK", "1", 1);
    for (const char* path : { "SETUP/data_factory.cfg", "data_setup.cfg" }) {
        const auto copy = dir / "copy";
        std::filesystem::remove(copy);
        ASSERT_EQ(
            RunArgs({ "mcopy", "-i", image.string(), std::string("::/") + path, copy.string() }), 0)
            << path;
        EXPECT_EQ(ReadFile(copy), ReadFile(card / path)) << path;
    }
    EXPECT_EQ(RunArgs({ "mdir", "-i", image.string(), "::/EVENT" }), 0);
    EXPECT_EQ(RunArgs({ "mdir", "-i", image.string(), "::/NORMAL/2024/0315" }), 0);
    if (HaveProgram("fsck.fat")) {
        EXPECT_EQ(RunArgs({ "fsck.fat", "-n", image.string() }), 0);
    }
}

TEST(OutsideCheck, FfprobeSeesTwoVideoStreamsAudioAndData)
{
    if (!HaveProgram("ffprobe"))
        GTEST_SKIP() << "ffprobe missing";
    test::TempDir dir;
    ASSERT_EQ(RunArgs({ "ffprobe", "-v", "error", "-show_entries",
                          "stream=codec_type,codec_name,width,height", "-of", "csv=p=0",
                          (test::TestDataDir() / "rec" / "default.mp4").string() },
                  dir / "probe.txt"),
        0);
    EXPECT_EQ(ReadFile(dir / "probe.txt"),
        "h264,video,320,180\nh264,video,160,90\naac,audio\nbin_data,data\n");
}

} // namespace
} // namespace velomira
