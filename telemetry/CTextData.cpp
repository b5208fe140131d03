#include "telemetry/CTextData.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velomira {
namespace {

constexpr double kNorthMetresPerDegree = 110560;
constexpr double kEastMetresPerDegree = 84800;

} // namespace

CTextData::CTextData()
    : m_timeline(1)
{ }

void CTextData::ResetForLoad()
{
    m_gpsRecords.clear();
    m_gSensorSamples.clear();
    m_drivingStatus.clear();
    m_gSensorSampleCount = 0;
    m_trackPoints.clear();
    m_trackCount = 0;
}

TelemetrySampleKind CTextData::ParseTelemetrySample(
    std::span<const std::byte> sample, std::uint32_t timeMs)
{
    const TelemetrySampleKind kind = ClassifyTelemetrySample(sample);
    switch (kind) {
    case TelemetrySampleKind::GSensor:
        m_gSensorSampleCount = ParseGSensorSample(sample, m_gSensorSampleCount);
        break;
    case TelemetrySampleKind::RmcLine: {
        // The GPS records and the track stay parallel: a line the track has no room for
        // is not stored at all.
        if (m_trackCount >= kCapacity)
            break;
        const CGPSData record = ParseRmcLine(TelemetryLineText(sample), timeMs);
        m_gpsRecords.push_back(record);
        AppendTrackPoint(record);
        break;
    }
    case TelemetrySampleKind::Ignored:
        break;
    }
    return kind;
}

std::size_t CTextData::ParseGSensorSample(std::span<const std::byte> sample, std::size_t index)
{
    if (index >= kCapacity)
        return index;
    if (index >= m_gSensorSamples.size()) {
        m_gSensorSamples.resize(index + 1);
        m_drivingStatus.resize(index + 1);
    }
    DecodeGSensorSample(sample, m_gSensorSamples[index], m_drivingStatus[index]);
    return index + 1;
}

bool CTextData::AppendTrackPoint(const CGPSData& record)
{
    if (m_trackCount >= kCapacity)
        return false;
    const std::size_t k = m_trackCount;
    if (k >= m_trackPoints.size())
        m_trackPoints.resize(k + 1);
    TrackPoint& c = m_trackPoints[k];
    c = TrackPoint {};
    c.speed = TruncToInt32(record.speedKmh);
    c.latitudeRaw = record.latitudeRaw;
    c.longitudeRaw = record.longitudeRaw;
    c.northSouth = record.northSouth;
    c.eastWest = record.eastWest;
    c.northMetres = DegreesFromNmea(record.latitudeRaw) * kNorthMetresPerDegree;
    c.eastMetres = DegreesFromNmea(record.longitudeRaw) * kEastMetresPerDegree;

    double hx = 0;
    double hy = 0;
    if (k > 0 && c.longitudeRaw != 0) {
        const TrackPoint& p = m_trackPoints[k - 1];
        if (p.eastMetres == c.eastMetres) {
            if (p.northMetres == c.northMetres) {
                // Standing still keeps the last heading.
                hx = p.headingX;
                hy = p.headingY;
            } else {
                hy = p.northMetres > c.northMetres ? -kHeadingLength : kHeadingLength;
            }
        } else {
            const double m
                = std::fabs((c.northMetres - p.northMetres) / (c.eastMetres - p.eastMetres));
            hx = std::sqrt(kHeadingLength * kHeadingLength / (m * m + 1));
            hy = hx * m;
            if (p.eastMetres > c.eastMetres)
                hx = -hx;
            if (p.northMetres > c.northMetres)
                hy = -hy;
        }
    }
    c.headingX = TruncToInt32(hx);
    c.headingY = TruncToInt32(hy);
    m_trackCount = k + 1;
    return true;
}

void CTextData::BuildTimeline(std::uint32_t durationMs)
{
    // Ticks of 20 ms; 64-bit so that long durations do not wrap.
    const std::uint64_t ticks = static_cast<std::uint64_t>(durationMs) * 50 / 1000;
    const std::size_t slots
        = static_cast<std::size_t>(std::min<std::uint64_t>(ticks + 1, kMaxTimelineSlots));
    m_timeline.assign(slots, TimelineSlot {});
    m_timelineCount = 0;

    const std::size_t n = m_gSensorSampleCount;
    if (n == 0)
        return;
    const std::span<const GSensorSample> s(m_gSensorSamples.data(), n);
    const double step = static_cast<double>(ticks) / static_cast<double>(n);
    const auto slotIndex = [](double t) { return TruncToInt32(t); };
    const auto copySample = [this](std::int32_t slot, const GSensorSample& sample) {
        if (slot >= 0 && static_cast<std::size_t>(slot) < m_timeline.size())
            m_timeline[static_cast<std::size_t>(slot)] = sample;
    };

    if (n < 3) {
        // Too few samples to interpolate: each sample goes to its own slot.
        for (std::size_t i = 0; i < n; ++i)
            copySample(slotIndex(static_cast<double>(i) * step), s[i]);
        const auto last
            = static_cast<std::size_t>(std::max(0, slotIndex(static_cast<double>(n - 1) * step)));
        m_timelineCount = std::min(last + 1, m_timeline.size());
        return;
    }

    double t0 = 0, t1 = 0, t2 = 0;
    std::array<double, 3> y0 {}, d1 {}, d2 {};
    const auto interpolate = [&](double from, double to) {
        const std::int32_t first = slotIndex(from) + 1;
        const std::int32_t end
            = std::min<std::int64_t>(slotIndex(to), static_cast<std::int64_t>(m_timeline.size()));
        for (std::int32_t j = std::max(first, 0); j < end; ++j) {
            const double a = j - t0;
            const double b = j - t1;
            TimelineSlot& slot = m_timeline[static_cast<std::size_t>(j)];
            slot.x = y0[0] + a * d1[0] + a * b * d2[0];
            slot.y = y0[1] + a * d1[1] + a * b * d2[1];
            slot.z = y0[2] + a * d1[2] + a * b * d2[2];
        }
    };
    for (std::size_t i = 0; i + 2 < n; ++i) {
        t0 = static_cast<double>(i) * step;
        t1 = static_cast<double>(i + 1) * step;
        t2 = static_cast<double>(i + 2) * step;
        const std::array<const GSensorSample*, 3> p { &s[i], &s[i + 1], &s[i + 2] };
        const auto axis
            = [](const GSensorSample& g, int a) { return a == 0 ? g.x : (a == 1 ? g.y : g.z); };
        for (int a = 0; a < 3; ++a) {
            const double v0 = axis(*p[0], a), v1 = axis(*p[1], a), v2 = axis(*p[2], a);
            y0[a] = v0;
            d1[a] = (v1 - v0) / (t1 - t0);
            d2[a] = ((v2 - v1) / (t2 - t1) - d1[a]) / (t2 - t0);
        }
        copySample(slotIndex(t0), s[i]);
        interpolate(t0, t1);
    }
    // The last pass's curve also fills the span from sample n - 2 to n - 1.
    copySample(slotIndex(t1), s[n - 2]);
    interpolate(t1, t2);
    m_timelineCount
        = std::min(static_cast<std::size_t>(std::max(0, slotIndex(t2))), m_timeline.size());
}

std::size_t CTextData::TimelineIndexAt(std::uint32_t positionMs, std::uint32_t durationMs) const
{
    if (m_timelineCount == 0)
        return 0;
    std::uint64_t index = 0;
    if (durationMs > 0)
        index = static_cast<std::uint64_t>(m_timelineCount) * positionMs / durationMs;
    else
        index = positionMs / 50;
    return static_cast<std::size_t>(std::min<std::uint64_t>(index, m_timelineCount - 1));
}

std::size_t CTextData::SampleIndexAt(std::uint32_t positionMs, std::uint32_t durationMs) const
{
    if (m_gSensorSampleCount == 0 || durationMs == 0)
        return 0;
    const double index
        = static_cast<double>(positionMs) / durationMs * static_cast<double>(m_gSensorSampleCount);
    const std::int32_t truncated = TruncToInt32(index);
    return std::min(static_cast<std::size_t>(std::max(0, truncated)), m_gSensorSampleCount - 1);
}

std::size_t CTextData::TrackIndexAt(std::uint32_t positionMs) const
{
    if (m_trackCount == 0)
        return 0;
    return std::min<std::size_t>(positionMs / 1000, m_trackCount - 1);
}

void LoadTelemetry(
    CTextData& store, std::span<const TelemetrySampleBytes> samples, std::uint32_t durationMs)
{
    store.ResetForLoad();
    std::array<std::byte, kTelemetrySampleBufferBytes> buffer {};
    for (const TelemetrySampleBytes& sample : samples) {
        buffer.fill(std::byte { 0 });
        const std::size_t count = std::min(sample.bytes.size(), buffer.size());
        std::memcpy(buffer.data(), sample.bytes.data(), count);
        store.ParseTelemetrySample(buffer, sample.timeMs);
    }
    if (!samples.empty())
        store.BuildTimeline(durationMs);
}

} // namespace velomira
