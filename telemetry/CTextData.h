#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "telemetry/TelemetryParser.h"
#include "telemetry/TelemetryRecords.h"

namespace velomira {

// The telemetry of the loaded recording: GPS records, G-sensor samples with their
// driving-status blocks, the track and the 20-ms timeline. One object, owned by the main
// window and reset by the loader before each recording; read on the user-interface thread
// only.
class CTextData {
public:
    // The longest recording whose whole timeline is kept: two hours of 20-ms slots. A
    // longer (or bogus) duration keeps the first two hours.
    static constexpr std::size_t kMaxTimelineSlots = 2 * 60 * 60 * 50;
    // The G-sensor samples, driving-status blocks and track points grow with what the
    // recording holds, up to one per timeline slot, which bounds the memory a damaged
    // file can take; samples past it are not stored.
    static constexpr std::size_t kCapacity = kMaxTimelineSlots;
    // Length of the compass needle the heading vectors are scaled to.
    static constexpr double kHeadingLength = 23;

    CTextData();

    // Starts a recording: empties the GPS records, the G-sensor samples and the track.
    // The timeline stays until the next BuildTimeline.
    void ResetForLoad();

    // Decodes one sample delivered with its time; samples of other kinds are ignored, and
    // samples past what the arrays hold are not stored. Returns what the sample was.
    TelemetrySampleKind ParseTelemetrySample(
        std::span<const std::byte> sample, std::uint32_t timeMs);

    // Stores sample `index` and returns index + 1; at capacity stores nothing and returns
    // `index`.
    std::size_t ParseGSensorSample(std::span<const std::byte> sample, std::size_t index);

    // Adds the track point of `record` with its metres and heading. False (nothing
    // stored) when the track is full.
    bool AppendTrackPoint(const CGPSData& record);

    // Rebuilds the timeline for a recording of `durationMs` from the stored samples.
    void BuildTimeline(std::uint32_t durationMs);

    // Indices into the timeline, the G-sensor arrays and the track for a play position.
    // Each is inside what is stored (0 when nothing is).
    std::size_t TimelineIndexAt(std::uint32_t positionMs, std::uint32_t durationMs) const;
    std::size_t SampleIndexAt(std::uint32_t positionMs, std::uint32_t durationMs) const;
    std::size_t TrackIndexAt(std::uint32_t positionMs) const;

    const std::vector<CGPSData>& GpsRecords() const { return m_gpsRecords; }
    std::span<const GSensorSample> GSensorSamples() const
    {
        return { m_gSensorSamples.data(), m_gSensorSampleCount };
    }
    std::span<const DrivingStatus> DrivingStatuses() const
    {
        return { m_drivingStatus.data(), m_gSensorSampleCount };
    }
    std::size_t gSensorSampleCount() const { return m_gSensorSampleCount; }
    std::span<const TrackPoint> TrackPoints() const
    {
        return { m_trackPoints.data(), m_trackCount };
    }
    std::size_t trackCount() const { return m_trackCount; }
    // The built slots; TimelineIndexAt always names one of them (the timeline has at
    // least one slot).
    std::span<const TimelineSlot> Timeline() const { return m_timeline; }
    std::size_t timelineCount() const { return m_timelineCount; }

private:
    std::vector<CGPSData> m_gpsRecords;
    // Sized to what is stored; the counts say how many entries are valid.
    std::vector<GSensorSample> m_gSensorSamples;
    std::vector<DrivingStatus> m_drivingStatus;
    std::size_t m_gSensorSampleCount = 0;
    std::vector<TrackPoint> m_trackPoints;
    std::size_t m_trackCount = 0;
    std::vector<TimelineSlot> m_timeline;
    std::size_t m_timelineCount = 0;
};

// One telemetry sample as the player hands it out: its bytes and its time.
struct TelemetrySampleBytes {
    std::vector<std::byte> bytes;
    std::uint32_t timeMs = 0;
};

// What loading a recording does with its telemetry: reset `store`, put each sample into a
// cleared 1024-byte buffer (longer samples are cut there) and parse it, in order, then
// build the timeline when at least one sample came.
void LoadTelemetry(
    CTextData& store, std::span<const TelemetrySampleBytes> samples, std::uint32_t durationMs);

} // namespace velomira
