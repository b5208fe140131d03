#include "telemetry/GraphGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "telemetry/CTextData.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {

namespace {

std::string Format(const char* pattern, auto value)
{
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, value);
    return n < 0 ? std::string() : std::string(buffer, std::min<std::size_t>(n, sizeof buffer - 1));
}

// Pixels per second of the plot.
double SecondWidth(const GraphLayout& layout, std::uint32_t durationMs)
{
    return durationMs > 0 ? static_cast<double>(layout.plotWidth) / durationMs * 1000 : 20;
}

} // namespace

GraphLayout GraphLayoutFor(int displayMode)
{
    GraphLayout layout;
    if (displayMode == 2) {
        layout.windowWidth = 800;
        layout.windowHeight = 540;
        layout.y0 = 460;
        layout.plotWidth = 700;
        layout.rowHeight = 21;
    }
    return layout;
}

std::vector<int> GraphGridXs(const GraphLayout& layout, std::uint32_t durationMs)
{
    const std::uint32_t seconds = durationMs / 1000;
    const double s = SecondWidth(layout, durationMs);
    const std::uint32_t last = seconds >= 30 ? seconds : seconds - 1;
    std::vector<int> xs;
    if (seconds == 0)
        return xs;
    if (s < 1) {
        // Seconds narrower than a pixel: every column up to the last line holds one, and
        // the lines never outnumber the plot's pixels.
        const int end = layout.x0 + TruncToInt32(last * s);
        for (int x = layout.x0; x <= end; ++x)
            xs.push_back(x);
        return xs;
    }
    xs.reserve(last + 1);
    for (std::uint32_t i = 0; i <= last; ++i)
        xs.push_back(layout.x0 + TruncToInt32(i * s));
    return xs;
}

std::array<std::string, 21> GraphLabels(int graphMode, int speedUnit)
{
    std::array<std::string, 21> labels;
    for (int k = 0; k <= 20; ++k) {
        if (graphMode == 0)
            labels[k] = Format("%4.2fG", k / 5.0 - 2);
        else if (graphMode == 1)
            labels[k] = Format("%4.2fG", k / 10.0);
        else
            labels[k] = Format(speedUnit == kUnitMph ? "%dmph" : "%dkph", 10 * k);
    }
    return labels;
}

std::vector<GraphLegendEntry> GraphLegend(const GraphLayout& layout, int graphMode)
{
    if (graphMode == 2)
        return { { "Speed", layout.x0 + 900, CurveAxis::Z } };
    return { { "X axis", layout.x0 + 800, CurveAxis::X },
        { "Y axis", layout.x0 + 850, CurveAxis::Y }, { "Z axis", layout.x0 + 900, CurveAxis::Z } };
}

std::vector<GraphPolyline> GraphCurves(const GraphLayout& layout, const CTextData& store,
    std::uint32_t durationMs, int graphMode, int speedUnit)
{
    std::vector<GraphPolyline> curves;
    if (graphMode == 0 || graphMode == 1) {
        const auto samples = store.GSensorSamples();
        const std::size_t n = samples.size();
        if (n == 0)
            return curves;
        const double t = static_cast<double>(layout.plotWidth) / static_cast<double>(n);
        const int zero = graphMode == 0 ? layout.y0 - 10 * layout.rowHeight : layout.y0;
        const auto y = [&](double g) {
            return graphMode == 0 ? zero - TruncToInt32(g * 276 / 2.3)
                                  : zero - TruncToInt32(g * 10 * layout.rowHeight);
        };
        for (int axis = 0; axis < 3; ++axis) {
            GraphPolyline line { static_cast<CurveAxis>(axis), {} };
            line.points.reserve(n);
            for (std::size_t i = 0; i < n; ++i) {
                const GSensorSample& sample = samples[i];
                const double value = graphMode == 0 ? (axis == 0 ? sample.x
                                             : axis == 1         ? sample.y
                                                                 : sample.z)
                                                    : (axis == 0        ? sample.x2
                                                            : axis == 1 ? sample.y2
                                                                        : sample.z2);
                line.points.push_back(
                    { layout.x0 + TruncToInt32(static_cast<double>(i) * t), y(value) });
            }
            curves.push_back(std::move(line));
        }
        return curves;
    }
    if (graphMode != 2)
        return curves;
    // Point i joins segment i - 1 and segment i: it sits at second i with the speed of
    // second i - 1 (second 0 repeats its own speed).
    const auto points = store.TrackPoints();
    const std::size_t seconds = std::min<std::size_t>(durationMs / 1000, points.size());
    if (seconds == 0)
        return curves;
    const double s = SecondWidth(layout, durationMs);
    const auto u
        = [&](std::size_t i) { return std::min(SpeedInUnit(points[i].speed, speedUnit), 200); };
    GraphPolyline line { CurveAxis::Z, {} };
    line.points.reserve(seconds + 1);
    for (std::size_t i = 0; i <= seconds; ++i) {
        const int speed = u(i == 0 ? 0 : i - 1);
        line.points.push_back({ layout.x0 + TruncToInt32(static_cast<double>(i) * s),
            layout.y0 - TruncToInt32(2.4 * speed) });
    }
    curves.push_back(std::move(line));
    return curves;
}

std::string GraphReadout(int graphMode, int y, int speedUnit)
{
    const double a = (520.0 - y) / 480.0;
    if (graphMode == 0)
        return Format("%5.2f G", std::clamp(4 * a - 2, -2.0, 2.0));
    if (graphMode == 1)
        return Format("%5.2f G", std::clamp(2 * a, 0.0, 2.0));
    return Format(speedUnit == kUnitMph ? "%03d mph" : "%03d kph",
        TruncToInt32(std::clamp(200 * a, 0.0, 200.0)));
}

int NextGraphMode(int graphMode)
{
    return graphMode == 0 ? 1 : graphMode == 1 ? 2 : 0;
}

std::array<int, 2> GraphModeImages(int graphMode)
{
    switch (graphMode) {
    case 1:
        return { 404, 429 };
    case 2:
        return { 406, 431 };
    default:
        return { 405, 430 };
    }
}

} // namespace velomira
