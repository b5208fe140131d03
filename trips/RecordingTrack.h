#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velomira {

// One valid fix of a recording, in decimal degrees.
struct TrackFix {
    std::uint32_t offsetMs = 0; // from the recording's start
    double latitude = 0;
    double longitude = 0;
    double speedKmh = 0;
    std::string time; // "2024-03-15T10:10:10Z" from the line's date and time; empty without
};

// What a mark on the map stands for.
enum class MarkKind {
    HardMove, // horizontal acceleration above kMarkAccelerationG
    LaneDepartureLeft,
    LaneDepartureRight,
    ForwardCollision,
};

// Horizontal acceleration (sideways and forward axes together) a hard move exceeds.
inline constexpr double kMarkAccelerationG = 0.4;

// A moment that matters: where a hard move or a driver-assistance warning starts.
struct TripMark {
    MarkKind kind = MarkKind::HardMove;
    std::uint32_t offsetMs = 0;
    double valueG = 0; // the horizontal acceleration for a hard move, else 0
    double speedKmh = 0; // the vehicle speed of the G-sensor sample
    bool placed = false; // false when no fix is near enough in time to place it
    bool atFirstSample = false; // already so at the recording's first G-sensor sample
    double latitude = 0;
    double longitude = 0;
};

// A recording's telemetry reduced to what the trips need. `readable` false: the file could
// not be opened as a recording (it is then listed without a track).
struct RecordingTrack {
    bool readable = false;
    std::uint32_t durationMs = 0;
    std::vector<TrackFix> fixes; // valid fixes only, in sample order
    std::vector<TripMark> marks; // in time order
    // The mark kinds (bit 1 << MarkKind) still on at the last G-sensor sample.
    unsigned onAtEnd = 0;
};

// Builds a RecordingTrack from the telemetry samples in the order the player hands them out
// (each sample as cut to the loader's buffer, with its time). Plain data in, no I/O.
class RecordingTrackBuilder {
public:
    void Add(std::span<const std::byte> sample, std::uint32_t timeMs);
    // The track of a readable recording of `durationMs`; marks are placed on the fixes.
    RecordingTrack Finish(std::uint32_t durationMs);

private:
    std::vector<TrackFix> m_fixes;
    std::vector<TripMark> m_marks;
    bool m_hardMove = false;
    bool m_leftWarning = false;
    bool m_rightWarning = false;
    bool m_aheadWarning = false;
    bool m_seenGSensor = false;
};

// The position of a mark between the fixes around it: interpolated in time between two fixes
// at most kPlaceGapMs apart, else the nearest fix within kPlaceGapMs; false when none is.
inline constexpr std::uint32_t kPlaceGapMs = 3000;
bool PlaceMark(std::span<const TrackFix> fixes, TripMark& mark);

} // namespace velomira
