#include "playback/views/ZoomGeometry.h"

#include <gtest/gtest.h>

namespace velomira {
namespace {

constexpr QSize kPanel(640, 360);
constexpr QRect kUnzoomed(0, 0, 640, 360);

TEST(ZoomByWheel, FifteenStepsStopAtEightTimesThePanel)
{
    int level = 1;
    QRect view = kUnzoomed;
    for (int step = 0; step < 15; ++step) {
        const ZoomStepResult r = ZoomStep(level, view, kPanel, QPoint(100, 100), 0, 120);
        level = r.level;
        view = r.view;
    }
    EXPECT_EQ(level, 15);
    EXPECT_EQ(view.size(), QSize(5120, 2880));
    const ZoomStepResult sixteenth = ZoomStep(level, view, kPanel, QPoint(100, 100), 0, 120);
    EXPECT_EQ(sixteenth.level, 15);
    EXPECT_EQ(sixteenth.view, view);
}

TEST(ZoomByWheel, StepDownAtLevelOneMovesNothing)
{
    const ZoomStepResult r = ZoomStep(1, kUnzoomed, kPanel, QPoint(500, 20), 0, -120);
    EXPECT_EQ(r.level, 1);
    EXPECT_EQ(r.view, kUnzoomed);
}

TEST(ZoomByWheel, PointUnderTheCursorStaysInPlace)
{
    const ZoomStepResult r = ZoomStep(1, kUnzoomed, kPanel, QPoint(200, 100), 0, 120);
    EXPECT_EQ(r.level, 2);
    // 200/640 of the picture was under the cursor; at 1.5x it still is.
    EXPECT_EQ(r.view, QRect(-100, -50, 960, 540));
}

TEST(ZoomByWheel, RightEdgeIsClampedSoNoBlackBandShows)
{
    // Zoomed in at the right edge, then out with the cursor at the left: the view would
    // leave the panel's right edge uncovered without the clamp.
    ZoomStepResult r = ZoomStep(1, kUnzoomed, kPanel, QPoint(639, 180), 0, 120);
    EXPECT_GE(r.view.left() + r.view.width(), 640);
    r = ZoomStep(r.level, r.view, kPanel, QPoint(639, 180), 0, 120);
    r = ZoomStep(r.level, r.view, kPanel, QPoint(0, 180), 0, -120);
    EXPECT_EQ(r.level, 2);
    EXPECT_EQ(r.view.left() + r.view.width(), 640);
    EXPECT_LE(r.view.left(), 0);
}

TEST(ZoomByWheel, LeftButtonHeldZoomsAboutTheCentre)
{
    for (const QPoint cursor : { QPoint(5, 5), QPoint(600, 300), QPoint(320, 180) }) {
        const ZoomStepResult r = ZoomStep(1, kUnzoomed, kPanel, cursor, 1, 120);
        EXPECT_EQ(r.view, QRect(-160, -90, 960, 540)) << cursor.x() << "," << cursor.y();
    }
}

TEST(ZoomByWheel, BackToLevelOneFillsThePanelExactly)
{
    ZoomStepResult r = ZoomStep(1, kUnzoomed, kPanel, QPoint(123, 45), 0, 120);
    r = ZoomStep(r.level, r.view, kPanel, QPoint(77, 300), 0, 120);
    r = ZoomStep(r.level, r.view, kPanel, QPoint(400, 10), 0, -120);
    r = ZoomStep(r.level, r.view, kPanel, QPoint(9, 350), 0, -120);
    EXPECT_EQ(r.level, 1);
    EXPECT_EQ(r.view, kUnzoomed);
}

TEST(DragLimits, EachLevelAllowsExactlyItsExtraSize)
{
    for (int level = 1; level <= 15; ++level) {
        const double factor = 1.0 + 0.5 * (level - 1);
        const QPoint low(
            static_cast<int>(-(640 * factor - 640)), static_cast<int>(-(360 * factor - 360)));
        EXPECT_EQ(ClampDragOffset(QPoint(-100000, -100000), level, kPanel), low)
            << "level " << level;
        EXPECT_EQ(ClampDragOffset(QPoint(50, 70), level, kPanel), QPoint(0, 0))
            << "level " << level;
        EXPECT_EQ(ClampDragOffset(low / 2, level, kPanel), low / 2) << "level " << level;
    }
}

TEST(DragLimits, RearViewInTheSmallSlotMovesAtMostByItsExtraSize)
{
    EXPECT_EQ(ClampDragOffset(QPoint(-5000, -5000), 3, QSize(320, 240)), QPoint(-320, -240));
    EXPECT_EQ(ClampDragOffset(QPoint(-5000, -5000), 1, QSize(320, 240)), QPoint(0, 0));
}

} // namespace
} // namespace velomira
