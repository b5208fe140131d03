// Loading and the transport commands against a scripted player, on the real main
// window and list window: what is loaded when, the Play button's look, the pull's end,
// volume and mute, the position band.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include "app/CSamplePlayerDlg.h"
#include "app/commands/Transport.h"
#include "library/CListDlg.h"
#include "playback/TelemetryPull.h"
#include "skin/CBitSlider.h"
#include "skin/CBitmapButton.h"
#include "skin/CSkinButton.h"
#include "support/ScriptedMessageBoxService.h"
#include "telemetry/CTextData.h"
#include "transport/ScriptedPlayer.h"

namespace velomira {
namespace {

struct TransportRig {
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
    CListDlg list;
    CTextData store;
    TransportState state;
    test::ScriptedPlayer player;
    Transport transport { player, window, list, store, state };
    int timerStarts = 0;
    int timerStops = 0;
    int ticks = 0;

    explicit TransportRig(int entries = 3)
    {
        transport.SetTimerControl([this] { ++timerStarts; }, [this] { ++timerStops; });
        transport.SetTick([this] { ++ticks; });
        for (int i = 0; i < entries; ++i) {
            const std::string name = "/rec/2024031" + std::to_string(i) + "_101010_NF.mp4";
            list.lists().visible.push_back(
                { "2024-03-1" + std::to_string(i), "10:10:10", "File", name });
        }
        list.lists().master = list.lists().visible;
        list.ShowVisibleEntries();
        Telemetry(3);
    }
    // Every Open from now on delivers `samples` RMC lines.
    void Telemetry(int samples) { telemetryPerOpen = samples; }
    int telemetryPerOpen = 0;
    void Play()
    {
        Refill();
        transport.OnPlay();
    }
    void Refill()
    {
        player.samples.clear();
        for (int i = 0; i < telemetryPerOpen; ++i)
            player.samples.push_back(test::ScriptedPlayer::RmcSample(i * 1000));
    }
    QString PlayCaption() const { return window.Button(1006)->text(); }
};

TEST(TransportPlay, WithAnEmptyListLoadsNothingButClearsTheRequest)
{
    TransportRig rig(0);
    rig.list.SetActivateRequest(true);
    rig.Play();
    EXPECT_TRUE(rig.player.opened.empty());
    EXPECT_FALSE(rig.list.activateRequest());
    EXPECT_TRUE(rig.state.listReady);
}

TEST(TransportPlay, AClickWhilePausedReplacesTheRecording)
{
    TransportRig rig;
    rig.list.SelectOnly(0);
    rig.Play();
    rig.transport.OnPlay(); // pause
    rig.list.SelectOnly(2);
    rig.list.SetActivateRequest(true);
    rig.Play();
    EXPECT_EQ(rig.player.opened.back(), "/rec/20240312_101010_NF.mp4");
    EXPECT_EQ(rig.state.currentIndex, 2);
    EXPECT_EQ(rig.player.state, kStateRunning);
    EXPECT_FALSE(rig.list.activateRequest());
}

TEST(TransportLoad, ARejectedFileStopsQuietly)
{
    TransportRig rig;
    rig.player.openSucceeds = false;
    rig.list.SelectOnly(0);
    rig.Play();
    EXPECT_EQ(rig.player.runs, 0);
    EXPECT_TRUE(rig.messages.shown().empty());
}

TEST(TransportLoad, NoTelemetryMovesOnAndReportsTheFileInTheWindowsLanguage)
{
    struct Case {
        int language;
        int selected;
        std::string text;
        int expectedIndex;
        int timerStops;
    };
    const Case cases[] = {
        { 1, 0, "Invalid File.\nFile name : /rec/20240310_101010_NF.mp4", 1, 0 },
        { 2, 0, "재생할 수 없는 파일입니다.\n파일명 : /rec/20240310_101010_NF.mp4", 1, 0 },
        // The second-to-last fails: the last plays on with the timer running.
        { 1, 1, "Invalid File.\nFile name : /rec/20240311_101010_NF.mp4", 2, 0 },
        // The last entry: nothing follows, the timer stops before the box.
        { 0, 2, "ファイルを再生できません。: /rec/20240312_101010_NF.mp4", 2, 1 },
    };
    for (const Case& c : cases) {
        TransportRig rig;
        rig.window.SetLanguage(c.language);
        rig.list.SelectOnly(c.selected);
        // The first file has no telemetry, the next has.
        rig.player.samplesPerOpen = { {}, { test::ScriptedPlayer::RmcSample(0) } };
        rig.transport.OnPlay();
        ASSERT_EQ(rig.messages.shown().size(), 1u);
        EXPECT_EQ(rig.messages.shown()[0].text, c.text) << c.language;
        EXPECT_EQ(rig.state.currentIndex, c.expectedIndex) << c.language;
        EXPECT_EQ(rig.timerStops, c.timerStops) << c.language;
        EXPECT_EQ(rig.player.state, c.timerStops == 0 ? kStateRunning : kStateStopped);
    }
}

TEST(TransportLoad, ARunOfFilesWithoutTelemetryReportsEachAndEnds)
{
    TransportRig rig;
    rig.window.SetLanguage(1);
    rig.list.SelectOnly(0);
    rig.player.samplesPerOpen = { {}, {}, {} };
    rig.transport.OnPlay();
    // The innermost (last entry) box comes first; each failure is reported once.
    ASSERT_EQ(rig.messages.shown().size(), 3u);
    EXPECT_EQ(
        rig.messages.shown()[0].text, "Invalid File.\nFile name : /rec/20240312_101010_NF.mp4");
    EXPECT_EQ(
        rig.messages.shown()[2].text, "Invalid File.\nFile name : /rec/20240310_101010_NF.mp4");
    EXPECT_EQ(rig.state.currentIndex, 2);
    EXPECT_EQ(rig.player.runs, 0);
    EXPECT_EQ(rig.timerStops, 1);
}

TEST(TelemetryPull, EndsOnTheSourcesEndCodesAndGivesUpOnEndlessOthers)
{
    struct Case {
        const char* name;
        int endCode;
        std::size_t samples;
        bool gaveUp;
        long pulls;
    };
    const Case cases[] = {
        { "no more samples", kTextSamplesEnded, 2, false, 3 },
        { "failure", kResultFail, 2, false, 3 },
        { "a code that never ends", 1, 2, true, 2 + kTelemetryPullMaxStrayCodes },
    };
    for (const Case& c : cases) {
        test::ScriptedPlayer player;
        player.samples
            = { test::ScriptedPlayer::RmcSample(0), test::ScriptedPlayer::RmcSample(1000) };
        player.endCode = c.endCode;
        CTextData store;
        const TelemetryPullResult result = PullTelemetry(player, store);
        EXPECT_EQ(result.samples, c.samples) << c.name;
        EXPECT_EQ(result.gaveUp, c.gaveUp) << c.name;
        EXPECT_EQ(player.pulls, c.pulls) << c.name;
        EXPECT_EQ(store.GpsRecords().size(), 2u) << c.name;
    }
}

TEST(TransportNextPrevious, NextOnTheLastBehavesAsStopAndPreviousOnTheFirstDoesNothing)
{
    TransportRig rig;
    rig.list.SelectOnly(2);
    rig.Play();
    rig.transport.OnNext();
    EXPECT_EQ(rig.player.state, kStateNoGraph);
    EXPECT_TRUE(rig.state.forceReload);
    EXPECT_EQ(rig.player.opened.size(), 1u);

    TransportRig first;
    first.list.SelectOnly(0);
    first.Play();
    first.transport.OnPrevious();
    EXPECT_EQ(first.state.currentIndex, 0);
    EXPECT_EQ(first.player.opened.size(), 1u);
}

TEST(TransportSpeedAndSkips, OnlyWhilePlayingOrPaused)
{
    TransportRig rig;
    rig.transport.OnSpeed(); // no graph
    rig.transport.OnSkipForward();
    EXPECT_TRUE(rig.player.rates.empty());
    EXPECT_EQ(rig.ticks, 0);

    rig.list.SelectOnly(0);
    rig.Play();
    rig.transport.OnSpeed();
    EXPECT_EQ(rig.player.rates.back(), 2.0f);
    EXPECT_EQ(rig.state.speed, 2);
    rig.transport.OnPlay(); // pause, then resume at double speed
    rig.transport.OnSpeed(); // paused: no change
    EXPECT_EQ(rig.state.speed, 2);
    rig.transport.OnPlay();
    EXPECT_EQ(rig.player.rates.back(), 2.0f);

    rig.player.durationMs = 10000;
    rig.player.positionMs = 1500;
    rig.transport.OnSkipForward();
    EXPECT_EQ(rig.player.positionMs, 2500u);
    rig.transport.OnSkipBack();
    EXPECT_EQ(rig.player.positionMs, 1500u);
    EXPECT_EQ(rig.ticks, 2);
}

TEST(TransportVolume, SliderToZeroMutesAndKeepsTheLastVolume)
{
    TransportRig rig;
    CBitSlider* volume = rig.window.Slider(1004);
    volume->setSliderPosition(30);
    rig.transport.OnVolumeSlider();
    EXPECT_EQ(rig.state.volume, 30);
    EXPECT_EQ(rig.player.waveOut.back(), WaveOutVolumeFor(30));
    volume->setSliderPosition(0);
    rig.transport.OnVolumeSlider();
    EXPECT_TRUE(rig.window.MuteButton()->GetCheck());
    EXPECT_EQ(rig.state.volume, 30);
    EXPECT_EQ(rig.player.waveOut.back(), 0u);

    // A load applies the kept volume, silent while muted.
    rig.list.SelectOnly(0);
    rig.Play();
    EXPECT_EQ(rig.player.volumes.back(), 30);
    EXPECT_EQ(rig.player.waveOut.back(), 0u);
}

TEST(TransportVolume, WaveOutLevelsOfBothChannels)
{
    EXPECT_EQ(WaveOutVolumeFor(50), 0x7FFF7FFFu);
    EXPECT_EQ(WaveOutVolumeFor(0), 0u);
    EXPECT_EQ(WaveOutVolumeFor(1), 0x028F028Fu); // 655
    EXPECT_EQ(WaveOutVolumeFor(99), 0xFD6FFD6Fu); // 64879
}

TEST(TransportPositionBand, PressInsideTheBandSeeksInProportion)
{
    TransportRig rig;
    rig.list.SelectOnly(0);
    rig.player.durationMs = 53700;
    rig.Play();
    rig.transport.OnWindowLeftButton(QPoint(105 + 100, 430));
    EXPECT_EQ(rig.player.seeks.back(), 10000);
    EXPECT_EQ(rig.window.Slider(1002)->value(), 10000);
    const std::size_t seeks = rig.player.seeks.size();
    rig.transport.OnWindowLeftButton(QPoint(104, 430)); // left of the band
    rig.transport.OnWindowLeftButton(QPoint(300, 414)); // above it
    EXPECT_EQ(rig.player.seeks.size(), seeks);
}

TEST(TransportPositionSlider, AClickOnTheTrackSeeksWhereItLands)
{
    TransportRig rig;
    rig.transport.ConnectControls(rig.window);
    rig.list.SelectOnly(0);
    rig.player.durationMs = 60000;
    rig.Play();
    CBitSlider* slider = rig.window.Slider(1002);
    for (const double fraction : { 0.75, 0.25 }) {
        const QPoint at(static_cast<int>(slider->width() * fraction), slider->height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, slider->mapToGlobal(at), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, slider->mapToGlobal(at), Qt::LeftButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &release);
        ASSERT_FALSE(rig.player.seeks.empty());
        // Within a thumb's width of the spot clicked, not a page step away.
        EXPECT_NEAR(rig.player.seeks.back(), 60000 * fraction, 60000 * 0.05) << fraction;
        EXPECT_EQ(slider->value(), rig.player.seeks.back());
    }
}

} // namespace
} // namespace velomira
