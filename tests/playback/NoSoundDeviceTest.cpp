#include <gtest/gtest.h>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"

namespace velomira::test {
namespace {

// Runs in a program of its own: the sound server is pointed nowhere before Qt
// Multimedia looks for devices.
TEST(NoSoundDevice, TheVideoPlaysSilentlyAndNothingIsReported)
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/velomira-no-sound");
    TestVideoWindow front(QSize(320, 180)), rear(QSize(160, 90));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    ASSERT_TRUE(player.Open(Recording("default.mp4")));
    EXPECT_EQ(player.SetVolume(50), 0);
    ASSERT_EQ(player.Run(), 1);
    EXPECT_TRUE(WaitUntil([&] { return front.Stamp() && front.Stamp()->frameNumber >= 15; }));
    EXPECT_FALSE(player.SoundAudible());
    const uint64_t positionMs = player.PositionMs();
    EXPECT_GT(positionMs, 400u);
    EXPECT_NEAR(front.Stamp()->frameNumber, positionMs / (1000.0 / 30.0), 2.0);
}

} // namespace
} // namespace velomira::test
