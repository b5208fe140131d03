// One table of operations with the states and answers the real player gives, run
// against the real player on a generated recording and against the scripted player the
// transport tests use, so that those tests assert only states the real player has.
#include <gtest/gtest.h>

#include <functional>

#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPort.h"
#include "playback/PlayerTestSupport.h"
#include "playback/TestVideoWindow.h"
#include "transport/ScriptedPlayer.h"

namespace velomira {
namespace {

struct Step {
    const char* name;
    std::function<int(PlayerPort&)> operation;
    int answer;
    int state;
};

int Opened(PlayerPort& player, const std::string& path)
{
    return player.Open(path) ? 1 : 0;
}

std::vector<Step> ContractSteps(const std::string& path)
{
    return {
        { "Open", [path](PlayerPort& p) { return Opened(p, path); }, 1, kStateStopped },
        { "Stop when stopped", [](PlayerPort& p) { return p.Stop(); }, 0, kStateStopped },
        { "SkipForward when stopped", [](PlayerPort& p) { return p.SkipForward(1.0); }, 0,
            kStateStopped },
        { "Run", [](PlayerPort& p) { return p.Run(); }, 1, kStateRunning },
        { "Run when running", [](PlayerPort& p) { return p.Run(); }, 0, kStateRunning },
        { "SetRate when running", [](PlayerPort& p) { return p.SetRate(2.0f); }, 1, kStateRunning },
        { "Pause", [](PlayerPort& p) { return p.Pause(); }, 1, kStatePaused },
        { "Pause when paused", [](PlayerPort& p) { return p.Pause(); }, 1, kStatePaused },
        { "SkipBack when paused", [](PlayerPort& p) { return p.SkipBack(1.0); }, 1, kStatePaused },
        { "Run when paused", [](PlayerPort& p) { return p.Run(); }, 1, kStateRunning },
        { "Stop", [](PlayerPort& p) { return p.Stop(); }, 1, kStateStopped },
        { "Pause when stopped", [](PlayerPort& p) { return p.Pause(); }, 1, kStatePaused },
        { "Stop when paused", [](PlayerPort& p) { return p.Stop(); }, 1, kStateStopped },
        { "SeekMs", [](PlayerPort& p) { return p.SeekMs(1000); }, 1, kStateStopped },
        { "Open again", [path](PlayerPort& p) { return Opened(p, path); }, 1, kStateStopped },
        { "Close", [](PlayerPort& p) { return p.Close() ? 1 : 0; }, 1, kStateNoGraph },
        { "Close without a graph", [](PlayerPort& p) { return p.Close() ? 1 : 0; }, 1,
            kStateNoGraph },
        { "Run without a graph", [](PlayerPort& p) { return p.Run(); }, 1, kStateNoGraph },
        { "Pause without a graph", [](PlayerPort& p) { return p.Pause(); }, 1, kStateNoGraph },
        { "Stop without a graph", [](PlayerPort& p) { return p.Stop(); }, 1, kStateNoGraph },
        { "SetRate without a graph", [](PlayerPort& p) { return p.SetRate(1.0f); }, 0,
            kStateNoGraph },
        { "SkipBack without a graph", [](PlayerPort& p) { return p.SkipBack(1.0); }, 0,
            kStateNoGraph },
        { "SeekMs without a graph", [](PlayerPort& p) { return p.SeekMs(500); }, 1, kStateNoGraph },
        { "Duration without a graph",
            [](PlayerPort& p) { return static_cast<int>(p.DurationMs()); }, 0, kStateNoGraph },
        { "VideoStreamCount without a graph", [](PlayerPort& p) { return p.VideoStreamCount(); }, 0,
            kStateNoGraph },
    };
}

void RunContract(PlayerPort& player, const char* which)
{
    for (const Step& step : ContractSteps(test::Recording("default.mp4"))) {
        EXPECT_EQ(step.operation(player), step.answer) << which << ": " << step.name;
        EXPECT_EQ(player.State(), step.state) << which << ": " << step.name;
    }
}

TEST(PlayerContract, TheRealPlayerFollowsTheTable)
{
    test::TestVideoWindow front(QSize(320, 180)), rear(QSize(160, 90));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    MediaPlayerPort port(player);
    RunContract(port, "real");
}

TEST(PlayerContract, TheScriptedPlayerFollowsTheSameTable)
{
    test::ScriptedPlayer player;
    RunContract(player, "scripted");
}

} // namespace
} // namespace velomira
