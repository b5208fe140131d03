#include "playback/ffmpeg/PacketQueue.h"

#include <gtest/gtest.h>

namespace velomira::ffmpeg {
namespace {

// The reader sleeps while every queue is full enough; a stage that takes a queue below
// its low water wakes it once, and again only after the queue was refilled.
TEST(PacketQueue, TakingTheQueueBelowItsLowWaterWakesTheReaderOnce)
{
    PacketQueue queue;
    int wakes = 0;
    queue.SetLowWater(3, [&] { ++wakes; });
    for (int i = 0; i < 5; ++i)
        queue.Push(MakePacket(), 1);

    const auto pop = [&] { ASSERT_TRUE(queue.Pop(std::chrono::milliseconds(0))); };
    pop(); // 4 left
    pop(); // 3 left
    EXPECT_EQ(wakes, 0);
    pop(); // 2 left: below
    EXPECT_EQ(wakes, 1);
    pop();
    EXPECT_EQ(wakes, 1);

    queue.Push(MakePacket(), 1);
    queue.Push(MakePacket(), 1); // 3 again
    pop();
    EXPECT_EQ(wakes, 2);

    // A queue holding its end has nothing more to read; a flushed one starts afresh.
    queue.PushEnd(1);
    pop();
    EXPECT_EQ(wakes, 2);
    queue.Flush();
    for (int i = 0; i < 3; ++i)
        queue.Push(MakePacket(), 2);
    queue.SetLowWater(0, {});
    pop();
    EXPECT_EQ(wakes, 2);
}

} // namespace
} // namespace velomira::ffmpeg
