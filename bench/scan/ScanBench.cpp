// velomira-bench-scan [N] [RUNS]: the time of `velomira-card scan ROOT` over a card of N
// recordings (10000 by default) against `find ROOT -type f | sort` on the same tree, both
// measured in this run (median of RUNS runs each, 5 by default), printed with their ratio.
// The card comes from `velomira-mkcard card --recordings N --empty-recordings` when the
// generator offers it (VELOMIRA_MKCARD names another generator program), else the bench
// lays out an equivalent tree of empty files itself.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/support/RunQuietly.h"

namespace {

namespace fs = std::filesystem;
using velomira::bench::RunQuietly;

double MedianSeconds(const std::vector<std::string>& arguments, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (RunQuietly(arguments) != 0) {
            std::fprintf(stderr, "velomira-bench-scan: %s failed\n", arguments[0].c_str());
            std::exit(1);
        }
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::size_t CountFiles(const fs::path& root)
{
    std::size_t count = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error))
        count += it->is_regular_file();
    return count;
}

// Kind folders with nested date folders, as the dashcam writes them.
void LayOutCard(const fs::path& root, int recordings)
{
    const char* kinds[] = { "NORMAL", "NORMAL", "NORMAL", "EVENT", "Event", "PARKING" };
    fs::create_directories(root / "EVENT");
    fs::create_directories(root / "SETUP");
    for (int i = 0; i < recordings; ++i) {
        const int day = 1 + i % 28;
        const int second = i / 28;
        char date[16];
        std::snprintf(date, sizeof date, "202403%02d", day);
        char name[64];
        std::snprintf(name, sizeof name, "%s_%02d%02d%02d_F.mp4", date, (second / 3600) % 24,
            (second / 60) % 60, second % 60);
        const fs::path folder = root / kinds[i % 6] / date;
        fs::create_directories(folder);
        std::ofstream(folder / name).put('\0');
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int recordings = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (recordings <= 0 || runs <= 0) {
        std::fputs("usage: velomira-bench-scan [RECORDINGS] [RUNS]\n", stderr);
        return 2;
    }
    const fs::path root
        = fs::temp_directory_path() / ("velomira-bench-scan-" + std::to_string(getpid()));
    fs::remove_all(root);
    const char* mkcard = std::getenv("VELOMIRA_MKCARD");
    const int made = RunQuietly({ mkcard != nullptr ? mkcard : VELOMIRA_MKCARD_PROGRAM, "card",
        root.string(), "--recordings", std::to_string(recordings), "--empty-recordings" });
    const char* source = "velomira-mkcard";
    if (made != 0 || CountFiles(root) < static_cast<std::size_t>(recordings)) {
        fs::remove_all(root);
        LayOutCard(root, recordings);
        source = "bench layout";
    }
    const std::size_t files = CountFiles(root);

    // One unmeasured pass of each warms the directory cache for both alike.
    RunQuietly({ VELOMIRA_CARD_PROGRAM, "scan", root.string() });
    RunQuietly({ "/bin/sh", "-c", "find \"$1\" -type f | sort", "sh", root.string() });
    const double scan = MedianSeconds({ VELOMIRA_CARD_PROGRAM, "scan", root.string() }, runs);
    const double baseline = MedianSeconds(
        { "/bin/sh", "-c", "find \"$1\" -type f | sort", "sh", root.string() }, runs);
    // velomira-card loads Qt and FFmpeg at start; its start-up alone, for reference.
    const double startup = MedianSeconds({ VELOMIRA_CARD_PROGRAM, "--help" }, runs);
    std::printf(
        "card: %d recordings (%zu files, %s) in %s\n", recordings, files, source, root.c_str());
    std::printf("velomira-card scan ROOT       median of %d: %8.2f ms\n", runs, scan * 1000);
    std::printf("find ROOT -type f | sort      median of %d: %8.2f ms\n", runs, baseline * 1000);
    std::printf("velomira-card --help (start-up) median of %d: %8.2f ms\n", runs, startup * 1000);
    std::printf("ratio scan / find|sort: %.2f (without start-up: %.2f)\n", scan / baseline,
        (scan - startup) / baseline);
    fs::remove_all(root);
    return 0;
}
