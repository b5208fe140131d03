#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "PlayerTestSupport.h"
#include "devtools/mkcard/FrameStamp.h"
#include "platform/X11PictureOutput.h"
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

// Shared memory segments this process made that still exist.
int SegmentsOfThisProcess()
{
    std::ifstream table("/proc/sysvipc/shm");
    std::string line;
    std::getline(table, line); // the heading
    int count = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        long key = 0, id = 0, perms = 0, size = 0, creator = 0;
        if (fields >> key >> id >> perms >> size >> creator && creator == getpid())
            ++count;
    }
    return count;
}

// Pictures converted in bursts ahead and shown one by one use the same few segments
// again; a picture kept after its output is gone stays usable, and the last one going
// takes the segments with it.
TEST(PictureOutputOnAnXDisplay, SegmentsAreUsedAgainAndGoWithTheirLastPicture)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs on an X display (playback_views_on_x)";
    // A bare window: nothing of Qt's own painting puts segments beside the output's.
    QWindow window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return window.isExposed(); }));
    const int before = SegmentsOfThisProcess();
    {
        std::unique_ptr<X11PictureOutput> output = X11PictureOutput::Create(window.winId());
        ASSERT_TRUE(output);
        output->SetPlace(QRect(0, 0, 160, 90), QPoint(0, 0));
        for (int burst = 0; burst < 20; ++burst) {
            std::vector<QImage> ahead;
            for (int i = 0; i < 10; ++i) {
                ahead.push_back(output->NewImage(QSize(160, 90), 160 * 4, 90));
                ASSERT_FALSE(ahead.back().isNull());
                ahead.back().fill(QColor(burst * 10, i * 20, 0));
            }
            for (const QImage& picture : ahead)
                ASSERT_TRUE(output->Show(picture, QRect(0, 0, 160, 90)));
        }
        EXPECT_LE(SegmentsOfThisProcess() - before, 14);

        QImage kept = output->NewImage(QSize(160, 90), 160 * 4, 90);
        output.reset();
        kept.fill(Qt::red);
        EXPECT_EQ(kept.pixelColor(159, 89), QColor(Qt::red));
    }
    // Detached on this side at once, on the X server's as it reads the request.
    EXPECT_TRUE(WaitUntil([&] { return SegmentsOfThisProcess() == before; }, 10000));
}

// No output for a window the X server does not know; an output shows nothing until it has
// a place, and a hidden one is not showing.
TEST(PictureOutputOnAnXDisplay, ShowsOnlyWithAPlaceAndUntilHidden)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs on an X display (playback_views_on_x)";
    EXPECT_FALSE(X11PictureOutput::Create(0));
    EXPECT_FALSE(X11PictureOutput::Create(0x1fffffff));
    QWindow window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return window.isExposed(); }));
    std::unique_ptr<X11PictureOutput> output = X11PictureOutput::Create(window.winId());
    ASSERT_TRUE(output);
    QImage picture(160, 90, QImage::Format_RGB32);
    picture.fill(Qt::green);
    EXPECT_FALSE(output->Show(picture, QRect(0, 0, 160, 90)));
    output->SetPlace(QRect(0, 0, 160, 90), QPoint(0, 0));
    EXPECT_TRUE(output->Show(picture, QRect(0, 0, 160, 90))); // copied: not in shared memory
    EXPECT_TRUE(output->Showing());
    output->Hide();
    EXPECT_FALSE(output->Showing());
    EXPECT_FALSE(output->Show(QImage(160, 90, QImage::Format_RGB888), QRect(0, 0, 160, 90)));
}

// What the X server shows of a window, child windows included.
QImage OnScreen(QWidget& window)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(window.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// On an X display the player's threads put the pictures on screen themselves. What the
// screen shows of the panel must be what the view itself draws of its visible part, for
// a plain view, one zoomed and dragged (its visible part starts inside the picture), a
// resized one, and after another window covered it while paused.
TEST(VideoViewsOnAnXDisplay, TheScreenShowsWhatTheViewDraws)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs on an X display (playback_views_on_x)";
    QWidget panel;
    panel.resize(320, 180);
    CPlxVideoView view(&panel);
    view.SetViewRect(0, 0, 320, 180);
    MediaPlayer player;
    VideoViewHooks hooks;
    hooks.refreshVideo = [&player] { player.RefreshVideo(1); };
    view.SetHooks(hooks);
    panel.show();
    ASSERT_TRUE(WaitUntil([&] { return panel.isVisible() && panel.windowHandle()->isExposed(); }));
    player.AttachWindows(1, &view, nullptr);
    ASSERT_TRUE(player.Open(Recording("long.mp4")));

    auto shownAsDrawn = [&](int frame) {
        const QImage screen = OnScreen(panel);
        const QImage drawn
            = view.grab(view.VisibleRect()).toImage().convertToFormat(QImage::Format_RGB32);
        const auto stamp = ReadFrameStampRgb32(drawn.constBits(),
            static_cast<int>(drawn.bytesPerLine()), drawn.width(), drawn.height());
        return view.ShowsPicturesDirectly() && screen.size() == drawn.size() && screen == drawn
            && (frame < 0 || (stamp && stamp->frameNumber == frame));
    };
    ASSERT_EQ(player.SeekMs(1000), 1);
    EXPECT_TRUE(WaitUntil([&] { return shownAsDrawn(30); }));

    // Zoomed to twice the panel and dragged to its right half.
    view.SetViewRect(-320, 0, 640, 360);
    player.RefreshVideo(1);
    EXPECT_TRUE(WaitUntil(
        [&] { return view.VisibleRect() == QRect(320, 0, 320, 180) && shownAsDrawn(-1); }));

    view.SetViewRect(0, 0, 320, 180);
    panel.resize(400, 225);
    view.SetViewRect(0, 0, 400, 225);
    ASSERT_EQ(player.SeekMs(5000), 1);
    EXPECT_TRUE(WaitUntil([&] { return shownAsDrawn(150); }));

    // Another window over the paused picture, then gone: the picture comes back.
    QWidget cover;
    cover.setWindowFlags(Qt::Window | Qt::X11BypassWindowManagerHint);
    cover.setStyleSheet(QStringLiteral("background: magenta"));
    cover.setGeometry(QRect(panel.mapToGlobal(QPoint(0, 0)), panel.size()));
    cover.show();
    ASSERT_TRUE(WaitUntil([&] { return cover.windowHandle()->isExposed(); }));
    cover.hide();
    EXPECT_TRUE(WaitUntil([&] {
        player.RefreshVideo(1); // what the paused viewer's tick does
        return shownAsDrawn(150);
    }));
}

} // namespace
} // namespace velomira::test
