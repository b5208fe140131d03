#include <gtest/gtest.h>

#include <malloc.h>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"

namespace velomira::test {
namespace {

size_t HeapInUse()
{
    malloc_trim(0);
    return mallinfo2().uordblks;
}

// Opens and closes recordings `cycles` times, letting the first pictures arrive.
void Cycle(MediaPlayer& player, int cycles)
{
    const std::string names[]
        = { Recording("default.mp4"), Recording("default.avi"), Recording("pcm.mp4") };
    for (int i = 0; i < cycles; ++i) {
        ASSERT_TRUE(player.Open(names[i % 3]));
        if (i % 10 == 0) {
            player.Run();
            Pump(5);
        }
        ASSERT_TRUE(player.Close());
        QCoreApplication::processEvents();
    }
}

TEST(Lifetime, OpeningAndClosingOverAndOverLeavesTheHeapFlat)
{
    TestVideoWindow front(QSize(320, 180)), rear(QSize(160, 90));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    Cycle(player, 60); // warms up every cache the libraries keep
    const size_t before = HeapInUse();
    Cycle(player, 300);
    const size_t after = HeapInUse();
    EXPECT_LT(after, before + 1024 * 1024) << "heap grew from " << before << " to " << after;
}

TEST(Lifetime, ClosingWhilePicturesAreOnTheirWayLosesNothing)
{
    for (int i = 0; i < 20; ++i) {
        TestVideoWindow front(QSize(320, 180)), rear(QSize(160, 90));
        MediaPlayer player;
        player.AttachWindows(2, &front, &rear);
        ASSERT_TRUE(player.Open(Recording("long.mp4")));
        player.SetRate(2.0f);
        player.Run();
        Pump(i * 3);
    }
    // Wakeups posted by the closed players must not reach the windows that are gone.
    Pump(50);
}

} // namespace
} // namespace velomira::test
