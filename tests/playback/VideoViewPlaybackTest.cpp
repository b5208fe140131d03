#include <gtest/gtest.h>

#include <QWidget>

#include "PlayerTestSupport.h"
#include "devtools/mkcard/FrameStamp.h"
#include "playback/MediaPlayer.h"
#include "playback/views/CPlxVideoView.h"

namespace velomira::test {
namespace {

// The frame stamp of what the view shows on screen.
std::optional<FrameStamp> StampOnScreen(QWidget& view)
{
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return ReadFrameStampRgb32(
        shown.constBits(), static_cast<int>(shown.bytesPerLine()), shown.width(), shown.height());
}

TEST(VideoViews, TheViewsOfTheWindowShowTheFrameOfThePosition)
{
    QWidget frontPanel, rearPanel;
    frontPanel.resize(320, 180);
    rearPanel.resize(160, 90);
    CPlxVideoView front(&frontPanel);
    CPlxVideoRearView rear(&rearPanel);
    front.SetViewRect(0, 0, 320, 180);
    rear.SetViewRect(0, 0, 160, 90);
    frontPanel.show();
    rearPanel.show();

    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    ASSERT_TRUE(player.Open(Recording("long.mp4")));
    for (int targetMs : { 1000, 5000, 300 }) {
        const int frame = static_cast<int>(targetMs / (1000.0 / 30.0) + 0.5);
        ASSERT_EQ(player.SeekMs(targetMs), 1);
        EXPECT_TRUE(WaitUntil([&] {
            const auto f = StampOnScreen(front);
            const auto r = StampOnScreen(rear);
            return f && r && f->frameNumber == frame && r->frameNumber == frame && f->streamId == 0
                && r->streamId == 1;
        })) << targetMs;
    }

    // A larger view (the window's layout changed): the paused picture fills it again.
    frontPanel.resize(480, 270);
    front.SetViewRect(0, 0, 480, 270);
    player.RefreshVideo(1);
    EXPECT_TRUE(WaitUntil([&] {
        const auto f = StampOnScreen(front);
        return f && f->frameNumber == 9
            && front.grab().toImage().pixelColor(470, 260) != QColor(Qt::black);
    }));
}

} // namespace
} // namespace velomira::test
