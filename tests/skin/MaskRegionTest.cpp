#include "skin/MaskRegion.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QPainter>

namespace velomira {
namespace {

// A mask from rows of characters: '#' opaque (black), '.' transparent (white).
QImage Mask(std::initializer_list<const char*> rows)
{
    const int width = static_cast<int>(std::strlen(*rows.begin()));
    QImage image(width, static_cast<int>(rows.size()), QImage::Format_RGB32);
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, row[x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        ++y;
    }
    return image;
}

std::vector<QRect> Sorted(std::vector<QRect> rects)
{
    std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) {
        return std::make_pair(a.top(), a.left()) < std::make_pair(b.top(), b.left());
    });
    return rects;
}

TEST(MaskRegion, RunStillOpenAtTheLastColumnReachesTheRightEdge)
{
    const auto runs = Sorted(MaskRuns(Mask({ ".###", "#.#.", "...#" })));
    const std::vector<QRect> expected
        = { QRect(1, 0, 3, 1), QRect(0, 1, 1, 1), QRect(2, 1, 1, 1), QRect(3, 2, 1, 1) };
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(CreateRegionFromMask(Mask({ ".###" })).boundingRect().right(), 3);
}

TEST(MaskRegion, OnlyExactWhiteIsTransparent)
{
    QImage mask = Mask({ "...." });
    mask.setPixel(2, 0, qRgb(255, 255, 254));
    EXPECT_EQ(MaskRuns(mask), (std::vector<QRect> { QRect(2, 0, 1, 1) }));
}

TEST(MaskRegion, AllWhiteMaskGivesAnEmptyRegion)
{
    EXPECT_TRUE(CreateRegionFromMask(Mask({ "...", "..." })).isEmpty());
}

TEST(MaskRegion, FullyOpaqueMaskGivesTheWholeRectangle)
{
    EXPECT_EQ(CreateRegionFromMask(Mask({ "###", "###" })), QRegion(0, 0, 3, 2));
}

TEST(SkinTiles, TwentyFiveSquareTilesOnFortyByThirty)
{
    const std::vector<QRect> expected
        = { QRect(0, 0, 25, 25), QRect(25, 0, 15, 25), QRect(0, 25, 25, 5), QRect(25, 25, 15, 5) };
    EXPECT_EQ(TileRects(QSize(25, 25), QRect(0, 0, 40, 30)), expected);
}

TEST(SkinTiles, TileModeRepeatsTheImageOneToOne)
{
    QImage tile(25, 25, QImage::Format_RGB32);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x)
            tile.setPixel(x, y, qRgb(x * 10, y * 10, 0));
    QImage canvas(40, 30, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    DrawSkinImage(&painter, tile, QImage(), canvas.rect(), SkinDrawMode::Tile);
    painter.end();
    EXPECT_EQ(canvas.pixel(30, 27), tile.pixel(5, 2));
    EXPECT_EQ(canvas.pixel(39, 29), tile.pixel(14, 4));
    EXPECT_EQ(canvas.pixel(3, 4), tile.pixel(3, 4));
}

TEST(SkinTiles, MaskedDrawingKeepsTheBackgroundWhereTheMaskIsWhite)
{
    QImage image(4, 1, QImage::Format_RGB32);
    image.fill(Qt::red);
    QImage canvas(4, 1, QImage::Format_RGB32);
    canvas.fill(Qt::blue);
    QPainter painter(&canvas);
    DrawSkinImage(&painter, image, Mask({ "#..#" }), canvas.rect(), SkinDrawMode::Plain);
    painter.end();
    EXPECT_EQ(canvas.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(canvas.pixelColor(1, 0), QColor(Qt::blue));
    EXPECT_EQ(canvas.pixelColor(3, 0), QColor(Qt::red));
}

TEST(SkinTiles, StretchModeScalesToTheTarget)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    QImage canvas(20, 20, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    DrawSkinImage(&painter, image, QImage(), QRect(0, 0, 10, 10), SkinDrawMode::Stretch);
    painter.end();
    EXPECT_EQ(canvas.pixelColor(9, 9), QColor(Qt::green));
    EXPECT_EQ(canvas.pixelColor(10, 10), QColor(Qt::black));
}

} // namespace
} // namespace velomira
