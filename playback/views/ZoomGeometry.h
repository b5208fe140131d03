#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace velomira {

// Zoom levels of a video view: 1 (the panel's size) to 15 (8 times the panel).
constexpr int kMinZoomLevel = 1;
constexpr int kMaxZoomLevel = 15;

// The factor of a zoom level: 1.0, 1.5, 2.0, ... 8.0.
double ZoomFactor(int level);

// One wheel step on a view. `view` is the view's rectangle in its panel's client
// coordinates, `point` the cursor in the view's client coordinates. A flags value of
// exactly 1 (only the left button held) zooms about the panel's centre instead of
// the cursor.
struct ZoomStepResult {
    int level = kMinZoomLevel;
    QRect view;
};
ZoomStepResult ZoomStep(
    int level, const QRect& view, QSize panel, QPoint point, int flags, int amount);

// The view offset a drag may reach: `wished` clamped so that the view (of `level`'s
// size) always covers the panel.
QPoint ClampDragOffset(QPoint wished, int level, QSize panel);

} // namespace velomira
