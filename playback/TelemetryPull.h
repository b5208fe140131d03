#pragma once

#include <cstddef>
#include <cstdint>

namespace velomira {

class CTextData;
class PlayerPort;

// The buffer one telemetry sample is pulled into; a longer sample is cut there.
inline constexpr std::uint32_t kTelemetryPullBufferBytes = 1024;
// Consecutive codes other than 0, 38 and E_FAIL after which the pull gives up: a source
// that never ends its samples must not hang the viewer.
inline constexpr int kTelemetryPullMaxStrayCodes = 1000;

struct TelemetryPullResult {
    std::size_t samples = 0; // samples handed to the parser
    bool gaveUp = false; // ended by the stray-code bound, not by the source
};

// Empties the telemetry store and pulls every sample of the opened recording from
// `player` into it: each into a zeroed 1024-byte buffer with its time, until the source
// answers 38 or E_FAIL (or keeps answering anything else). Does not build the timeline.
TelemetryPullResult PullTelemetry(PlayerPort& player, CTextData& store);

// The wave-output level of a volume slider value v (0 .. 99): w = v x 655.35 in both
// channels, left in the low 16 bits. 50 gives 0x7FFF7FFF.
std::uint32_t WaveOutVolumeFor(int volume);

} // namespace velomira
