// Where the generator's time goes: painting pictures against encoding and writing the whole
// recording, for the default full-size cameras. Run by hand:
//   build/bench/mkcard/mkcard_bench [seconds]   (default 5)
// Prints the time of each stage and its ratio to the baseline (painting alone), and the
// recording's speed against real time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "devtools/mkcard/MediaWriter.h"
#include "devtools/mkcard/PicturePainter.h"
#include "devtools/mkcard/TelemetrySynthesizer.h"

using namespace velomira;

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double PaintOnly(int frames)
{
    const VideoSize sizes[] = { { 1920, 1080 }, { 1280, 720 } };
    const auto start = std::chrono::steady_clock::now();
    for (const auto& size : sizes) {
        std::vector<uint8_t> y(static_cast<size_t>(size.width) * size.height);
        std::vector<uint8_t> u(y.size() / 4), v(y.size() / 4);
        for (int i = 0; i < frames; ++i) {
            PictureContent content { size.width, size.height, 0, i, 30, "FRONT" };
            PaintPicture(
                { y.data(), u.data(), v.data(), size.width, size.width / 2, size.width / 2 },
                content);
        }
    }
    return Seconds(start);
}

} // namespace

int main(int argc, char** argv)
{
    av_log_set_level(AV_LOG_ERROR);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int frames = seconds * 30;

    const double paint = PaintOnly(frames);

    DriveOptions drive;
    drive.durationMs = static_cast<uint32_t>(seconds) * 1000;
    auto start = std::chrono::steady_clock::now();
    const auto telemetry = SynthesizeDrive(drive);
    const double synth = Seconds(start);

    const auto path = std::filesystem::temp_directory_path() / "mkcard-bench.mp4";
    RecordingPlan plan;
    plan.durationMs = drive.durationMs;
    plan.telemetry = telemetry;
    start = std::chrono::steady_clock::now();
    const auto result = WriteRecording(path, plan);
    const double record = Seconds(start);
    std::filesystem::remove(path);
    if (!result.error.empty()) {
        std::fprintf(stderr, "recording failed: %s\n", result.error.c_str());
        return 1;
    }

    std::printf("%d s of 1920x1080 + 1280x720 at 30 fps\n", seconds);
    std::printf("  paint pictures (baseline)  %8.3f s  x1.00\n", paint);
    std::printf("  synthesize telemetry       %8.3f s  x%.2f\n", synth, synth / paint);
    std::printf("  whole recording            %8.3f s  x%.2f\n", record, record / paint);
    std::printf("  recording speed            %.2f x real time\n", seconds / record);
    return 0;
}
