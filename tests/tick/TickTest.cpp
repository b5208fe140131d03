// The tick's branches by player state, the displays it refreshes and in which order, the
// list window's requests and the time labels.
#include "app/Tick.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "app/CSamplePlayerDlg.h"
#include "app/ClockText.h"
#include "library/CListDlg.h"
#include "map/MapPosition.h"
#include "playback/TransportState.h"
#include "skin/CBitSlider.h"
#include "support/ScriptedMessageBoxService.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryDisplays.h"
#include "transport/ScriptedPlayer.h"

namespace velomira {
namespace {

// Every display call as one line, in the order made.
struct DisplayLog : MapPosition, SpeedDisplay, TelemetryDrawing {
    std::vector<std::string> calls;
    int provider = 1;
    bool secondProviderReachable = true;

    void Add(const std::string& name, std::uint32_t positionMs)
    {
        calls.push_back(name + " " + std::to_string(positionMs));
    }
    int mapProvider() const override { return provider; }
    void UpdateMapPosition(std::uint32_t positionMs, bool sparePane) override
    {
        Add(sparePane ? "map+spare" : "map", positionMs);
    }
    bool SendSecondProviderPosition(double longitudeRaw, double latitudeRaw) override
    {
        calls.push_back("second " + std::to_string(static_cast<int>(longitudeRaw)) + " "
            + std::to_string(static_cast<int>(latitudeRaw)));
        return secondProviderReachable;
    }
    void RefreshVisibleMapPane() override { calls.push_back("refresh"); }
    void ResetMapsToHome() override { calls.push_back("home"); }
    void RefreshSpeed(std::uint32_t positionMs, std::uint32_t) override
    {
        Add("speed", positionMs);
    }
    void DrawStripGraph(std::uint32_t positionMs, std::uint32_t) override
    {
        Add("strip", positionMs);
    }
    void DrawTelemetryText(std::uint32_t positionMs, std::uint32_t) override
    {
        Add("text", positionMs);
    }
    void DrawGaugeAndCompass(std::uint32_t positionMs, std::uint32_t) override
    {
        Add("gauge", positionMs);
    }
};

struct TickRig {
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
    CListDlg list;
    CTextData store;
    TransportState state;
    test::ScriptedPlayer player;
    DisplayLog displays;
    int nexts = 0;
    int plays = 0;
    int toggles = 0;
    bool leftButtonHeld = false;
    TickLoop tick { player, window, list, store, state,
        { [this] { ++nexts; }, [this] { ++plays; }, [this] { ++toggles; } } };

    TickRig()
    {
        tick.SetDisplays(&displays, &displays, &displays);
        tick.SetLeftButtonQuery([this] { return leftButtonHeld; });
        window.Slider(1002)->setRange(0, 10000);
    }
    QString Label(int id) const { return qobject_cast<QLabel*>(window.Control(id))->text(); }
    void At(int playerState, std::uint64_t positionMs, std::uint64_t durationMs = 10000)
    {
        player.state = playerState;
        player.positionMs = positionMs;
        player.durationMs = durationMs;
    }
};

TEST(TickWhileRunning, MovesSliderAndLabelsThenMapThenSpeedAndDrawsAfterwards)
{
    TickRig rig;
    rig.At(kStateRunning, 4500);
    rig.tick.OnTimer();
    EXPECT_EQ(rig.state.positionMs, 4500u);
    EXPECT_EQ(rig.state.durationMs, 10000u);
    EXPECT_EQ(rig.window.Slider(1002)->value(), 4500);
    EXPECT_EQ(rig.Label(1014), "00:00:04");
    EXPECT_EQ(rig.Label(1015), "00:00:10");
    EXPECT_EQ(rig.displays.calls,
        (std::vector<std::string> {
            "map 4500", "speed 4500", "strip 4500", "text 4500", "gauge 4500" }));
    EXPECT_EQ(rig.nexts, 0);
}

TEST(TickWhileRunning, AtTheEndRunsTheNextRecordingCommandOnceAndNoDisplay)
{
    TickRig rig;
    rig.At(kStateRunning, 10000);
    rig.tick.Tick();
    EXPECT_EQ(rig.nexts, 1);
    EXPECT_EQ(rig.window.Slider(1002)->value(), 10000);
    EXPECT_EQ(rig.Label(1014), "00:00:10");
    EXPECT_TRUE(rig.displays.calls.empty());
}

TEST(TickWhileRunning, SecondProviderGetsTheFirstFixAtOrAfterThePosition)
{
    TickRig rig;
    rig.displays.provider = 0;
    rig.player.samples = { test::ScriptedPlayer::RmcSample(1000, true),
        test::ScriptedPlayer::RmcSample(2000, false), test::ScriptedPlayer::RmcSample(3000, true) };
    rig.store.ResetForLoad();
    for (const auto& s : rig.player.samples)
        rig.store.ParseTelemetrySample(std::as_bytes(std::span(s.bytes)), s.timeMs);
    ASSERT_EQ(rig.store.GpsRecords().size(), 3u);

    struct Case {
        std::uint64_t positionMs;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        { 500, { "second 12700 3733", "speed 500" } }, // first record
        { 1000, { "second 12700 3733", "speed 1000" } }, // at its stamp exactly
        { 1500, { "speed 1500" } }, // the record found has no fix: nothing sent
        { 3500, { "speed 3500" } }, // past the last record
    };
    for (const Case& c : cases) {
        rig.displays.calls.clear();
        rig.At(kStateRunning, c.positionMs);
        rig.tick.Tick();
        EXPECT_EQ(rig.displays.calls, c.calls) << c.positionMs;
    }
}

TEST(TickWhileRunning, SpeedBoxFollowsEvenWhenTheSecondProviderCannotBeReached)
{
    TickRig rig;
    rig.displays.provider = 0;
    rig.displays.secondProviderReachable = false;
    const auto s = test::ScriptedPlayer::RmcSample(1000);
    rig.store.ParseTelemetrySample(std::as_bytes(std::span(s.bytes)), s.timeMs);
    rig.At(kStateRunning, 800);
    rig.tick.Tick();
    EXPECT_EQ(rig.displays.calls, (std::vector<std::string> { "second 12700 3733", "speed 800" }));
}

TEST(TickWhilePaused, AtZeroOrAtTheEndPausesMarksTheThumbAndAdvances)
{
    for (const std::uint64_t position : { std::uint64_t { 0 }, std::uint64_t { 10000 } }) {
        for (const int state : { int(kStatePaused), int(kStateStopped) }) {
            TickRig rig;
            rig.At(state, position);
            rig.tick.Tick();
            EXPECT_EQ(rig.player.pauses, 1) << position << " " << state;
            EXPECT_EQ(rig.window.Slider(1002)->thumbOffset(), 1);
            EXPECT_EQ(rig.nexts, 1);
            EXPECT_TRUE(rig.displays.calls.empty());
        }
    }
}

TEST(TickWhilePaused, InTheMiddleRedrawsVideoTelemetryAndBothMapPanes)
{
    TickRig rig;
    rig.At(kStatePaused, 3000);
    rig.tick.Tick();
    EXPECT_EQ(rig.nexts, 0);
    EXPECT_EQ(rig.player.refreshes, 1);
    EXPECT_EQ(rig.window.Slider(1002)->thumbOffset(), 0);
    EXPECT_EQ(rig.Label(1014), "00:00:03");
    EXPECT_EQ(rig.displays.calls,
        (std::vector<std::string> { "strip 3000", "text 3000", "gauge 3000", "map+spare 3000" }));
}

TEST(TickWithoutGraph, FreshOrNoGraphLeavesEverythingAlone)
{
    for (const int state : { int(kStateNoGraph), int(kStateFresh) }) {
        TickRig rig;
        rig.window.Slider(1002)->setValue(77);
        rig.At(state, 5000);
        rig.tick.OnTimer();
        EXPECT_EQ(rig.window.Slider(1002)->value(), 77);
        EXPECT_EQ(rig.Label(1014), "00:00:00");
        EXPECT_EQ(rig.nexts, 0);
        EXPECT_EQ(rig.player.pauses, 0);
        EXPECT_TRUE(rig.displays.calls.empty());
    }
}

TEST(TickTimer, HeldLeftButtonHoldsTheRefreshButServesTheRequests)
{
    TickRig rig;
    rig.leftButtonHeld = true;
    rig.At(kStateRunning, 4000);
    rig.list.SetActivateRequest(true);
    rig.list.SetCloseRequest(true);
    rig.tick.OnTimer();
    EXPECT_EQ(rig.window.Slider(1002)->value(), 0);
    EXPECT_EQ(rig.plays, 1);
    EXPECT_EQ(rig.toggles, 1);
    EXPECT_FALSE(rig.list.activateRequest());
    EXPECT_FALSE(rig.list.closeRequest());
    rig.tick.OnTimer();
    EXPECT_EQ(rig.plays, 1);
    EXPECT_EQ(rig.toggles, 1);
}

TEST(TimeLabels, ShowWholeHoursMinutesAndSecondsWithoutWrapping)
{
    struct Case {
        std::uint32_t ms;
        const char* text;
    };
    const Case cases[] = {
        { 0, "00:00:00" },
        { 999, "00:00:00" },
        { (3 * 3600 + 25 * 60 + 7) * 1000u + 999, "03:25:07" },
        { 25 * 3600 * 1000u, "25:00:00" },
        { (123 * 3600 + 4 * 60 + 5) * 1000u, "123:04:05" },
        { 0xFFFFFFFFu, "1193:02:47" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClockText(c.ms), c.text) << c.ms;

    TickRig rig;
    rig.tick.UpdateTimeLabels(12345, (3 * 3600 + 25 * 60 + 7) * 1000u);
    EXPECT_EQ(rig.Label(1014), "00:00:12");
    EXPECT_EQ(rig.Label(1015), "03:25:07");
}

} // namespace
} // namespace velomira
