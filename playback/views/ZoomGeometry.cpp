#include "playback/views/ZoomGeometry.h"

#include <algorithm>

namespace velomira {

double ZoomFactor(int level)
{
    return 1.0 + 0.5 * (level - 1);
}

namespace {

// The offset along one axis that keeps a view of `size` over a panel of `panel`.
int ClampOffset(double offset, double size, int panel)
{
    if (offset > 0)
        return 0;
    if (static_cast<int>(offset + size) < panel)
        return static_cast<int>(panel - size);
    return static_cast<int>(offset);
}

} // namespace

ZoomStepResult ZoomStep(
    int level, const QRect& view, QSize panel, QPoint point, int flags, int amount)
{
    ZoomStepResult result;
    result.level = std::clamp(level, kMinZoomLevel, kMaxZoomLevel);
    if (view.width() <= 0 || view.height() <= 0 || panel.isEmpty()) {
        result.view = view;
        return result;
    }
    double px = point.x();
    double py = point.y();
    double fx = px / view.width();
    double fy = py / view.height();
    if (flags == 1) {
        // About the centre: the anchor is the panel's centre, whatever the cursor.
        px = panel.width() / 2.0 - view.left();
        py = panel.height() / 2.0 - view.top();
        fx = px / view.width();
        fy = py / view.height();
    }
    if (amount < 1) {
        if (result.level > kMinZoomLevel)
            result.level -= 1;
    } else if (result.level < kMaxZoomLevel) {
        const int next = result.level + 1;
        if (panel.width() * ZoomFactor(next) > panel.width()
            && panel.height() * ZoomFactor(next) > panel.height())
            result.level = next;
    }
    const double width = panel.width() * ZoomFactor(result.level);
    const double height = panel.height() * ZoomFactor(result.level);
    const double x = (px + view.left()) - width * fx;
    const double y = (py + view.top()) - height * fy;
    result.view = QRect(ClampOffset(static_cast<int>(x), width, panel.width()),
        ClampOffset(static_cast<int>(y), height, panel.height()), static_cast<int>(width),
        static_cast<int>(height));
    return result;
}

QPoint ClampDragOffset(QPoint wished, int level, QSize panel)
{
    const double factor = ZoomFactor(std::clamp(level, kMinZoomLevel, kMaxZoomLevel));
    const int lowX = static_cast<int>(-(panel.width() * factor - panel.width()));
    const int lowY = static_cast<int>(-(panel.height() * factor - panel.height()));
    return QPoint(
        std::clamp(wished.x(), std::min(lowX, 0), 0), std::clamp(wished.y(), std::min(lowY, 0), 0));
}

} // namespace velomira
