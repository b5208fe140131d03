#include <gtest/gtest.h>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"

namespace velomira::test {
namespace {

constexpr double kFrameMs = 1000.0 / 30.0;

struct TwoWindows {
    TestVideoWindow front { QSize(320, 180) };
    TestVideoWindow rear { QSize(160, 90) };
    MediaPlayer player;
    TwoWindows() { player.AttachWindows(2, &front, &rear); }
};

bool ShowsFrame(const TestVideoWindow& window, int frame)
{
    return window.Stamp() && window.Stamp()->frameNumber == frame;
}

TEST(PictureTiming, OpenShowsTheFirstPictureOfEachStreamInItsOwnWindow)
{
    TwoWindows t;
    ASSERT_TRUE(t.player.Open(Recording("default.mp4")));
    EXPECT_EQ(t.player.State(), 2);
    EXPECT_EQ(t.player.VideoStreamCount(), 2);
    ASSERT_TRUE(WaitUntil([&] { return t.front.Stamp() && t.rear.Stamp(); }));
    EXPECT_EQ(t.front.Stamp()->streamId, 0);
    EXPECT_EQ(t.front.Stamp()->frameNumber, 0);
    EXPECT_EQ(t.rear.Stamp()->streamId, 1);
    EXPECT_EQ(t.rear.Stamp()->frameNumber, 0);
}

TEST(PictureTiming, PausedSeeksLandOnTheFrameOfTheTarget)
{
    for (const char* name : { "long.mp4", "default.avi" }) {
        SCOPED_TRACE(name);
        TwoWindows t;
        ASSERT_TRUE(t.player.Open(Recording(name)));
        for (int targetMs : { 2000, 500, 3500, 1234, 0 }) {
            SCOPED_TRACE(targetMs);
            const int frame = static_cast<int>(targetMs / kFrameMs + 0.5);
            ASSERT_EQ(t.player.SeekMs(targetMs), 1);
            EXPECT_TRUE(WaitUntil([&] {
                return ShowsFrame(t.front, frame) && ShowsFrame(t.rear, frame);
            })) << "front "
                << (t.front.Stamp() ? t.front.Stamp()->frameNumber : -1) << " rear "
                << (t.rear.Stamp() ? t.rear.Stamp()->frameNumber : -1);
            EXPECT_EQ(t.player.PositionMs(), static_cast<uint64_t>(targetMs));
        }
    }
}

TEST(PictureTiming, WhilePlayingThePictureShownMatchesThePosition)
{
    TwoWindows t;
    ASSERT_TRUE(t.player.Open(Recording("long.mp4")));
    ASSERT_EQ(t.player.Run(), 1);
    int checked = 0;
    for (int i = 0; i < 20; ++i) {
        Pump(80);
        const auto stamp = t.front.Stamp();
        const double positionMs = static_cast<double>(t.player.PositionMs());
        if (!stamp)
            continue;
        // The picture on screen is the one due at the position, give or take one.
        EXPECT_NEAR(stamp->frameNumber, positionMs / kFrameMs, 1.9) << "at " << positionMs;
        ++checked;
    }
    EXPECT_GT(checked, 10);
}

} // namespace
} // namespace velomira::test
