// The transport commands on the real player with the generated card: pause and resume,
// skips, double speed, stop and reload, next and previous, the automatic advance and
// the recording without telemetry.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <QElapsedTimer>
#include <QMouseEvent>

#include "e2e/ViewerSupport.h"
#include "playback/views/CPlxVideoView.h"
#include "skin/CBitSlider.h"
#include "skin/CBitmapButton.h"
#include "skin/CSkinButton.h"

namespace velomira {
namespace {

using test::ViewerOnCard;
using test::WaitUntil;

// Play position gained per wall-clock millisecond over `ms`.
double MeasuredRate(const ViewerOnCard& viewer, int ms)
{
    QElapsedTimer clock;
    const auto p0 = static_cast<double>(viewer.player().PositionMs());
    clock.start();
    test::Pump(ms);
    const auto p1 = static_cast<double>(viewer.player().PositionMs());
    return (p1 - p0) / static_cast<double>(clock.elapsed());
}

TEST(ViewerTransport, PauseResumeAndOneSecondSkips)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    ASSERT_TRUE(WaitUntil([&] { return viewer.player().PositionMs() > 200; }));

    viewer.Press(1006);
    EXPECT_EQ(viewer.player().State(), 1);
    EXPECT_EQ(viewer.window->Button(1006)->text(), "Play");
    EXPECT_EQ(viewer.window->Button(1006)->normalImageId(), 416);
    const std::uint64_t held = viewer.player().PositionMs();
    test::Pump(400);
    EXPECT_NEAR(static_cast<double>(viewer.player().PositionMs()), static_cast<double>(held), 60);

    viewer.Press(1010);
    EXPECT_NEAR(static_cast<double>(viewer.player().PositionMs()), held + 1000.0, 100);
    EXPECT_EQ(viewer.window->Slider(1002)->value(), static_cast<int>(viewer.player().PositionMs()));
    viewer.Press(1009);
    EXPECT_NEAR(static_cast<double>(viewer.player().PositionMs()), static_cast<double>(held), 100);

    viewer.Press(1006);
    EXPECT_TRUE(viewer.Playing());
    EXPECT_EQ(viewer.window->Button(1006)->text(), "Pause");
    EXPECT_EQ(viewer.currentIndex(), 0); // resumed, not reloaded
}

TEST(ViewerTransport, DoubleSpeedMovesThePositionTwiceAsFast)
{
    ViewerOnCard viewer;
    // The longest recording of the card gives the most time to measure.
    viewer.Press(1012);
    viewer.Press(1006);
    viewer.player().SeekMs(0);
    viewer.Press(1006);
    ASSERT_TRUE(viewer.Playing());
    test::Pump(150);
    const double normal = MeasuredRate(viewer, 600);

    viewer.Press(1206);
    EXPECT_EQ(viewer.session->state().speed, 2);
    EXPECT_EQ(viewer.window->Button(1206)->normalImageId(), 421);
    viewer.player().SeekMs(0);
    test::Pump(150);
    const double fast = MeasuredRate(viewer, 600);
    EXPECT_GT(fast / normal, 1.4) << normal << " " << fast;
    EXPECT_LT(fast / normal, 2.6) << normal << " " << fast;

    viewer.Press(1206);
    EXPECT_EQ(viewer.session->state().speed, 1);
    EXPECT_EQ(viewer.window->Button(1206)->normalImageId(), 420);

    viewer.Press(1006); // paused: the speed button does nothing
    viewer.Press(1206);
    EXPECT_EQ(viewer.session->state().speed, 1);
}

TEST(ViewerTransport, StopResetsTheLabelsAndTheNextPlayReloads)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    ASSERT_TRUE(WaitUntil([&] { return viewer.window->Slider(1002)->value() > 300; }));
    ASSERT_TRUE(viewer.window->frontView()->HasPicture());
    ASSERT_TRUE(viewer.window->rearView()->HasPicture());
    viewer.Press(1007);
    EXPECT_FALSE(viewer.window->frontView()->HasPicture());
    EXPECT_FALSE(viewer.window->rearView()->HasPicture());
    EXPECT_EQ(viewer.Label(1014), "00:00:00");
    EXPECT_EQ(viewer.Label(1015), "00:00:00");
    EXPECT_EQ(viewer.window->Slider(1002)->value(), 0);
    EXPECT_EQ(viewer.player().State(), -1);
    EXPECT_TRUE(viewer.session->state().forceReload);
    EXPECT_TRUE(viewer.session->timer().isActive()); // the tick finds no graph
    test::Pump(450);
    EXPECT_EQ(viewer.Label(1014), "00:00:00");
    EXPECT_FALSE(viewer.window->frontView()->HasPicture());

    viewer.Press(1006);
    EXPECT_TRUE(viewer.Playing());
    EXPECT_FALSE(viewer.session->state().forceReload);
    EXPECT_EQ(viewer.currentIndex(), 0);
    EXPECT_EQ(viewer.Label(1015), "00:00:02");
}

TEST(ViewerTransport, NextAndPreviousMoveThroughTheList)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    viewer.Press(1005); // previous on the first entry: nothing
    EXPECT_EQ(viewer.currentIndex(), 0);
    viewer.Press(1008);
    EXPECT_EQ(viewer.currentIndex(), 1);
    EXPECT_EQ(viewer.list().SelectedRow(), 1);
    EXPECT_TRUE(viewer.Playing());
    EXPECT_TRUE(viewer.list().visibleList()->hasFocus() || !viewer.list().isActiveWindow());
    viewer.Press(1005);
    EXPECT_EQ(viewer.currentIndex(), 0);
    EXPECT_EQ(viewer.list().SelectedRow(), 0);
    EXPECT_TRUE(viewer.Playing());
    EXPECT_TRUE(viewer.messages.shown().empty());
}

TEST(ViewerTransport, RecordingWithoutTelemetryIsReportedAndTheNextOnePlays)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    viewer.Press(1008); // entry 1
    viewer.Press(1008); // entry 2 has no telemetry
    ASSERT_EQ(viewer.messages.shown().size(), 1u);
    EXPECT_EQ(viewer.messages.shown()[0].text,
        "Invalid File.\nFile name : E:\\Normal\\20240315_101210_NF.mp4");
    EXPECT_EQ(viewer.currentIndex(), 3);
    EXPECT_EQ(viewer.list().SelectedRow(), 3);
    EXPECT_TRUE(viewer.Playing());
}

TEST(ViewerTransport, AdvancesAtTheEndAndStopsAfterTheLast)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    viewer.list().SelectOnly(3);
    viewer.list().SetActivateRequest(true);
    ASSERT_TRUE(WaitUntil([&] { return viewer.currentIndex() == 3 && viewer.Playing(); }));
    ASSERT_TRUE(WaitUntil([&] { return viewer.currentIndex() == 4; }, 30000));
    EXPECT_EQ(viewer.list().SelectedRow(), 4);
    ASSERT_TRUE(WaitUntil([&] { return viewer.player().State() == -1; }, 30000));
    EXPECT_EQ(viewer.Label(1014), "00:00:00");
    EXPECT_EQ(viewer.Label(1015), "00:00:00");
    EXPECT_EQ(viewer.window->Button(1006)->text(), "Play");
    EXPECT_EQ(viewer.currentIndex(), 4);
    EXPECT_TRUE(viewer.messages.shown().empty());
}

// A click with the mouse: the mute button toggles its check on the release.
void ClickWithMouse(QWidget* w)
{
    const QPointF at = QRectF(w->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

TEST(ViewerTransport, TheSoundDeviceFollowsTheVolumeSliderAndMute)
{
    if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        GTEST_SKIP() << "no sound server named (scripts/test starts one)";
    ViewerOnCard viewer;
    viewer.Press(1012);
    ASSERT_TRUE(WaitUntil([&] { return viewer.Playing(); }));
    CBitSlider* volume = viewer.window->Slider(1004);
    // The gain is 10^(level / 2000) x (wave-out level / 65535), with the level in
    // hundredths of a decibel: -301 for 50, -4 for 99.
    struct Case {
        const char* name;
        std::function<void()> act;
        double gain;
    };
    const Case cases[] = {
        { "at the start, 50", [] {}, 0.353560 },
        { "slider to 99: the wave-out level follows at once",
            [&] { volume->setSliderPosition(99); }, 0.700053 },
        { "pause and resume: the player's volume follows",
            [&] {
                viewer.Press(1006);
                viewer.Press(1006);
            },
            0.985441 },
        { "mute", [&] { ClickWithMouse(viewer.window->MuteButton()); }, 0.0 },
        { "unmute", [&] { ClickWithMouse(viewer.window->MuteButton()); }, 0.985441 },
        { "slider to 0", [&] { volume->setSliderPosition(0); }, 0.0 },
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_TRUE(WaitUntil(
            [&] { return std::abs(viewer.player().SoundDeviceGain() - c.gain) < 1e-5; }, 2000))
            << c.name << ": " << viewer.player().SoundDeviceGain();
    }
    EXPECT_TRUE(viewer.window->MuteButton()->GetCheck());
}

} // namespace
} // namespace velomira
