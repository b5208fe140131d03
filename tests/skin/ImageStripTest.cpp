#include "skin/ImageStrip.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace velomira {
namespace {

QImage Solid(int width, int height, QColor color = Qt::red)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

struct FrameCase {
    const char* name;
    QSize image;
    QSize frame;
    std::uint32_t frames;
    bool vertical;
};

class ImageStripFrames : public ::testing::TestWithParam<FrameCase> { };

TEST_P(ImageStripFrames, CountsWholeFramesAlongTheLongSide)
{
    const FrameCase& c = GetParam();
    const ImageStrip strip(
        Solid(c.image.width(), c.image.height()), c.frame.width(), c.frame.height());
    EXPECT_EQ(strip.frameCount(), c.frames);
    EXPECT_EQ(strip.vertical(), c.vertical);
}

INSTANTIATE_TEST_SUITE_P(Strips, ImageStripFrames,
    ::testing::Values(FrameCase { "ThreeSideBySide", { 60, 20 }, { 20, 20 }, 3, false },
        FrameCase { "ThreeStacked", { 20, 60 }, { 20, 20 }, 3, true },
        FrameCase { "OneThumbFrame", { 5, 20 }, { 5, 20 }, 1, true },
        FrameCase { "RemainderDropped", { 50, 20 }, { 20, 20 }, 2, false },
        FrameCase { "ZeroMeansWholeImage", { 541, 17 }, { 0, 0 }, 1, false },
        FrameCase { "NegativeFrameGivesNoFrame", { 60, 20 }, { -20, 20 }, 0, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageStrip, FrameRectFailsPastTheLastFrame)
{
    const ImageStrip strip(Solid(60, 20), 20, 20);
    QRect rect;
    EXPECT_FALSE(strip.FrameRect(3, &rect));
    ASSERT_TRUE(strip.FrameRect(2, &rect));
    EXPECT_EQ(rect, QRect(40, 0, 20, 20));
}

TEST(ImageStrip, StackedFramesAdvanceDownwards)
{
    const ImageStrip strip(Solid(20, 60), 20, 20);
    QRect rect;
    ASSERT_TRUE(strip.FrameRect(1, &rect));
    EXPECT_EQ(rect, QRect(0, 20, 20, 20));
}

TEST(ImageStrip, DrawFrameCopiesTheChosenFrameToTheOrigin)
{
    QImage image = Solid(60, 20, Qt::red);
    QPainter(&image).fillRect(QRect(20, 0, 20, 20), Qt::green);
    const ImageStrip strip(image, 20, 20);
    QImage target = Solid(20, 20, Qt::black);
    QPainter painter(&target);
    EXPECT_TRUE(strip.DrawFrame(&painter, 1));
    EXPECT_FALSE(strip.DrawFrame(&painter, 3));
    EXPECT_FALSE(strip.DrawFrame(nullptr, 0));
    painter.end();
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::green));
}

TEST(ImageStrip, BlitPartWithZeroSizeCopiesTheWholeImage)
{
    const ImageStrip strip(Solid(30, 10, Qt::blue), 0, 0);
    QImage target = Solid(40, 20, Qt::black);
    QPainter painter(&target);
    EXPECT_TRUE(strip.BlitPart(&painter, 5, 5, 0, 0, 0, 0));
    painter.end();
    EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(34, 14), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(35, 14), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(4, 5), QColor(Qt::black));
}

TEST(ImageStrip, MissingImageHasNoFrameAndDrawsNothing)
{
    const ImageStrip strip(999999, 5, 20);
    EXPECT_FALSE(strip.IsValid());
    EXPECT_EQ(strip.frameCount(), 0u);
    QImage target = Solid(5, 20, Qt::black);
    QPainter painter(&target);
    EXPECT_FALSE(strip.BlitPart(&painter, 0, 0, 0, 0, 0, 0));
}

} // namespace
} // namespace velomira
