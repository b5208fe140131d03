#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "telemetry/PanelGeometry.h"

namespace velomira {

class CTextData;

// Geometry of the detailed graph window: the plot, the grid, the labels, the curves and
// the pointer read-out, in the window's client pixels. Graph modes: 0 first triple
// (-2..2 g), 1 second triple (0..2 g), 2 speed (0..200).
struct GraphLayout {
    int windowWidth = 990;
    int windowHeight = 600;
    int x0 = 60; // plot left
    int y0 = 520; // plot bottom
    int plotWidth = 900;
    int rowHeight = 24; // 20 rows
    int top() const { return y0 - 20 * rowHeight; }
};

// The normal window, or the small variant for `displayMode` 2.
GraphLayout GraphLayoutFor(int displayMode);

// The x of every vertical grid line for a recording of `durationMs`: one a second, the
// last second's line only from 30 seconds on.
std::vector<int> GraphGridXs(const GraphLayout& layout, std::uint32_t durationMs);

// Label k (0 at the bottom, 20 at the top) of each row line.
std::array<std::string, 21> GraphLabels(int graphMode, int speedUnit);

struct GraphLegendEntry {
    std::string text;
    int right = 0; // right edge of its box; the box starts at x0 + 750, top 24, bottom 65
    CurveAxis axis = CurveAxis::X;
};
std::vector<GraphLegendEntry> GraphLegend(const GraphLayout& layout, int graphMode);

struct GraphPolyline {
    CurveAxis axis = CurveAxis::X;
    std::vector<PixelPoint> points;
};

// One polyline per axis (modes 0 and 1) or the speed (mode 2); none without samples or
// duration. The speed curve ends at the last stored track point.
std::vector<GraphPolyline> GraphCurves(const GraphLayout& layout, const CTextData& store,
    std::uint32_t durationMs, int graphMode, int speedUnit);

// The read-out for the pointer at client `y`, always on the normal geometry's scale.
std::string GraphReadout(int graphMode, int y, int speedUnit);

// Change Graph and the strip's GMode button: 0 -> 1 -> 2 -> 0.
int NextGraphMode(int graphMode);
// The button pictures (normal, pressed) that show `graphMode`.
std::array<int, 2> GraphModeImages(int graphMode);

} // namespace velomira
