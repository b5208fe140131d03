#include "playback/ffmpeg/CropPlan.h"

#include <gtest/gtest.h>

namespace velomira::ffmpeg {
namespace {

TEST(CropPlan, TheWholePictureUsesTheWholeSource)
{
    const CropPlan plan = PlanCrop(QSize(1920, 1080), QSize(633, 354), QRect(0, 0, 633, 354));
    EXPECT_EQ(plan.source, QRect(0, 0, 1920, 1080));
    EXPECT_EQ(plan.part, QRect(0, 0, 633, 354));
}

TEST(CropPlan, AZoomedViewConvertsOnlyWhatCoversItsVisiblePart)
{
    const struct {
        const char* name;
        QSize source, picture;
        QRect visible;
    } cases[] = {
        { "8x, top left", { 1920, 1080 }, { 5064, 2832 }, { 0, 0, 633, 354 } },
        { "8x, bottom right", { 1920, 1080 }, { 5064, 2832 }, { 4431, 2478, 633, 354 } },
        { "8x, middle, odd offsets", { 1920, 1080 }, { 5064, 2832 }, { 2001, 1333, 633, 354 } },
        { "1.5x rear", { 1280, 720 }, { 465, 349 }, { 77, 57, 310, 233 } },
        { "small source", { 160, 90 }, { 1280, 720 }, { 641, 361, 160, 90 } },
    };
    for (const auto& c : cases) {
        const CropPlan plan = PlanCrop(c.source, c.picture, c.visible);
        // The converted part covers the visible part, and not much more: a few
        // source pixels of margin at most.
        EXPECT_TRUE(plan.part.contains(c.visible)) << c.name;
        const double scale = static_cast<double>(c.picture.width()) / c.source.width();
        EXPECT_LE(plan.part.width(), c.visible.width() + 4 * scale + 2) << c.name;
        EXPECT_LE(plan.part.height(), c.visible.height() + 4 * scale + 2) << c.name;
        EXPECT_TRUE(QRect(QPoint(0, 0), c.source).contains(plan.source)) << c.name;
        EXPECT_EQ(plan.source.left() % 2, 0) << c.name;
        EXPECT_EQ(plan.source.top() % 2, 0) << c.name;
    }
}

TEST(CropPlan, NothingVisibleConvertsNothing)
{
    EXPECT_TRUE(PlanCrop(QSize(320, 180), QSize(320, 180), QRect()).part.isEmpty());
    EXPECT_TRUE(PlanCrop(QSize(320, 180), QSize(0, 0), QRect(0, 0, 10, 10)).part.isEmpty());
    EXPECT_TRUE(PlanCrop(QSize(320, 180), QSize(320, 180), QRect(400, 0, 10, 10)).part.isEmpty());
    EXPECT_TRUE(PlanCrop(QSize(0, 0), QSize(320, 180), QRect(0, 0, 10, 10)).part.isEmpty());
}

} // namespace
} // namespace velomira::ffmpeg
