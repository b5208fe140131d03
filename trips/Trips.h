#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "trips/RecordingTrack.h"

namespace velomira {

// Recordings whose gap (one's end, stamp plus duration, to the next one's stamp) is shorter
// than this belong to the same trip.
inline constexpr std::int64_t kTripGapMs = 3 * 60 * 1000;
// A straight line between two consecutive fixes longer than this is a jump over a stretch
// without fixes: it is neither drawn nor counted in the distance.
inline constexpr double kLongestBridgeMetres = 1000;
// Fixes at or above this speed count for the average moving speed.
inline constexpr double kMovingKmh = 3;

// One recording as the trips see it. `track` null: not read yet; a track that is not
// readable counts with no length.
struct TripRecording {
    std::int64_t stampSeconds = 0; // from the file name's stamp, see StampSeconds
    bool event = false;
    const RecordingTrack* track = nullptr;
};

// Seconds since 1970-01-01 00:00:00 of the stamp's date "YYYY-MM-DD" and time "HH:MM:SS"
// (the list's columns) on the proleptic Gregorian calendar, no time zone: the card's clock
// as it stands. Nothing when either is not in that form or out of range.
std::optional<std::int64_t> StampSeconds(std::string_view date, std::string_view time);
// "YYYY-MM-DD HH:MM:SS" of a count of milliseconds since 1970-01-01 (the inverse).
std::string StampText(std::int64_t msSince1970);

// A trip: indices into the recordings given to GroupTrips, in time order.
struct Trip {
    std::vector<std::size_t> recordings;
};

// The trips of `recordings` (any order), newest first. Recordings with equal stamps keep
// their given order.
std::vector<Trip> GroupTrips(std::span<const TripRecording> recordings);

struct TripFigures {
    std::int64_t startMs = 0; // since 1970-01-01, the card's clock
    std::int64_t endMs = 0; // the latest recording end
    double distanceMetres = 0;
    double maxSpeedKmh = 0;
    double averageMovingKmh = 0; // 0 without a moving fix
    std::size_t recordingCount = 0;
    std::size_t eventRecordings = 0;
    std::size_t unreadable = 0;
    std::size_t marks = 0;
    std::int64_t durationMs() const { return endMs - startMs; }
};

// The recordings of one trip, in time order, as GroupTrips lists them.
std::vector<TripRecording> TripMembers(std::span<const TripRecording> all, const Trip& trip);

// The marks of recording `index` of a trip (in time order) that start there: a mark on at
// the recording's first sample that was on at the end of the recording before, which ended
// less than kContinuedGapMs earlier, goes on from there and is not a new one.
inline constexpr std::int64_t kContinuedGapMs = 2000;
std::vector<const TripMark*> TripMarks(std::span<const TripRecording> trip, std::size_t index);

// Figures of a trip's recordings given in time order.
TripFigures ComputeTripFigures(std::span<const TripRecording> trip);

// Great-circle distance in metres on a sphere of the Earth's mean radius.
double HaversineMetres(double latitude1, double longitude1, double latitude2, double longitude2);

// The lines to draw for a trip: per recording, runs of fixes without jumps; a run that
// continues the previous recording's last fix (no jump) starts with that fix, so a trip
// reads as one line.
struct TripLine {
    std::size_t recording = 0; // position in the trip
    bool continuesPrevious = false; // fixes[0] is the previous recording's last fix
    std::vector<const TrackFix*> fixes;
};
std::vector<TripLine> TripLines(std::span<const TripRecording> trip);

// The moment of a trip nearest to a point: the recording (position in the trip) and the
// offset, found on the drawn lines (between two fixes the time is interpolated; on the line
// joining two recordings, the nearer end's recording). On equal distances the earlier
// moment wins. Nothing for a trip without fixes.
struct TripMoment {
    std::size_t recording = 0;
    std::uint32_t offsetMs = 0;
    double distanceMetres = 0;
};
std::optional<TripMoment> NearestMoment(
    std::span<const TripRecording> trip, double latitude, double longitude);

} // namespace velomira
