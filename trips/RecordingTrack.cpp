#include "trips/RecordingTrack.h"

#include <algorithm>
#include <cmath>

#include "telemetry/PanelGeometry.h"
#include "telemetry/TelemetryParser.h"
#include "telemetry/TrackExport.h"

namespace velomira {

void RecordingTrackBuilder::Add(std::span<const std::byte> sample, std::uint32_t timeMs)
{
    switch (ClassifyTelemetrySample(sample)) {
    case TelemetrySampleKind::RmcLine: {
        const CGPSData record = ParseRmcLine(TelemetryLineText(sample), timeMs);
        if (const auto position = ValidFixPosition(record)) {
            TrackFix fix;
            fix.offsetMs = timeMs;
            fix.latitude = position->latitude;
            fix.longitude = position->longitude;
            fix.speedKmh = std::isfinite(record.speedKmh) ? record.speedKmh : 0;
            fix.time = FixTime(record).value_or(std::string());
            m_fixes.push_back(std::move(fix));
        }
        break;
    }
    case TelemetrySampleKind::GSensor: {
        GSensorSample g;
        DrivingStatus status;
        DecodeGSensorSample(sample, g, status);
        // z carries gravity; x (forward) and y (sideways) are the car's own acceleration.
        const double horizontalG = std::hypot(g.x, g.y);
        const AssistState assist = AssistStateOf(status);
        const double speedKmh = status.words[0];
        const auto start = [&](bool now, bool& before, MarkKind kind, double valueG) {
            if (now && !before)
                m_marks.push_back({ kind, timeMs, valueG, speedKmh, false, !m_seenGSensor, 0, 0 });
            before = now;
        };
        start(horizontalG > kMarkAccelerationG, m_hardMove, MarkKind::HardMove, horizontalG);
        start(assist.left == 2, m_leftWarning, MarkKind::LaneDepartureLeft, 0);
        start(assist.right == 2, m_rightWarning, MarkKind::LaneDepartureRight, 0);
        start(assist.ahead == 2, m_aheadWarning, MarkKind::ForwardCollision, 0);
        m_seenGSensor = true;
        break;
    }
    case TelemetrySampleKind::Ignored:
        break;
    }
}

RecordingTrack RecordingTrackBuilder::Finish(std::uint32_t durationMs)
{
    RecordingTrack track;
    track.readable = true;
    track.durationMs = durationMs;
    track.fixes = std::move(m_fixes);
    track.marks = std::move(m_marks);
    const auto bit = [](bool on, MarkKind kind) { return on ? 1u << static_cast<int>(kind) : 0u; };
    track.onAtEnd = bit(m_hardMove, MarkKind::HardMove)
        | bit(m_leftWarning, MarkKind::LaneDepartureLeft)
        | bit(m_rightWarning, MarkKind::LaneDepartureRight)
        | bit(m_aheadWarning, MarkKind::ForwardCollision);
    std::stable_sort(track.marks.begin(), track.marks.end(),
        [](const TripMark& a, const TripMark& b) { return a.offsetMs < b.offsetMs; });
    for (TripMark& mark : track.marks)
        mark.placed = PlaceMark(track.fixes, mark);
    *this = RecordingTrackBuilder {};
    return track;
}

bool PlaceMark(std::span<const TrackFix> fixes, TripMark& mark)
{
    // The first fix at or after the mark; fixes come in time order.
    const auto after = std::lower_bound(fixes.begin(), fixes.end(), mark.offsetMs,
        [](const TrackFix& fix, std::uint32_t ms) { return fix.offsetMs < ms; });
    const TrackFix* next = after != fixes.end() ? &*after : nullptr;
    const TrackFix* previous = after != fixes.begin() ? &*(after - 1) : nullptr;
    if (next != nullptr && previous != nullptr && next->offsetMs - previous->offsetMs <= kPlaceGapMs
        && next->offsetMs > previous->offsetMs) {
        const double t = static_cast<double>(mark.offsetMs - previous->offsetMs)
            / static_cast<double>(next->offsetMs - previous->offsetMs);
        mark.latitude = previous->latitude + t * (next->latitude - previous->latitude);
        mark.longitude = previous->longitude + t * (next->longitude - previous->longitude);
        return true;
    }
    const auto gap = [&](const TrackFix* fix) {
        return fix == nullptr ? UINT32_MAX
                              : (fix->offsetMs > mark.offsetMs ? fix->offsetMs - mark.offsetMs
                                                               : mark.offsetMs - fix->offsetMs);
    };
    const TrackFix* nearest = gap(previous) <= gap(next) ? previous : next;
    if (nearest == nullptr || gap(nearest) > kPlaceGapMs)
        return false;
    mark.latitude = nearest->latitude;
    mark.longitude = nearest->longitude;
    return true;
}

} // namespace velomira
