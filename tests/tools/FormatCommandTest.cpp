// The format command as the user meets it: the question per language, silence where the
// card is not formatted, programs run with their argument lists, and one real format of a
// FAT image file.
#include "app/commands/FormatCommand.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include <QProcess>

#include "app/CSamplePlayerDlg.h"
#include "library/CListDlg.h"
#include "platform/CardPath.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/TestPaths.h"
#include "tools/FormatTargetProbe.h"
#include "tools/QtProcessRunner.h"

namespace velomira {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path);
    return { std::istreambuf_iterator<char>(in), {} };
}

// A stand-in for a program: appends its name and arguments, one a line, to `log` and
// exits with `status`.
fs::path StandIn(const test::TempDir& dir, const std::string& name, int status = 0)
{
    const fs::path path = dir / name;
    std::ofstream(path) << "#!/bin/sh\n{ echo \"== " << name
                        << "\"; for a; do echo \"$a\"; done; } >> '" << (dir / "log").string()
                        << "'\nexit " << status << "\n";
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

// The viewer's window and list over a card folder given the letter F, whose device is a
// stand-in: no test ever lets a format reach a real block device.
struct Rig {
    test::TempDir dir { "velomira-format" };
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
    CListDlg list;
    FixedDriveRoots drives;
    FormatTarget target;
    std::optional<DriveGeometry> geometry = DriveGeometry { 8, 512, 0, 3000u * 256 }; // 3000 MiB
    int pauses = 0;
    int releases = 0;
    int playerState = 0;
    std::vector<std::string> shownFolders;

    Rig()
    {
        fs::create_directories(dir / "card" / "EVENT");
        drives.Assign('F', dir / "card");
        target.letter = 'F';
        target.root = (dir / "card").string();
        target.device = "/dev/velomira-test-sdz1";
        target.removable = true;
        target.blockDevice = true;
        target.writable = true;
        target.sizeBytes = 3000ull << 20;
        target.label = "CARD";
        target.deviceNumber = 0x0821;
        target.fileSystemId = "1A2B-3C4D";
    }

    FormatCommand::Environment Environment()
    {
        FormatCommand::Environment env;
        env.playerState = [this] { return playerState; };
        env.playPause = [this] { ++pauses; };
        env.releaseCard = [this] { ++releases; };
        env.driveEntry = [this](char letter) -> std::optional<DriveEntry> {
            if (letter != 'F')
                return std::nullopt;
            return DriveEntry { 'F', dir / "card", target.device, "vfat", target.removable };
        };
        env.probe = [this](const DriveEntry&) { return target; };
        env.geometry = [this](const FormatTarget&) { return geometry; };
        env.systemDevices = [] { return std::vector<std::string> { "/dev/velomira-test-sda2" }; };
        env.diskOf = [](const std::string& device) { return device; };
        env.programs.mkfs = StandIn(dir, "mkfs.fat").string();
        env.programs.umount = StandIn(dir, "umount").string();
        env.programs.mount = StandIn(dir, "mount").string();
        env.run = RunProgramStep;
        env.showFolder = [this](const std::string& folder) { shownFolders.push_back(folder); };
        return env;
    }

    void Format(FormatCommand::Environment env)
    {
        FormatCommand command(window, list, drives, std::move(env));
        command.OnFormat();
    }
    void Format() { Format(Environment()); }
    std::string Log() const { return ReadText(dir / "log"); }
};

TEST(FormatCommand, QuestionInTheLanguageThenTheProgramsInOrder)
{
    const struct {
        int language;
        const char* question;
        const char* title;
        const char* done;
    } cases[] = {
        { 2, "루미엘 SD 카드인 F 드라이브를 포맷하시겠습니까?", "루미엘",
            "포맷이 완료되었습니다." },
        { 1, "Do you want to format the drive F of VELOMIRA6 SD Card?", "VELOMIRA6",
            "Format Complete" },
        { 0, "ドライバをフォーマットしますか？", "ベロミラ6", "フォーマット完了" },
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.window.SetLanguage(c.language);
        rig.Format();
        ASSERT_EQ(rig.messages.shown().size(), 2u) << c.language;
        const MessageBoxRequest& question = rig.messages.shown()[0];
        // The letter's text, then the medium it means on this machine.
        EXPECT_EQ(question.text,
            std::string(c.question) + "\n\n" + rig.target.root
                + ", 'CARD', 3.1 GB, /dev/velomira-test-sdz1");
        EXPECT_EQ(question.title, c.title);
        EXPECT_EQ(question.buttons, MessageButtons::OkCancel);
        EXPECT_EQ(question.icon, MessageIcon::Exclamation);
        EXPECT_EQ(rig.messages.shown()[1].text, c.done);
        EXPECT_EQ(rig.Log(),
            "== umount\n/dev/velomira-test-sdz1\n"
            "== mkfs.fat\n-F\n32\n-S\n512\n-s\n16\n/dev/velomira-test-sdz1\n"
            "== mount\n/dev/velomira-test-sdz1\n"
                + rig.target.root + "\n");
        EXPECT_EQ(rig.shownFolders, std::vector<std::string> { rig.target.root });
        EXPECT_EQ(rig.pauses, 1); // the running player was paused once
        EXPECT_EQ(rig.releases, 1); // and let go of the card before the unmount
        EXPECT_EQ(rig.window.frontPlace(), 1);
        EXPECT_EQ(rig.window.rearPlace(), 0);
    }
}

TEST(FormatCommand, NothingRunsWithoutConfirmation)
{
    const struct {
        const char* name;
        int language;
        MessageAnswer answer;
    } cases[] = {
        { "cancelled", 1, MessageAnswer::Cancel },
        { "language without a question", 7, MessageAnswer::Ok },
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.window.SetLanguage(c.language);
        rig.messages.Script(c.answer);
        rig.Format();
        EXPECT_EQ(rig.messages.shown().size(), c.language == 7 ? 0u : 1u) << c.name;
        EXPECT_EQ(rig.Log(), "") << c.name;
        EXPECT_TRUE(rig.shownFolders.empty()) << c.name;
        EXPECT_EQ(rig.releases, 0) << c.name;
    }
}

TEST(FormatCommand, RefusedSilently)
{
    const struct {
        const char* name;
        void (*change)(Rig&);
    } cases[] = {
        { "fixed disk", [](Rig& r) { r.target.removable = false; } },
        { "system disk", [](Rig& r) { r.target.device = "/dev/velomira-test-sda2"; } },
        { "no block device", [](Rig& r) { r.target.blockDevice = false; } },
        { "64 GiB card",
            [](Rig& r) {
                r.geometry = DriveGeometry { 64, 512, 0, 1u << 20 };
            } },
        { "1 MiB card",
            [](Rig& r) {
                r.geometry = DriveGeometry { 1, 512, 0, 2048 };
            } },
        { "unreadable geometry", [](Rig& r) { r.geometry.reset(); } },
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.window.SetLanguage(1);
        c.change(rig);
        rig.Format();
        EXPECT_TRUE(rig.messages.shown().empty()) << c.name;
        EXPECT_EQ(rig.Log(), "") << c.name;
        EXPECT_EQ(rig.pauses, 1) << c.name; // playback stays paused
    }
}

TEST(FormatCommand, FailuresAreReportedAndTheCardMountedAgain)
{
    const struct {
        const char* name;
        const char* failing; // the program that exits 1
        const char* expectedLog;
    } cases[] = {
        { "format fails", "mkfs.fat", "== umount\n== mkfs.fat\n== mount\n" },
        { "unmount fails", "umount", "== umount\n" },
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.window.SetLanguage(1);
        FormatCommand::Environment env = rig.Environment();
        const std::string failing = StandIn(rig.dir, c.failing, 1).string();
        for (std::string* program :
            { &env.programs.mkfs, &env.programs.umount, &env.programs.mount })
            if (fs::path(*program).filename() == c.failing)
                *program = failing;
        rig.Format(std::move(env));
        std::string names;
        std::istringstream lines(rig.Log());
        for (std::string line; std::getline(lines, line);)
            if (line.starts_with("== "))
                names += line + "\n";
        EXPECT_EQ(names, c.expectedLog) << c.name;
        ASSERT_EQ(rig.messages.shown().size(), 2u) << c.name;
        EXPECT_EQ(rig.messages.shown()[1].text, "Fail to disk format") << c.name;
        EXPECT_EQ(rig.messages.shown()[1].title, "VELOMIRA6") << c.name;
        EXPECT_TRUE(rig.shownFolders.empty()) << c.name;
    }
}

// The file system is made; only the card did not come back: the format is done, and no
// file manager is opened on a folder that holds nothing.
TEST(FormatCommand, AMountThatFailsAfterTheFormatStillReportsItDone)
{
    Rig rig;
    rig.window.SetLanguage(1);
    FormatCommand::Environment env = rig.Environment();
    env.programs.mount = StandIn(rig.dir, "mount", 1).string();
    rig.Format(std::move(env));
    ASSERT_EQ(rig.messages.shown().size(), 2u);
    EXPECT_EQ(rig.messages.shown()[1].text, "Format Complete");
    EXPECT_TRUE(rig.shownFolders.empty());
}

// Between the question and the unmount another medium took the letter, or the card was
// changed: nothing runs, and the format is reported failed.
TEST(FormatCommand, OnlyTheConfirmedDeviceIsFormatted)
{
    const struct {
        const char* name;
        void (*swap)(FormatTarget&);
    } cases[] = {
        { "other device node", [](FormatTarget& t) { t.device = "/dev/velomira-test-sdy1"; } },
        { "other medium in the reader", [](FormatTarget& t) { t.fileSystemId = "9999-0000"; } },
        { "other size", [](FormatTarget& t) { t.sizeBytes += 512; } },
        { "other device number", [](FormatTarget& t) { t.deviceNumber = 0x0811; } },
        { "device gone", [](FormatTarget& t) { t.device.clear(); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.window.SetLanguage(1);
        FormatCommand::Environment env = rig.Environment();
        int probes = 0;
        env.probe = [&rig, &probes, &c](const DriveEntry&) {
            FormatTarget now = rig.target;
            if (probes++ > 0)
                c.swap(now);
            return now;
        };
        rig.Format(std::move(env));
        EXPECT_EQ(probes, 2);
        EXPECT_EQ(rig.Log(), "");
        EXPECT_EQ(rig.releases, 0);
        ASSERT_EQ(rig.messages.shown().size(), 2u);
        EXPECT_EQ(rig.messages.shown()[1].text, "Fail to disk format");
    }
}

TEST(FormatCommand, NoCardMessageAndNothingElse)
{
    Rig rig;
    fs::remove(rig.dir / "card" / "EVENT");
    rig.window.SetLanguage(0);
    rig.Format();
    ASSERT_EQ(rig.messages.shown().size(), 1u);
    EXPECT_EQ(rig.messages.shown()[0].text, "SDカードを認識できません。");
    EXPECT_EQ(rig.pauses, 0);
    EXPECT_EQ(rig.Log(), "");
}

TEST(FormatCommand, AnImageNamingADeviceNodeIsNeverFormatted)
{
    for (const char* node : { "/dev/null", "/dev/zero" }) {
        Rig rig;
        rig.window.SetLanguage(1);
        FormatCommand::Environment env = rig.Environment();
        const std::string images = std::string("F=") + node;
        env.probe = [images](const DriveEntry& entry) { return ProbeFormatTarget(entry, images); };
        env.geometry = [](const FormatTarget&) { return DriveGeometry { 8, 512, 0, 100000 }; };
        rig.Format(std::move(env));
        EXPECT_TRUE(rig.messages.shown().empty()) << node;
        EXPECT_EQ(rig.Log(), "") << node;
    }
}

std::string Output(const std::string& program, const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromStdString(program), arguments);
    process.waitForFinished(-1);
    return (process.readAllStandardOutput() + process.readAllStandardError()).toStdString();
}

// A card image given as the stand-in device of the card's letter: the real mkfs.fat
// formats it, fsck.fat and minfo read the result back (the kernel here cannot mount FAT).
TEST(FormatCommand, RealFormatOfAnImageWithTheChosenClusterSize)
{
    const struct {
        std::uint64_t mib;
        const char* clusterBytes; // as fsck.fat reports it
        const char* clusterSectors; // as minfo reports it
        bool formatted;
    } cases[] = { { 300, "4096 bytes per cluster", "cluster size: 8 sectors", true },
        { 2100, "8192 bytes per cluster", "cluster size: 16 sectors", true },
        { 100, nullptr, nullptr, false } };
    for (const auto& c : cases) {
        Rig rig;
        rig.window.SetLanguage(1);
        const fs::path image = rig.dir / "card.img";
        {
            std::ofstream(image) << "";
        }
        fs::resize_file(image, c.mib << 20);
        FormatCommand::Environment env = rig.Environment();
        const std::string images = "F=" + image.string();
        env.probe = [images](const DriveEntry& entry) { return ProbeFormatTarget(entry, images); };
        env.geometry = ReadGeometry;
        env.programs.mkfs = FindFormatPrograms().mkfs;
        rig.Format(std::move(env));
        ASSERT_EQ(rig.messages.shown().size(), 2u) << c.mib;
        EXPECT_EQ(
            rig.messages.shown()[1].text, c.formatted ? "Format Complete" : "Fail to disk format")
            << c.mib;
        EXPECT_EQ(rig.Log(), "") << c.mib; // an image is neither unmounted nor mounted
        EXPECT_EQ(rig.releases, 0) << c.mib;
        const std::string check
            = Output("fsck.fat", { "-n", "-v", QString::fromStdString(image.string()) });
        if (!c.formatted) {
            EXPECT_EQ(check.find("data clusters"), std::string::npos) << check;
            continue;
        }
        EXPECT_NE(check.find(c.clusterBytes), std::string::npos) << check;
        const std::string info
            = Output("minfo", { "-i", QString::fromStdString(image.string()), "::" });
        EXPECT_NE(info.find(c.clusterSectors), std::string::npos) << info;
        EXPECT_NE(info.find("disk type=\"FAT32"), std::string::npos) << info;
    }
}

} // namespace
} // namespace velomira
