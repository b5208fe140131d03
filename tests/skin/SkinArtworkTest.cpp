// The skin images the windows load: each one present, 24-bit and of the size its
// place on the window needs.
#include <gtest/gtest.h>

#include <QImage>

#include "app/ControlTable.h"
#include "skin/SkinImages.h"

namespace velomira {
namespace {

struct ArtSize {
    std::vector<int> ids;
    QSize size;
};

const std::vector<ArtSize>& ExpectedSizes()
{
    static const std::vector<ArtSize> sizes = {
        { { 411 }, { 1020, 720 } },
        { { 464 }, { 256, 720 } },
        { { 233 }, { 5, 20 } },
        { { 236 }, { 541, 17 } },
        { { 250, 251, 252, 253 }, { 92, 20 } },
        { { 267, 293 }, { 23, 23 } },
        { { 432, 445, 434, 435, 438, 439 }, { 26, 24 } },
        { { 412, 413, 414, 415, 416, 417, 426, 440, 418, 419, 420, 441, 421, 442, 8388, 389, 390,
              3391, 468, 469, 470, 471, 394, 395, 396, 397, 398, 399, 400, 401, 402, 403, 404, 405,
              406, 429, 430, 431, 407, 408, 409, 410 },
            { 40, 39 } },
        { { 448, 449, 450, 451, 452, 453, 454, 455, 456, 457, 458, 459 }, { 180, 165 } },
        { { 340, 342 }, { 12, 145 } },
        { { 460, 465, 461, 466, 462, 467, 473, 474, 362 }, { 60, 15 } },
        { { 476, 477 }, { 256, 12 } },
        { { 265 }, { 25, 25 } },
        { { 484 }, { 17, 35 } },
    };
    return sizes;
}

TEST(SkinArtwork, EveryImageHasItsSizeAndNoAlpha)
{
    for (const ArtSize& group : ExpectedSizes()) {
        for (const int id : group.ids) {
            const QImage image(QStringLiteral(":/skin/%1.png").arg(id));
            ASSERT_FALSE(image.isNull()) << "image " << id;
            EXPECT_EQ(image.size(), group.size) << "image " << id;
            // The map marker is drawn over the map and keeps its transparency.
            if (id != 484) {
                EXPECT_FALSE(image.hasAlphaChannel()) << "image " << id;
            }
        }
    }
}

TEST(SkinArtwork, EveryControlImageExists)
{
    for (const ControlEntry& control : MainWindowControls()) {
        for (const int id : control.images) {
            if (id != 0) {
                EXPECT_TRUE(HasSkinImage(id)) << "control " << control.id << " image " << id;
            }
        }
    }
}

TEST(SkinArtwork, PressedLooksDifferFromNormalLooks)
{
    const std::pair<int, int> pairs[]
        = { { 412, 413 }, { 416, 417 }, { 426, 440 }, { 420, 441 }, { 421, 442 }, { 8388, 389 },
              { 390, 3391 }, { 468, 469 }, { 267, 293 }, { 432, 445 }, { 438, 439 }, { 460, 465 } };
    for (const auto& [normal, pressed] : pairs)
        EXPECT_NE(LoadSkinImage(normal), LoadSkinImage(pressed)) << normal << " / " << pressed;
}

TEST(SkinArtwork, MuteImagesHoldNoPureWhite)
{
    for (const int id : { 267, 293 }) {
        const QImage image = LoadSkinImage(id);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_NE(image.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << id << " at " << x << "," << y;
    }
}

TEST(SkinImages, ColourFromBgrPutsRedInTheLowByte)
{
    EXPECT_EQ(ColorFromBgr(0x00CE981D), QColor(0x1D, 0x98, 0xCE));
    EXPECT_EQ(ColorFromBgr(0x09A9FF), QColor(0xFF, 0xA9, 0x09));
}

TEST(SkinImages, UnknownIdLoadsNothing)
{
    EXPECT_TRUE(LoadSkinImage(0).isNull());
    EXPECT_TRUE(LoadSkinImage(123456).isNull());
    EXPECT_FALSE(HasSkinImage(-5));
}

} // namespace
} // namespace velomira
