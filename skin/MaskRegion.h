#pragma once

#include <vector>

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>

class QPainter;

namespace velomira {

// How a skin image fills a rectangle.
enum class SkinDrawMode { Plain = 0, Stretch = 1, Tile = 2 };

// The opaque runs of a mask image, one rectangle one pixel high per run. A pixel is
// transparent when it is exactly white; a run still open at the last column reaches
// the image's right edge whatever that last pixel is.
std::vector<QRect> MaskRuns(const QImage& mask);

// The union of MaskRuns; empty when the mask has no opaque pixel.
QRegion CreateRegionFromMask(const QImage& mask);

// The tiles of an image of `tileSize` repeated from the top-left corner of `target`,
// the last column and row clipped to its right and bottom edges.
std::vector<QRect> TileRects(QSize tileSize, const QRect& target);

// The image with every pixel made transparent where the mask (taken at the image's
// size) is exactly white.
QImage ApplyMask(const QImage& image, const QImage& mask);

// Draws `image` into `target` by `mode`. Tile repeats it 1:1 and ignores the mask;
// Plain copies it 1:1 from its top-left corner, Stretch scales it to the target, and
// with a mask the background stays where the mask is white.
void DrawSkinImage(QPainter* painter, const QImage& image, const QImage& mask, const QRect& target,
    SkinDrawMode mode);

} // namespace velomira
