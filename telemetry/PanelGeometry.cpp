#include "telemetry/PanelGeometry.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "telemetry/CTextData.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {

namespace {

// Degrees to radians with the factor the dial was laid out with.
constexpr double kRadiansPerDegree = 0.0174532925;
constexpr double kDegreesPerUnit = 1.6875;
constexpr double kNeedleLength = 45;

std::string Format(const char* pattern, auto... values)
{
    char buffer[96];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, values...);
    return n < 0 ? std::string() : std::string(buffer, std::min<std::size_t>(n, sizeof buffer - 1));
}

DrivingStatus StatusAt(const CTextData& store, std::size_t index)
{
    const auto statuses = store.DrivingStatuses();
    return index < statuses.size() ? statuses[index] : DrivingStatus {};
}

std::uint16_t SpeedWord(const CTextData& store, std::size_t index)
{
    return StatusAt(store, index).words[0];
}

TrackPoint TrackPointAt(const CTextData& store, std::uint32_t positionMs)
{
    const auto points = store.TrackPoints();
    const std::size_t index = store.TrackIndexAt(positionMs);
    return index < points.size() ? points[index] : TrackPoint {};
}

void AddTripleSegments(std::vector<CurveSegment>& out, const GSensorSample& a,
    const GSensorSample& b, int xa, int xb, bool secondTriple)
{
    // First triple: -2..2 g, zero at 602, 23 px per g. Second: at most 2 g, zero at 640,
    // 46 px per g.
    const auto y = [secondTriple](double g) {
        return secondTriple ? 640 - TruncToInt32(46 * std::min(g, 2.0))
                            : 602 - TruncToInt32(23 * std::clamp(g, -2.0, 2.0));
    };
    const std::array<std::pair<double, double>, 3> values = secondTriple
        ? std::array<std::pair<double, double>, 3> { { { a.x2, b.x2 }, { a.y2, b.y2 },
            { a.z2, b.z2 } } }
        : std::array<std::pair<double, double>, 3> { { { a.x, b.x }, { a.y, b.y }, { a.z, b.z } } };
    for (std::size_t axis = 0; axis < 3; ++axis) {
        out.push_back({ { xa, y(values[axis].first) }, { xb, y(values[axis].second) },
            static_cast<CurveAxis>(axis) });
    }
}

} // namespace

int SpeedInUnit(int kmh, int speedUnit)
{
    return speedUnit == kUnitMph ? kmh * 10 / 16 : kmh;
}

StripPicture ComposeStrip(const CTextData& store, std::uint32_t positionMs,
    std::uint32_t durationMs, int stripMode, int speedUnit)
{
    StripPicture picture;
    const std::size_t n = store.gSensorSampleCount();
    const auto samples = store.GSensorSamples();
    const bool speedMode = stripMode == 2;
    const bool hasGps = !store.GpsRecords().empty();

    if (stripMode == 0 || stripMode == 1) {
        if (n > 0) {
            const double step = 397.0 / static_cast<double>(n);
            for (std::size_t v = 0; v + 1 < n; ++v) {
                const int xa = TruncToInt32(static_cast<double>(v) * step) + 255;
                const int xb = TruncToInt32(static_cast<double>(v + 1) * step) + 255;
                AddTripleSegments(
                    picture.segments, samples[v], samples[v + 1], xa, xb, stripMode == 1);
            }
        }
    } else if (speedMode && hasGps) {
        const std::uint32_t seconds = durationMs / 1000;
        const double step = 397.0 / static_cast<double>(seconds);
        const auto speedAt = [&](std::size_t index) {
            return std::min(SpeedInUnit(SpeedWord(store, index), speedUnit), 200);
        };
        const auto indexAt = [&](double v) {
            return static_cast<std::size_t>(std::max(
                0, TruncToInt32(v / static_cast<double>(seconds) * static_cast<double>(n))));
        };
        // One segment a second while seconds are at least a pixel wide; past that one a
        // pixel, so that the strip never holds more segments than it has pixels.
        const std::uint32_t stride = std::max<std::uint32_t>(1, (seconds + 396) / 397);
        picture.segments.reserve(seconds / stride + 1);
        for (std::uint32_t v = 0; v < seconds; v += stride) {
            const std::uint32_t next = std::min(v + stride, seconds);
            const std::size_t ia = indexAt(v);
            const std::size_t ib = v == 0 ? ia : indexAt(static_cast<double>(v - stride));
            const int start = speedAt(ib);
            const int end = speedAt(ia);
            picture.segments.push_back(
                { { TruncToInt32(v * step) + 255, 640 - TruncToInt32(0.5 * start) },
                    { TruncToInt32(next * step) + 255, 640 - TruncToInt32(0.5 * end) },
                    CurveAxis::Z });
        }
    }

    picture.markerX
        = StripMarkerX(store, positionMs, durationMs, stripMode, !picture.segments.empty());

    for (int k = 0; k < 5; ++k) {
        if (stripMode == 0)
            picture.labels[k] = Format("     %5.1fG ", 2.0 - k);
        else if (stripMode == 1)
            picture.labels[k] = Format("     %5.1fG ", 2.0 - k / 2.0);
        else
            picture.labels[k]
                = Format(speedUnit == kUnitMph ? "      %dmph" : "      %dkph", 160 - 40 * k);
    }
    return picture;
}

std::optional<int> StripMarkerX(const CTextData& store, std::uint32_t positionMs,
    std::uint32_t durationMs, int stripMode, bool segmentsDrawn)
{
    // Without a duration the position has no place on the strip.
    if ((stripMode == 2 && store.GpsRecords().empty()) || durationMs == 0)
        return std::nullopt;
    const int x = TruncToInt32(static_cast<double>(positionMs) / durationMs * 397) + 255;
    return std::min(x, segmentsDrawn ? 647 : 392);
}

std::uint64_t StripContentKey(
    const CTextData& store, std::uint32_t durationMs, int stripMode, int speedUnit)
{
    std::uint64_t key = 0xcbf29ce484222325ULL;
    const auto mix = [&key](std::uint64_t value) {
        key ^= value + 0x9e3779b97f4a7c15ULL + (key << 6) + (key >> 2);
    };
    mix(store.gSensorSampleCount());
    mix(durationMs);
    mix(static_cast<std::uint64_t>(stripMode));
    mix(static_cast<std::uint64_t>(speedUnit));
    mix(store.GpsRecords().empty() ? 0 : 1);
    // Every sample up to kStripKeySamples; a longer recording is read at an even stride,
    // which keeps the per-tick cost bounded.
    const auto samples = store.GSensorSamples();
    const auto statuses = store.DrivingStatuses();
    const std::size_t stride = std::max<std::size_t>(1, samples.size() / kStripKeySamples);
    for (std::size_t i = 0; i < samples.size(); i += stride) {
        const GSensorSample& s = samples[i];
        for (const double v : { s.x, s.y, s.z, s.x2, s.y2, s.z2 })
            mix(std::bit_cast<std::uint64_t>(v));
        mix(statuses[i].words[0]);
    }
    return key;
}

std::string NmeaPositionText(double raw, char letter, int trailingSpaces)
{
    const double v = raw / 100;
    const double d = std::trunc(v);
    const double m = (v - d) * 100;
    const double mi = std::trunc(m);
    const double s = (m - mi) * 60;
    std::string text = Format("%03d %03d %3.1f %c", std::abs(TruncToInt32(d)),
        std::abs(TruncToInt32(mi)), std::fabs(s), letter == 0 ? ' ' : letter);
    text.append(static_cast<std::size_t>(std::max(0, trailingSpaces)), ' ');
    return text;
}

TextLines ComposeTextLines(const CTextData& store, std::uint32_t positionMs,
    std::uint32_t durationMs, const std::string& currentDateText)
{
    TextLines text;
    text.lines[0] = currentDateText;
    // A recording without G-sensor samples leaves the previous recording's timeline in
    // the store; it has no clock of its own.
    const auto timeline = store.Timeline();
    if (store.gSensorSampleCount() > 0 && store.timelineCount() > 0) {
        const std::size_t index = store.TimelineIndexAt(positionMs, durationMs);
        const std::size_t last = std::min(index, timeline.size() - 1);
        const std::size_t first = last > kClockLookBackSlots ? last - kClockLookBackSlots : 0;
        for (std::size_t i = last + 1; i-- > first;) {
            const auto& clock = timeline[i].clock;
            if (clock[0] != 0) {
                text.lines[1] = Format("%02d:%02d:%02d", clock[3], clock[4], clock[5]);
                break;
            }
        }
    }
    const TrackPoint point = TrackPointAt(store, positionMs);
    text.lines[2] = NmeaPositionText(point.latitudeRaw, point.northSouth, 3);
    text.lines[3] = NmeaPositionText(point.longitudeRaw, point.eastWest, 4);
    return text;
}

PixelPoint SpeedNeedleTip(int speed)
{
    const int c = std::clamp(speed, 0, 160);
    if (c <= 80) {
        const double a = (c * kDegreesPerUnit - 45) * kRadiansPerDegree;
        return { TruncToInt32(kSpeedometerCentre.x - std::cos(a) * kNeedleLength),
            TruncToInt32(kSpeedometerCentre.y - std::sin(a) * kNeedleLength) };
    }
    const double a = ((160 - c) * kDegreesPerUnit - 45) * kRadiansPerDegree;
    return { TruncToInt32(kSpeedometerCentre.x + std::cos(a) * kNeedleLength),
        TruncToInt32(kSpeedometerCentre.y - std::sin(a) * kNeedleLength) };
}

int GaugeSpeed(std::uint16_t speedKmh, int speedUnit)
{
    return std::min(SpeedInUnit(speedKmh, speedUnit), 160);
}

GaugePicture ComposeGauge(
    const CTextData& store, std::uint32_t positionMs, std::uint32_t durationMs, int speedUnit)
{
    GaugePicture picture;
    picture.speed
        = GaugeSpeed(SpeedWord(store, store.SampleIndexAt(positionMs, durationMs)), speedUnit);
    picture.needleTip = SpeedNeedleTip(picture.speed);
    picture.compassEnd = kCompassCentre;
    if (picture.speed >= 2) {
        const TrackPoint point = TrackPointAt(store, positionMs);
        picture.compassEnd
            = { kCompassCentre.x + point.headingX, kCompassCentre.y - point.headingY };
    }
    return picture;
}

AssistState AssistStateOf(const DrivingStatus& status)
{
    const auto& w = status.words;
    const auto side = [](std::uint16_t lane, std::uint16_t departure, std::uint16_t hold) {
        if (lane != 1)
            return 0;
        return departure != 0 && hold == 0 ? 2 : 1;
    };
    AssistState state;
    state.left = side(w[4], w[6], w[2]);
    state.right = side(w[5], w[7], w[3]);
    state.ahead = w[9] == 1 || w[9] == 2 ? w[9] : 0;
    return state;
}

std::optional<int> SmartPictureFor(const AssistState& state)
{
    if (state.ahead < 0 || state.ahead > 2)
        return std::nullopt;
    int column = -1;
    if (state.left == 0 && state.right == 0)
        column = 0;
    else if (state.left == 1 && state.right == 1)
        column = 1;
    else if (state.left == 1 && state.right == 2)
        column = 2;
    else if (state.left == 2 && state.right == 1)
        column = 3;
    if (column < 0)
        return std::nullopt;
    return 448 + 3 * column + state.ahead;
}

SmartBoxPicture ComposeSmartBox(
    const CTextData& store, std::uint32_t positionMs, std::uint32_t durationMs, int speedUnit)
{
    // SampleIndexAt stays inside the stored samples and gives 0 without samples or
    // duration; record 0 of an empty store reads as zeros.
    const DrivingStatus status = StatusAt(store, store.SampleIndexAt(positionMs, durationMs));
    SmartBoxPicture picture;
    picture.pictureId = SmartPictureFor(AssistStateOf(status));
    const int kmh = status.words[0];
    if (speedUnit == kUnitMph) {
        picture.speedText = Format("%3d", TruncToInt32(kmh / 1.6));
        picture.unitText = "mph";
    } else {
        picture.speedText = Format("%3d", kmh);
        picture.unitText = "km/h";
    }
    return picture;
}

} // namespace velomira
