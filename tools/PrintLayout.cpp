#include "tools/PrintLayout.h"

#include <algorithm>

namespace velomira {

namespace {

constexpr double kReferenceWidth = 1024.0;
constexpr double kReferenceHeight = 768.0;

} // namespace

CapturePlan PlanCapture(
    const ScreenRect& window, int screenWidth, int screenHeight, const ScreenRect& desktop)
{
    CapturePlan plan;
    const bool offScreen = window.left < 0 || window.top < 0 || window.right > screenWidth
        || window.bottom > screenHeight;
    if (offScreen) {
        plan.move = true;
        plan.moveLeft = desktop.left + (desktop.width() - window.width()) / 2;
        plan.moveTop = desktop.top + (desktop.height() - window.height()) / 2;
        ClampCapture({ plan.moveLeft, plan.moveTop, plan.moveLeft + window.width(),
                         plan.moveTop + window.height() },
            screenWidth, screenHeight, plan);
        return plan;
    }
    ClampCapture(window, screenWidth, screenHeight, plan);
    return plan;
}

void ClampCapture(const ScreenRect& window, int screenWidth, int screenHeight, CapturePlan& plan)
{
    const int left = std::max(window.left, 0);
    const int top = std::max(window.top, 0);
    const int right = std::min(window.right, screenWidth);
    const int bottom = std::min(window.bottom, screenHeight);
    plan.width = std::max(right - left, 0);
    plan.height = std::max(bottom - top, 0);
}

PrintedSize PrintedSizeOnPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight)
{
    if (imageWidth <= 0 || imageHeight <= 0 || pageWidth <= 0 || pageHeight <= 0)
        return {};
    const double f = kReferenceWidth / kReferenceHeight;
    const double g = static_cast<double>(pageWidth) / static_cast<double>(pageHeight);
    const double w = imageWidth;
    const double h = imageHeight;
    double sx = 0;
    double sy = 0;
    if (g < f) {
        sx = w / kReferenceWidth;
        sy = (h / kReferenceHeight) * (g / f);
    } else {
        sx = (w / kReferenceWidth) * (f / g);
        sy = h / kReferenceHeight;
    }
    if (sx > 1) {
        sy = sy / sx;
        sx = 1;
    }
    if (sy > 1) {
        sx = sx / sy;
        sy = 1;
    }
    return { static_cast<int>(pageWidth * sx), static_cast<int>(pageHeight * sy) };
}

} // namespace velomira
