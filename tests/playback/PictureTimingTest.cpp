#include <gtest/gtest.h>

#include <algorithm>

#include <QPainter>

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

// Each picture is compared with the position at the moment the window got it. A picture is
// never ahead of the position; a busy machine may hand one over late, so the check that
// pictures keep time waits until enough of them arrived on time.
TEST(PictureTiming, WhilePlayingThePictureShownMatchesThePosition)
{
    TwoWindows t;
    t.front.SetClock([&] { return t.player.PositionMs(); });
    ASSERT_TRUE(t.player.Open(Recording("long.mp4")));
    ASSERT_EQ(t.player.Run(), 1);
    std::size_t checked = 0;
    int onTime = 0;
    const auto check = [&] {
        const auto& frames = t.front.History();
        const auto& positions = t.front.HistoryPositions();
        for (; checked < frames.size(); ++checked) {
            const double dueFrame = static_cast<double>(positions[checked]) / kFrameMs;
            EXPECT_LE(frames[checked], dueFrame + 1.9) << "at " << positions[checked];
            if (frames[checked] >= dueFrame - 1.9)
                ++onTime;
        }
        return onTime >= 30 || t.player.PositionMs() >= t.player.DurationMs();
    };
    ASSERT_TRUE(WaitUntil(check));
    EXPECT_GE(onTime, 30);
}

TEST(PictureTiming, NoPictureFromBeforeASeekIsShownAfterIt)
{
    TwoWindows t;
    t.front.SetClock([&] { return t.player.PositionMs(); });
    t.rear.SetClock([&] { return t.player.PositionMs(); });
    ASSERT_TRUE(t.player.Open(Recording("long.mp4")));
    ASSERT_EQ(t.player.Run(), 1);
    for (int targetMs : { 8000, 1000, 10000, 3000, 6000 }) {
        SCOPED_TRACE(targetMs);
        ASSERT_TRUE(WaitUntil([&] { return t.front.Shown() > 0; }));
        Pump(150); // pictures of the old position are on their way
        const int frame = static_cast<int>(targetMs / kFrameMs + 0.5);
        t.front.ClearHistory();
        t.rear.ClearHistory();
        ASSERT_EQ(t.player.SeekMs(targetMs), 1);
        auto reached = [&](const TestVideoWindow& w) {
            return !w.History().empty() && w.History().back() >= frame + 3;
        };
        ASSERT_TRUE(WaitUntil([&] { return reached(t.front) && reached(t.rear); }));
        for (const TestVideoWindow* window : { &t.front, &t.rear }) {
            // The target's picture comes first; a user interface that falls behind may
            // skip to a newer one, but never to one ahead of the position when it was
            // shown, and never back to an older one.
            const double dueFrame
                = static_cast<double>(window->HistoryPositions().front()) / kFrameMs;
            EXPECT_LE(window->History().front(), std::max<double>(frame, dueFrame) + 2);
            for (int shown : window->History())
                EXPECT_GE(shown, frame);
        }
    }
}

TEST(VisiblePart, AZoomedWindowReceivesOnlyItsVisiblePart)
{
    TestVideoWindow front(QSize(2560, 1440)); // 8x the panel
    const QRect visible(1001, 503, 320, 180);
    front.SetGeometry(QSize(2560, 1440), visible);
    MediaPlayer player;
    player.AttachWindows(1, &front, nullptr);
    ASSERT_TRUE(player.Open(Recording("default.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return front.Shown() > 0; }));
    EXPECT_TRUE(front.Part().contains(visible));
    EXPECT_LE(front.Image().width(), 320 + 40);
    EXPECT_LE(front.Image().height(), 180 + 40);
    EXPECT_EQ(front.Image().size(), front.Part().size());
}

TEST(VisiblePart, APausedPictureIsRedrawnAtTheWindowsNewSize)
{
    TwoWindows t;
    ASSERT_TRUE(t.player.Open(Recording("long.mp4")));
    ASSERT_EQ(t.player.SeekMs(1000), 1);
    ASSERT_TRUE(WaitUntil([&] { return ShowsFrame(t.front, 30); }));
    EXPECT_EQ(t.front.Image().size(), QSize(320, 180));

    t.front.SetGeometry(QSize(480, 270), QRect(0, 0, 480, 270));
    t.player.RefreshVideo(1);
    EXPECT_TRUE(WaitUntil([&] { return t.front.Image().size() == QSize(480, 270); }));
    EXPECT_TRUE(ShowsFrame(t.front, 30));

    t.rear.SetGeometry(QSize(100, 60), QRect(0, 0, 100, 60));
    EXPECT_EQ(t.player.RefreshAfterResize(), 1);
    EXPECT_TRUE(WaitUntil([&] { return t.rear.Image().size() == QSize(100, 60); }));
    EXPECT_TRUE(ShowsFrame(t.rear, 30));
    EXPECT_EQ(t.player.PositionMs(), 1000u);
}

// Pictures are converted when decoded, a few ahead of their time: those waiting when
// the window changes are converted again, so no picture of the old size follows the first
// of the new one.
TEST(VisiblePart, AResizeWhilePlayingReachesThePicturesAlreadyDecoded)
{
    TwoWindows t;
    ASSERT_TRUE(t.player.Open(Recording("long.mp4")));
    ASSERT_EQ(t.player.Run(), 1);
    ASSERT_TRUE(WaitUntil([&] { return t.front.Shown() >= 10; }));
    t.front.ClearHistory();
    const QSize larger(480, 270);
    t.front.SetGeometry(larger, QRect(QPoint(0, 0), larger));
    EXPECT_EQ(t.player.RefreshAfterResize(), 1);
    const auto& sizes = t.front.HistorySizes();
    ASSERT_TRUE(WaitUntil([&] {
        return std::count(sizes.begin(), sizes.end(), larger) >= 15
            || t.player.PositionMs() >= t.player.DurationMs();
    }));
    const auto firstLarger = std::find(sizes.begin(), sizes.end(), larger);
    ASSERT_NE(firstLarger, sizes.end());
    EXPECT_EQ(std::count(firstLarger, sizes.end(), QSize(320, 180)), 0);
}

// A hidden view's stream is not decoded: only the other stream's pictures are presented.
// Shown again, it shows the picture of the position at once, decoded from the key
// picture before it, and goes on in step.
TEST(VisiblePart, AHiddenViewIsNotDecodedAndShowsThePositionWhenShownAgain)
{
    TwoWindows t;
    t.rear.SetClock([&] { return t.player.PositionMs(); });
    ASSERT_TRUE(t.player.Open(Recording("long.mp4")));
    ASSERT_EQ(t.player.Run(), 1);
    ASSERT_TRUE(WaitUntil([&] { return t.rear.Shown() >= 5; }));

    t.rear.SetGeometry(QSize(160, 90), QRect());
    EXPECT_EQ(t.player.RefreshAfterResize(), 1);
    Pump(200); // pictures already on their way
    const int64_t presentedBefore = t.player.PicturesPresented();
    const int rearBefore = t.rear.Shown();
    const uint64_t hiddenAtMs = t.player.PositionMs();
    ASSERT_TRUE(WaitUntil([&] { return t.player.PositionMs() >= hiddenAtMs + 1500; }));
    EXPECT_EQ(t.rear.Shown(), rearBefore);
    // The front stream alone presents at most a picture per frame of the position's advance.
    const double framesPlayed = static_cast<double>(t.player.PositionMs() - hiddenAtMs) / kFrameMs;
    EXPECT_LE(
        static_cast<double>(t.player.PicturesPresented() - presentedBefore), framesPlayed + 3);

    t.rear.ClearHistory();
    t.rear.SetGeometry(QSize(160, 90), QRect(0, 0, 160, 90));
    EXPECT_EQ(t.player.RefreshAfterResize(), 1);
    ASSERT_TRUE(WaitUntil([&] { return t.rear.History().size() >= 10; }));
    const auto& frames = t.rear.History();
    const auto& positions = t.rear.HistoryPositions();
    EXPECT_EQ(static_cast<std::size_t>(t.rear.Shown() - rearBefore), frames.size())
        << "a picture without a readable stamp was shown";
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const double dueFrame = static_cast<double>(positions[i]) / kFrameMs;
        EXPECT_LE(frames[i], dueFrame + 1.9) << "picture " << i;
        EXPECT_GE(frames[i], static_cast<double>(hiddenAtMs) / kFrameMs + 40) << "picture " << i;
        if (i > 0) {
            EXPECT_GT(frames[i], frames[i - 1]);
        }
    }
}

TEST(VisiblePart, APaintShowsTheLastPictureAgain)
{
    TwoWindows t;
    QImage canvas(10, 10, QImage::Format_RGB32);
    QPainter painter(&canvas);
    ASSERT_TRUE(t.player.Open(Recording("default.mp4")));
    ASSERT_TRUE(WaitUntil([&] { return t.front.Shown() > 0; }));
    const int shown = t.front.Shown();
    EXPECT_EQ(t.player.RepaintOnPaint(nullptr), 0);
    EXPECT_EQ(t.player.RepaintOnPaint(&painter), 1);
    EXPECT_EQ(t.front.Shown(), shown + 1);
}

} // namespace
} // namespace velomira::test
