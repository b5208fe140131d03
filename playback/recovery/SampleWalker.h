#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "playback/recovery/ReferenceRecording.h"

namespace velomira::recovery {

// One sample found in the media data: which reference track it belongs to and where its
// bytes lie in the file.
struct RecoveredSample {
    uint32_t track = 0;
    uint64_t offset = 0;
    uint32_t size = 0;
    bool sync = false; // a video key picture
    bool operator==(const RecoveredSample&) const = default;
};

struct WalkResult {
    std::vector<RecoveredSample> samples; // in file order
    uint64_t stoppedAt = 0; // the first byte not taken
    // True when the walk stopped only because the data ran out (inside the last sample).
    bool reachedEnd = false;
};

// Walks the media data [dataStart, file.size()) sample by sample, deciding at each offset
// which of the reference's tracks has a sample starting there and how long it is, from
// what the bytes say: H.264 NAL lengths and slice headers against each video track's
// parameter sets (and that track's frame numbering), the telemetry sample's own layout,
// and for AAC frames (which carry no length) the frame ends between the samples around
// them. Only samples whose bytes lie wholly in `file` are returned; at bytes it cannot
// place, the walk stops.
// Called now and then with an offset below which the walk reads no more: a caller that
// mapped the file may let those pages go.
using WalkedPast = std::function<void(uint64_t offset)>;

WalkResult WalkMediaData(std::span<const std::byte> file, uint64_t dataStart,
    const ReferenceRecording& reference, const WalkedPast& walkedPast = {});

} // namespace velomira::recovery
