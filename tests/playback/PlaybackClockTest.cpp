#include "playback/PlaybackClock.h"

#include <gtest/gtest.h>

namespace velomira {
namespace {

TEST(PlaybackClock, StandsStillWhilePausedAndRunsScaledByTheRate)
{
    PlaybackClock clock;
    clock.Set(1000, 0);
    EXPECT_EQ(clock.Get(500000), 1000) << "a new clock is paused";
    clock.SetPaused(false, 500000);
    EXPECT_EQ(clock.Get(600000), 101000);
    clock.SetSpeed(2.0, 600000);
    EXPECT_EQ(clock.Get(700000), 301000);
    clock.SetPaused(true, 700000);
    EXPECT_EQ(clock.Get(5000000), 301000);
    clock.SetPaused(false, 5000000);
    EXPECT_EQ(clock.Get(5000100), 301200) << "the paused time is not counted";
    clock.SetSpeed(0.5, 5000100);
    EXPECT_EQ(clock.Get(5001100), 301700);
}

TEST(PlaybackClock, ASeekSetsTheTimeWithoutLosingTheRate)
{
    PlaybackClock clock;
    clock.SetPaused(false, 0);
    clock.SetSpeed(2.0, 0);
    clock.Set(4000000, 100);
    EXPECT_EQ(clock.Get(1100), 4002000);
}

TEST(PlaybackClock, SlewingNeverJumpsOrRunsBackwards)
{
    const struct {
        const char* name;
        int64_t target, maxStep, expected;
    } cases[] = {
        { "far behind: one step back", 0, 100, 900 },
        { "far ahead: one step on", 5000, 100, 1100 },
        { "within a step: meets it", 1040, 100, 1040 },
        { "no step allowed", 0, 0, 1000 },
        { "a negative step counts as none", 0, -50, 1000 },
    };
    for (const auto& c : cases) {
        PlaybackClock clock;
        clock.Set(1000, 0);
        clock.SlewTowards(c.target, 0, c.maxStep);
        EXPECT_EQ(clock.Get(0), c.expected) << c.name;
    }
}

TEST(FrameDecision, EarlyPicturesWaitLatePicturesAreDroppedAndSeekPicturesShow)
{
    using A = FrameDecision::Action;
    const struct {
        const char* name;
        int64_t pts, clock, duration;
        double speed;
        bool first;
        A action;
        int64_t waitUs;
    } cases[] = {
        { "due now", 1000, 1000, 33333, 1.0, false, A::Show, 0 },
        { "a little late", 1000, 20000, 33333, 1.0, false, A::Show, 0 },
        { "late by a whole picture", 1000, 34333, 33333, 1.0, false, A::Drop, 0 },
        { "early at 1x", 50000, 10000, 33333, 1.0, false, A::Wait, 40000 },
        { "early at 2x waits half as long", 50000, 10000, 33333, 2.0, false, A::Wait, 20000 },
        { "early at 0.5x waits twice as long", 50000, 10000, 33333, 0.5, false, A::Wait, 80000 },
        { "first after a seek, however late", 0, 900000, 33333, 1.0, true, A::Show, 0 },
        { "first after a seek, however early", 900000, 0, 33333, 1.0, true, A::Show, 0 },
    };
    for (const auto& c : cases) {
        const FrameDecision d = DecideFrame(c.pts, c.clock, c.duration, c.speed, c.first);
        EXPECT_EQ(d.action, c.action) << c.name;
        if (c.action == A::Wait) {
            EXPECT_EQ(d.waitUs, c.waitUs) << c.name;
        }
    }
}

} // namespace
} // namespace velomira
