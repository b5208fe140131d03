#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/RecordingEntry.h"
#include "platform/DriveRoots.h"
#include "trips/Trips.h"

namespace velomira {

// One recording of the card for the trips: the list's entry, the file it names and its stamp.
struct TripSource {
    RecordingEntry entry;
    std::string file; // the Linux path the player opens
    std::int64_t stampSeconds = 0;
    bool event = false;
};

// The recordings of the card `cardDrive` ("E:") that the list shows (normal and event,
// parking never), read through `drives`, oldest first. A recording without a readable stamp
// has no place in time and is left out. `complete` false: the card could not be listed to
// its end.
std::vector<TripSource> CardTripSources(
    std::string_view cardDrive, const DriveRoots& drives, bool* complete = nullptr);

// The trips of one card while its tracks come in: the sources, the tracks read so far and
// the trips they make. Used from one thread.
class TripBook {
public:
    explicit TripBook(std::vector<TripSource> sources);

    const std::vector<TripSource>& sources() const { return m_sources; }
    // The files in the order they are best read: newest first.
    std::vector<std::string> FilesNewestFirst() const;
    // Index of the file at `position` of FilesNewestFirst().
    std::size_t SourceOfNewest(std::size_t position) const
    {
        return m_sources.size() - 1 - position;
    }

    void SetTrack(std::size_t source, RecordingTrack track);
    bool IsRead(std::size_t source) const { return m_read[source]; }
    const RecordingTrack* TrackOf(std::size_t source) const;

    // Groups the recordings again (unread ones count with no length); newest first.
    const std::vector<Trip>& Regroup();
    const std::vector<Trip>& trips() const { return m_trips; }
    std::vector<TripRecording> Members(const Trip& trip) const;
    // A trip that can no longer change: its recordings and the one just before it are read.
    bool IsSettled(const Trip& trip) const;
    // A trip's lasting name: the source index of its first recording.
    static std::size_t KeyOf(const Trip& trip) { return trip.recordings.front(); }
    const Trip* FindTrip(std::size_t key) const;

private:
    std::vector<TripSource> m_sources; // oldest first
    std::vector<RecordingTrack> m_tracks; // parallel to m_sources
    std::vector<bool> m_read;
    std::vector<TripRecording> m_recordings; // parallel, pointing into m_tracks
    std::vector<Trip> m_trips;
};

} // namespace velomira
