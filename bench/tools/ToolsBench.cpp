// velomira-bench-tools [RUNS] [FOLDER]: the card tools against the programs they stand
// beside, both measured in this run (median of RUNS runs each, 21 by default), in FOLDER
// (the system's temporary folder by default):
// - copy: a 100 MB recording copied in chunks (alone, and with its progress dialog on the
//   offscreen platform) against `cp` copying the same file to the same folder; the source
//   is read once first so that both read it from the page cache;
// - format: the format command on a 2 GiB image file given as the card's device (probe,
//   geometry, plan, mkfs.fat through QProcess) against `mkfs.fat -F 32 -S 512 -s 16` alone
//   on the same image.
// Ratios above 1 mean the tool is slower than its baseline.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QApplication>

#include "app/CSamplePlayerDlg.h"
#include "app/commands/FormatCommand.h"
#include "bench/support/RunQuietly.h"
#include "library/CListDlg.h"
#include "platform/CardPath.h"
#include "tools/ChunkedCopy.h"
#include "tools/CopyWithProgress.h"
#include "tools/FormatTargetProbe.h"
#include "tools/QtProcessRunner.h"

namespace {

namespace fs = std::filesystem;
using velomira::bench::RunQuietly;
using namespace velomira;

struct Contender {
    const char* name;
    std::function<bool()> work;
};

// Median seconds of each contender over `runs` rounds; in every round each contender runs
// once, in turn, after an untimed `prepare`, so that a busy moment of the machine falls on
// all of them alike.
std::vector<double> MedianSeconds(
    int runs, const std::function<void()>& prepare, const std::vector<Contender>& contenders)
{
    std::vector<std::vector<double>> times(contenders.size());
    for (int i = 0; i < runs; ++i) {
        for (std::size_t c = 0; c < contenders.size(); ++c) {
            prepare();
            const auto start = std::chrono::steady_clock::now();
            if (!contenders[c].work()) {
                std::fprintf(stderr, "velomira-bench-tools: %s failed\n", contenders[c].name);
                std::exit(1);
            }
            times[c].push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& list : times) {
        std::sort(list.begin(), list.end());
        medians.push_back(list[list.size() / 2]);
    }
    return medians;
}

void BenchCopy(const fs::path& folder, int runs)
{
    const fs::path source = folder / "20240315_101010_F.mp4";
    {
        std::ofstream out(source, std::ios::binary);
        std::string block(1 << 20, '\0');
        for (int i = 0; i < 100; ++i) {
            for (std::size_t j = 0; j < block.size(); j += 64)
                block[j] = static_cast<char>(i + j);
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }
    RunQuietly({ "cat", source.string() }); // into the page cache
    const fs::path target = folder / "out" / source.filename();
    fs::create_directories(target.parent_path());
    const auto clear = [&] {
        fs::remove(target);
        ::sync();
    };
    const std::vector<double> t = MedianSeconds(runs, clear,
        {
            { "cp",
                [&] {
                    return RunQuietly({ "cp", source.string(), target.string() }) == 0;
                } },
            { "copy", [&] { return CopyInChunks(source, target) == CopyResult::Done; } },
            { "copy with dialog",
                [&] {
                    return CopyWithProgressDialog(nullptr, source, target, "VELOMIRA6")
                        == CopyResult::Done;
                } },
        });
    const double cp = t[0], chunks = t[1], dialog = t[2];
    std::printf("copy 100 MB: cp %.3f s, chunked copy %.3f s (speed %.2f of cp), with progress "
                "dialog %.3f s (speed %.2f of cp)\n",
        cp, chunks, cp / chunks, dialog, cp / dialog);
}

void BenchFormat(const fs::path& folder, int runs)
{
    const fs::path card = folder / "card";
    fs::create_directories(card / "EVENT");
    const fs::path image = folder / "card.img";
    const auto freshImage = [&] {
        fs::remove(image);
        {
            std::ofstream(image) << "";
        }
        fs::resize_file(image, 2ull << 30);
        ::sync();
    };
    const std::string mkfsProgram = FindFormatPrograms().mkfs;
    // The command answers its question itself: a message service that says OK.
    class SayOk : public MessageBoxService {
    public:
        MessageAnswer Show(const MessageBoxRequest& request) override
        {
            last = request.text;
            return MessageAnswer::Ok;
        }
        std::string last;
    } messages;
    CSamplePlayerDlg window(nullptr, &messages);
    window.SetLanguage(1);
    CListDlg list;
    FixedDriveRoots drives('F', card);
    FormatCommand::Environment env = FormatCommand::SystemEnvironment();
    const std::string images = "F=" + image.string();
    env.probe = [images](const DriveEntry& entry) { return ProbeFormatTarget(entry, images); };
    env.playerState = [] { return 2; };
    env.driveEntry = [&](char letter) -> std::optional<DriveEntry> {
        return DriveEntry { letter, card, "", "", false };
    };
    env.showFolder = [](const std::string&) {};
    FormatCommand command(window, list, drives, env);
    const std::vector<double> t = MedianSeconds(runs, freshImage,
        {
            { "mkfs.fat",
                [&] {
                    return RunQuietly(
                               { mkfsProgram, "-F", "32", "-S", "512", "-s", "16", image.string() })
                        == 0;
                } },
            { "format command",
                [&] {
                    command.OnFormat();
                    return messages.last == "Format Complete";
                } },
        });
    const double mkfs = t[0], ours = t[1];
    std::printf("format 2 GiB image: mkfs.fat %.3f s, format command %.3f s (%.2fx mkfs.fat)\n",
        mkfs, ours, ours / mkfs);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const fs::path base = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
    const fs::path folder = base / "velomira-bench-tools-XXXXXX";
    std::string name = folder.string();
    if (::mkdtemp(name.data()) == nullptr) {
        std::perror("velomira-bench-tools: mkdtemp");
        return 1;
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    BenchCopy(name, runs);
    BenchFormat(name, runs);
    fs::remove_all(name);
    return 0;
}
