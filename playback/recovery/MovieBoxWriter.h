#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "playback/recovery/ReferenceRecording.h"
#include "playback/recovery/SampleWalker.h"

namespace velomira::recovery {

// What was recovered of one track.
struct TrackSummary {
    TrackKind kind = TrackKind::Video;
    std::string codec;
    size_t samples = 0;
    uint64_t durationMs = 0;
};

// The index ('moov' box) of the recovered samples: the reference's movie and track
// headers and sample descriptions, with sample tables for the recovered samples (one
// sample per chunk, 64-bit offsets into the file where they were found) and the
// durations rewritten. Sample times follow the reference's sample durations.
std::vector<std::byte> WriteMovieBox(const ReferenceRecording& reference,
    const std::vector<RecoveredSample>& samples, std::vector<TrackSummary>& summary);

} // namespace velomira::recovery
