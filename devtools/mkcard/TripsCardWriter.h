#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "devtools/mkcard/CardWriter.h"

namespace velomira {

// A card of many drives, written quickly: one-minute recordings with a small front picture at
// one frame a second, no rear camera and no sound, and telemetry that continues across the
// recordings of a drive as a real drive's does. Drives start six hours and five minutes
// apart (so some cross midnight); every tenth recording is an event recording.
struct TripsCardOptions {
    std::filesystem::path outDir;
    int trips = 40;
    int recordingsPerTrip = 25;
    unsigned threads = 0; // 0: one per core
};

std::vector<CardRecording> TripsCardRecordings(int trips, int recordingsPerTrip);

// Returns an empty string or what went wrong.
std::string WriteTripsCard(const TripsCardOptions& options);

} // namespace velomira
