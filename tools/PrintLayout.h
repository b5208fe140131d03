#pragma once

namespace velomira {

// A rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// Where a window is captured from. `moveTo` is set when the window lies partly off a
// screen of `screenWidth` x `screenHeight` and must first be centred on `desktop`
// (keeping its size); `width` x `height` is then the part on the screen.
struct CapturePlan {
    bool move = false;
    int moveLeft = 0;
    int moveTop = 0;
    int width = 0;
    int height = 0;
};

// The capture of a window at `window`: centred first (`move`) when part of it is off the
// screen, then clamped to the screen.
CapturePlan PlanCapture(
    const ScreenRect& window, int screenWidth, int screenHeight, const ScreenRect& desktop);

// The captured size once the window really sits at `window`: the rectangle clamped to the
// screen.
void ClampCapture(const ScreenRect& window, int screenWidth, int screenHeight, CapturePlan& plan);

struct PrintedSize {
    int width = 0;
    int height = 0;
    bool operator==(const PrintedSize&) const = default;
};

// The size, in page device units, of an image of `imageWidth` x `imageHeight` pixels
// printed on a printable area of `pageWidth` x `pageHeight`: proportions kept against the
// 1024 x 768 reference screen, never larger than the page, truncated toward zero.
PrintedSize PrintedSizeOnPage(int imageWidth, int imageHeight, int pageWidth, int pageHeight);

} // namespace velomira
