#include "trips/TripBook.h"

#include <algorithm>

#include "library/RecordingFilter.h"
#include "library/RecordingScan.h"
#include "platform/CardPath.h"
#include "platform/CardSearch.h"

namespace velomira {

std::vector<TripSource> CardTripSources(
    std::string_view cardDrive, const DriveRoots& drives, bool* complete)
{
    CardDirectoryLister lister(drives);
    RecordingLists lists;
    const CardScanResult scan
        = RescanCard(lists, cardDrive, lister, ListFilter { true, true, false });
    if (complete != nullptr)
        *complete = scan.complete;
    std::vector<TripSource> sources;
    for (const RecordingEntry& entry : lists.visible) {
        const auto stamp = StampSeconds(entry.date, entry.time);
        const auto file = ToLinuxPathAsListed(entry.path, drives);
        if (!stamp || !file)
            continue;
        sources.push_back(
            { entry, file->string(), *stamp, entry.kind == "Event" || entry.kind == "EVENT" });
    }
    std::stable_sort(sources.begin(), sources.end(),
        [](const TripSource& a, const TripSource& b) { return a.stampSeconds < b.stampSeconds; });
    return sources;
}

TripBook::TripBook(std::vector<TripSource> sources)
    : m_sources(std::move(sources))
    , m_tracks(m_sources.size())
    , m_read(m_sources.size(), false)
{
    std::stable_sort(m_sources.begin(), m_sources.end(),
        [](const TripSource& a, const TripSource& b) { return a.stampSeconds < b.stampSeconds; });
    m_recordings.reserve(m_sources.size());
    for (const TripSource& source : m_sources)
        m_recordings.push_back({ source.stampSeconds, source.event, nullptr });
}

std::vector<std::string> TripBook::FilesNewestFirst() const
{
    std::vector<std::string> files;
    files.reserve(m_sources.size());
    for (auto it = m_sources.rbegin(); it != m_sources.rend(); ++it)
        files.push_back(it->file);
    return files;
}

void TripBook::SetTrack(std::size_t source, RecordingTrack track)
{
    if (source >= m_sources.size())
        return;
    m_tracks[source] = std::move(track);
    m_read[source] = true;
    m_recordings[source].track = &m_tracks[source];
}

const RecordingTrack* TripBook::TrackOf(std::size_t source) const
{
    return source < m_sources.size() && m_read[source] ? &m_tracks[source] : nullptr;
}

const std::vector<Trip>& TripBook::Regroup()
{
    m_trips = GroupTrips(m_recordings);
    return m_trips;
}

std::vector<TripRecording> TripBook::Members(const Trip& trip) const
{
    return TripMembers(m_recordings, trip);
}

bool TripBook::IsSettled(const Trip& trip) const
{
    // Sources are in stamp order, so the recording before a trip is the source before its
    // first.
    const std::size_t first = trip.recordings.front();
    if (first > 0 && !m_read[first - 1])
        return false;
    return std::all_of(trip.recordings.begin(), trip.recordings.end(),
        [this](std::size_t i) { return m_read[i]; });
}

const Trip* TripBook::FindTrip(std::size_t key) const
{
    for (const Trip& trip : m_trips) {
        if (KeyOf(trip) == key)
            return &trip;
    }
    return nullptr;
}

} // namespace velomira
