#include "skin/MaskRegion.h"

#include <QPainter>

namespace velomira {

namespace {

constexpr QRgb kTransparent = 0xFFFFFF;

bool IsTransparent(const QImage& mask, int x, int y)
{
    return (mask.pixel(x, y) & 0xFFFFFF) == kTransparent;
}

} // namespace

std::vector<QRect> MaskRuns(const QImage& mask)
{
    std::vector<QRect> runs;
    runs.reserve(40);
    const int width = mask.width();
    for (int y = mask.height() - 1; y >= 0; --y) {
        int start = -1;
        for (int x = 0; x < width; ++x) {
            const bool transparent = IsTransparent(mask, x, y);
            if (start < 0 && !transparent)
                start = x;
            if (start < 0)
                continue;
            if (transparent) {
                runs.emplace_back(QPoint(start, y), QPoint(x - 1, y));
                start = -1;
            } else if (x == width - 1) {
                runs.emplace_back(QPoint(start, y), QPoint(x, y));
                start = -1;
            }
        }
    }
    return runs;
}

QRegion CreateRegionFromMask(const QImage& mask)
{
    QRegion region;
    for (const QRect& run : MaskRuns(mask))
        region += run;
    return region;
}

std::vector<QRect> TileRects(QSize tileSize, const QRect& target)
{
    std::vector<QRect> tiles;
    if (tileSize.isEmpty() || target.isEmpty())
        return tiles;
    for (int y = target.top(); y <= target.bottom(); y += tileSize.height()) {
        for (int x = target.left(); x <= target.right(); x += tileSize.width()) {
            tiles.push_back(QRect(QPoint(x, y), tileSize).intersected(target));
        }
    }
    return tiles;
}

QImage ApplyMask(const QImage& image, const QImage& mask)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QImage sizedMask = mask.scaled(image.size()).convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* maskLine = reinterpret_cast<const QRgb*>(sizedMask.constScanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((maskLine[x] & 0xFFFFFF) == kTransparent)
                line[x] = 0;
        }
    }
    return result;
}

void DrawSkinImage(QPainter* painter, const QImage& image, const QImage& mask, const QRect& target,
    SkinDrawMode mode)
{
    if (painter == nullptr || image.isNull() || target.isEmpty())
        return;
    painter->save();
    painter->setClipRect(target, Qt::IntersectClip);
    if (mode == SkinDrawMode::Tile) {
        for (const QRect& tile : TileRects(image.size(), target))
            painter->drawImage(tile.topLeft(), image, QRect(QPoint(0, 0), tile.size()));
    } else {
        const QImage picture = mask.isNull() ? image : ApplyMask(image, mask);
        if (mode == SkinDrawMode::Stretch)
            painter->drawImage(target, picture);
        else
            painter->drawImage(target.topLeft(), picture);
    }
    painter->restore();
}

} // namespace velomira
