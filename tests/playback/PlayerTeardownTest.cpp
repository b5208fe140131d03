// What a player leaves behind when its recording goes: the windows it drew into, the
// pictures still on their way, and the time it takes with a sound server that never
// answers.
#include <gtest/gtest.h>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"

namespace velomira::test {
namespace {

struct Player {
    TestVideoWindow front { QSize(320, 180) };
    TestVideoWindow rear { QSize(160, 90) };
    MediaPlayer player;
    Player() { player.AttachWindows(2, &front, &rear); }
};

TEST(TornDown, WindowsNoLongerFedShowNoPicture)
{
    struct Case {
        const char* name;
        const char* next; // opened after the first recording; none: closed
        bool frontShows;
        bool rearShows;
    };
    const Case cases[] = {
        { "closed", nullptr, false, false },
        { "a one-stream recording follows", "front-only.mp4", true, false },
        { "a two-stream recording follows", "default.avi", true, true },
    };
    for (const Case& c : cases) {
        Player p;
        ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
        ASSERT_EQ(p.player.Run(), 1);
        ASSERT_TRUE(WaitUntil([&] {
            return !p.front.Image().isNull() && !p.rear.Image().isNull();
        })) << c.name;
        if (c.next == nullptr) {
            ASSERT_TRUE(p.player.Close());
        } else {
            ASSERT_TRUE(p.player.Open(Recording(c.next))) << c.name;
        }
        // The next recording's first pictures, where it has them.
        WaitUntil([&] {
            return p.front.Image().isNull() != c.frontShows
                && p.rear.Image().isNull() != c.rearShows;
        });
        Pump(150);
        EXPECT_EQ(!p.front.Image().isNull(), c.frontShows) << c.name;
        EXPECT_EQ(!p.rear.Image().isNull(), c.rearShows) << c.name;
    }
}

TEST(TornDown, NoPictureOfTheOldRecordingArrivesAfterTheNextOpens)
{
    // The old recording plays from picture 270 on; the new one has 120 pictures, so any
    // picture numbered 200 or more comes from the old one. Opening at various moments
    // of the old recording's decoding, at 2x to keep the decoders busy.
    Player p;
    for (int round = 0; round < 8; ++round) {
        ASSERT_TRUE(p.player.Open(Recording("long.mp4")));
        p.player.SetRate(2.0f);
        ASSERT_EQ(p.player.SeekMs(9000), 1);
        ASSERT_EQ(p.player.Run(), 1);
        ASSERT_TRUE(WaitUntil([&] {
            return p.front.Stamp() && p.front.Stamp()->frameNumber >= 270;
        })) << "round "
            << round;
        Pump(round * 7);
        ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
        p.front.ClearHistory();
        p.rear.ClearHistory();
        if (round % 2 == 1) {
            ASSERT_EQ(p.player.Run(), 1);
        }
        Pump(250);
        EXPECT_FALSE(p.front.History().empty()) << "round " << round;
        for (const TestVideoWindow* window : { &p.front, &p.rear }) {
            for (int frame : window->History())
                EXPECT_LT(frame, 200) << "round " << round;
        }
    }
}

} // namespace
} // namespace velomira::test
