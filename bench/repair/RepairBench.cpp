// Recordings cut short: rebuilding the index of the 60-second two-camera recording cut at
// 90% against reading that file once from the page cache (cat FILE > /dev/null), and
// opening the cut recording in the player's source against opening it intact (time and
// memory). Every figure is measured in the same run; each time is the best of RUNS.
//
//   velomira-bench-repair [FOLDER] [RUNS]     (default build/bench-data, 7)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "bench/support/BenchRecording.h"
#include "bench/support/RunQuietly.h"
#include "devtools/mkcard/PowerCut.h"
#include "playback/ffmpeg/MediaSource.h"
#include "playback/ffmpeg/RebuiltRecording.h"

namespace {

using Clock = std::chrono::steady_clock;

double BestMs(int runs, const std::function<void()>& run)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        run();
        best = std::min(
            best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

// A field of /proc/self/status in kilobytes.
long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    }
    return 0;
}

struct Memory {
    long heldKb = 0; // resident with the source open, less before
    long peakKb = 0; // highest resident while opening, less before
};

Memory OpenedMemory(const std::string& path)
{
    std::ofstream("/proc/self/clear_refs") << "5"; // restarts the peak at the current size
    const long before = StatusKb("VmRSS:");
    const auto source = velomira::ffmpeg::MediaSource::Open(path);
    Memory memory;
    memory.heldKb = StatusKb("VmRSS:") - before;
    memory.peakKb = StatusKb("VmHWM:") - before;
    return source ? memory : Memory { -1, -1 };
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : "build/bench-data";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    const std::string full = velomira::bench::EnsureBenchRecording(folder);
    if (full.empty())
        return 1;
    // The cut beside a complete recording of its layout, as on a card.
    const std::filesystem::path cutFolder = std::filesystem::path(folder) / "repair";
    std::filesystem::create_directories(cutFolder);
    const std::string cut = (cutFolder / "cut.mp4").string();
    const std::string reference = (cutFolder / "reference.mp4").string();
    std::string error;
    if (!std::filesystem::exists(cut)
        && !velomira::WritePowerCut(full, cut, { std::nullopt, 900 }, error)) {
        std::printf("cannot cut: %s\n", error.c_str());
        return 1;
    }
    if (!std::filesystem::exists(reference))
        std::filesystem::copy_file(full, reference);
    const auto cutBytes = std::filesystem::file_size(cut);
    std::printf("60 s two-camera recording cut at 90%%: %.1f MB\n", cutBytes / 1e6);

    // Warm the page cache for both files first.
    velomira::bench::RunQuietly({ "cat", cut, reference, full });
    const double catMs = BestMs(runs, [&] { velomira::bench::RunQuietly({ "cat", cut }); });
    size_t samples = 0;
    const double rebuildMs = BestMs(runs, [&] {
        std::string why;
        const auto rebuilt = velomira::ffmpeg::RebuiltRecording::Open(cut, reference, why);
        samples = rebuilt ? rebuilt->Index().samples.size() : 0;
    });
    std::printf("cat FILE > /dev/null:       %8.2f ms\n", catMs);
    std::printf("rebuild the index:          %8.2f ms  (%zu samples)  ratio %.2f (target <= 3)\n",
        rebuildMs, samples, rebuildMs / catMs);

    const double intactMs = BestMs(runs, [&] { (void)velomira::ffmpeg::MediaSource::Open(full); });
    const double cutMs = BestMs(runs, [&] { (void)velomira::ffmpeg::MediaSource::Open(cut); });
    std::printf("open intact:                %8.2f ms\n", intactMs);
    std::printf("open cut (rebuilt):         %8.2f ms  ratio %.2f (target <= 10)\n", cutMs,
        cutMs / intactMs);

    const Memory intact = OpenedMemory(full);
    const Memory cutMemory = OpenedMemory(cut);
    std::printf(
        "memory opening intact:      held %6ld kB, peak %6ld kB\n", intact.heldKb, intact.peakKb);
    std::printf("memory opening cut:         held %6ld kB, peak %6ld kB  beyond intact %.1f MB "
                "(target <= 20)\n",
        cutMemory.heldKb, cutMemory.peakKb,
        static_cast<double>(
            std::max(cutMemory.heldKb, cutMemory.peakKb) - std::max(intact.heldKb, intact.peakKb))
            / 1024.0);
    return 0;
}
