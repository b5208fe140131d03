#include "devtools/mkcard/TripsCardWriter.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

#include "devtools/mkcard/RecordingJob.h"
#include "devtools/mkcard/TelemetrySynthesizer.h"

namespace velomira {
namespace {

constexpr std::uint32_t kRecordingMs = 60000;
constexpr CivilTime kFirstDrive { 2024, 3, 1, 8, 0, 0, 0 };
constexpr std::int64_t kDriveSpacingMs = (6 * 60 + 5) * 60 * 1000LL;

std::string Stamp(const CivilTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour,
        t.minute, t.second);
    return text;
}

} // namespace

std::vector<CardRecording> TripsCardRecordings(int trips, int recordingsPerTrip)
{
    const auto& routes = DriveRoutes();
    std::vector<CardRecording> recordings;
    int number = 0;
    for (int trip = 0; trip < trips; ++trip) {
        const CivilTime start = AddMilliseconds(kFirstDrive, trip * kDriveSpacingMs);
        for (int part = 0; part < recordingsPerTrip; ++part, ++number) {
            const auto offsetMs = static_cast<std::uint32_t>(part) * kRecordingMs;
            const bool event = number % 10 == 9;
            const std::string name
                = Stamp(AddMilliseconds(start, offsetMs)) + (event ? "_EF.mp4" : "_NF.mp4");
            recordings.push_back({ std::filesystem::path(event ? "EVENT" : "NORMAL") / name, true,
                routes[static_cast<std::size_t>(trip) % routes.size()].name, kRecordingMs,
                static_cast<std::uint64_t>(100 + trip), offsetMs });
        }
    }
    return recordings;
}

std::string WriteTripsCard(const TripsCardOptions& options)
{
    CardOptions card;
    card.outDir = options.outDir;
    // The card's folders and setup files, then the recordings in parallel.
    if (auto error = WriteCard(card, {}, false); !error.empty())
        return error;
    const std::vector<CardRecording> recordings
        = TripsCardRecordings(options.trips, options.recordingsPerTrip);
    for (const auto& folder : { "NORMAL", "EVENT" })
        std::filesystem::create_directories(options.outDir / folder);

    std::atomic<std::size_t> next { 0 };
    std::mutex mutex; // guards firstError
    std::string firstError;
    const auto work = [&] {
        for (std::size_t i = next++; i < recordings.size(); i = next++) {
            const CardRecording& rec = recordings[i];
            RecordingOptions r;
            r.out = options.outDir / rec.relativePath;
            r.durationMs = rec.durationMs;
            r.front = { 64, 36 };
            r.rear.reset();
            r.fps = 1;
            r.audio = AudioKind::None;
            r.route = rec.route;
            r.seed = rec.seed;
            r.driveOffsetMs = rec.driveOffsetMs;
            // The drive's clock at the recording's start is the stamp in its name.
            int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
            std::sscanf(rec.relativePath.filename().c_str(), "%4d%2d%2d_%2d%2d%2d", &y, &mo, &d, &h,
                &mi, &s);
            r.start = CivilTime { y, mo, d, h, mi, s, 0 };
            if (auto error = MakeRecording(r); !error.empty()) {
                const std::lock_guard lock(mutex);
                if (firstError.empty())
                    firstError = rec.relativePath.string() + ": " + error;
                next = recordings.size();
            }
        }
    };
    const unsigned threads
        = options.threads > 0 ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back(work);
    for (std::thread& worker : workers)
        worker.join();
    return firstError;
}

} // namespace velomira
