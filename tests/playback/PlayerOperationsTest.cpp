#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include <QElapsedTimer>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"

namespace velomira::test {
namespace {

struct Player {
    TestVideoWindow front { QSize(320, 180) };
    TestVideoWindow rear { QSize(160, 90) };
    MediaPlayer player;
    explicit Player(int mode = 2)
    {
        player.AttachWindows(mode, &front, mode == 2 ? &rear : nullptr);
    }
};

TEST(NoGraph, EveryOperationGivesItsNoGraphAnswer)
{
    MediaPlayer player;
    uint8_t buffer[16];
    uint32_t capacity = sizeof buffer;
    int32_t timeMs = 0;
    EXPECT_EQ(player.CheckComponents(), -1);
    EXPECT_TRUE(player.Close());
    EXPECT_EQ(player.Run(), 1);
    EXPECT_EQ(player.Pause(), 1);
    EXPECT_EQ(player.Stop(), 1);
    EXPECT_EQ(player.SetRate(2.0f), 0);
    EXPECT_EQ(player.SeekMs(1000), 1);
    EXPECT_EQ(player.SkipBack(1.0), 0);
    EXPECT_EQ(player.SkipForward(1.0), 0);
    EXPECT_EQ(player.PositionMs(), 0u);
    EXPECT_EQ(player.DurationMs(), 0u);
    EXPECT_EQ(player.State(), -1);
    EXPECT_EQ(player.VideoStreamCount(), 0);
    EXPECT_EQ(player.SetVolume(50), 1);
    EXPECT_EQ(player.PullTextSample(buffer, &capacity, &timeMs), 1);
    EXPECT_EQ(player.RepaintOnPaint(nullptr), 1);
    EXPECT_EQ(player.RefreshAfterResize(), 1);
    player.RefreshVideo(1);
}

TEST(NoGraph, OpenNeedsAFrontWindowAndAPath)
{
    MediaPlayer player;
    EXPECT_FALSE(player.Open(Recording("default.mp4")));
    EXPECT_EQ(player.State(), -1);
    Player attached;
    EXPECT_FALSE(attached.player.Open(""));
}

TEST(FreshGraph, AttachingCreatesAFreshGraphThatCannotRunOrStop)
{
    Player p;
    EXPECT_EQ(p.player.State(), 3);
    EXPECT_EQ(p.player.CheckComponents(), 1);
    EXPECT_EQ(p.player.Run(), 0);
    EXPECT_EQ(p.player.Stop(), 0);
    EXPECT_EQ(p.player.State(), 3);
    EXPECT_EQ(p.player.PositionMs(), 0u);
    EXPECT_EQ(p.player.DurationMs(), 0u);
}

TEST(StateTransitions, OpenRunPauseStopClose)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
    EXPECT_EQ(p.player.State(), 2);
    EXPECT_NEAR(static_cast<double>(p.player.DurationMs()), 4000.0, 40.0);
    EXPECT_EQ(p.player.Stop(), 0) << "stopping a stopped graph is refused";
    EXPECT_EQ(p.player.Run(), 1);
    EXPECT_EQ(p.player.State(), 0);
    EXPECT_EQ(p.player.Run(), 0) << "running a running graph is refused";
    EXPECT_EQ(p.player.Pause(), 1);
    EXPECT_EQ(p.player.State(), 1);
    EXPECT_EQ(p.player.Run(), 1);
    EXPECT_EQ(p.player.Stop(), 1);
    EXPECT_EQ(p.player.State(), 2);
    EXPECT_TRUE(p.player.Close());
    EXPECT_EQ(p.player.State(), -1);
}

TEST(StateTransitions, OpeningAgainReplacesTheGraph)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
    ASSERT_EQ(p.player.Run(), 1);
    ASSERT_TRUE(p.player.Open(Recording("front-only.mp4")));
    EXPECT_EQ(p.player.State(), 2);
    EXPECT_EQ(p.player.VideoStreamCount(), 1);
}

TEST(StateTransitions, PositionStandsStillWhilePausedAndStopped)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("long.mp4")));
    ASSERT_EQ(p.player.Run(), 1);
    Pump(300);
    for (auto halt : { &MediaPlayer::Pause, &MediaPlayer::Stop }) {
        ASSERT_EQ((p.player.*halt)(), 1);
        const uint64_t held = p.player.PositionMs();
        Pump(250);
        EXPECT_EQ(p.player.PositionMs(), held);
        ASSERT_EQ(p.player.Run(), 1);
        EXPECT_TRUE(WaitUntil([&] { return p.player.PositionMs() > held; }));
    }
}

TEST(EndOfRecording, PositionReachesTheDurationAndStaysWhileStateStaysRunning)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
    ASSERT_EQ(p.player.SeekMs(3600), 1);
    ASSERT_EQ(p.player.Run(), 1);
    ASSERT_TRUE(WaitUntil([&] { return p.player.PositionMs() == p.player.DurationMs(); }, 30000));
    Pump(300);
    EXPECT_EQ(p.player.PositionMs(), p.player.DurationMs());
    EXPECT_EQ(p.player.State(), 0);
    ASSERT_TRUE(p.front.Stamp());
    EXPECT_GE(p.front.Stamp()->frameNumber, 118) << "the last pictures were shown";
}

// A copy of `recording` whose movie header declares a length of almost 2^32 of its time
// units, as a damaged header may; the samples are untouched.
std::string WithBogusLength(const std::string& recording, const TempDir& folder)
{
    std::ifstream in(recording, std::ios::binary);
    std::string bytes { std::istreambuf_iterator<char>(in), {} };
    const std::size_t box = bytes.find("mvhd");
    if (box == std::string::npos || bytes[box + 4] != 0)
        return {};
    // version 0: version and flags (4), creation and modification (8), time scale (4)
    for (int i = 0; i < 4; ++i)
        bytes[box + 4 + 16 + i] = static_cast<char>(0xFF);
    const auto path = folder / "bogus-length.mp4";
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

TEST(EndOfRecording, ADeclaredLengthFarPastTheSamplesGivesWayToTheSamples)
{
    TempDir folder("velomira-bogus-length");
    const std::string bogus = WithBogusLength(Recording("default.mp4"), folder);
    ASSERT_FALSE(bogus.empty());
    Player intact;
    ASSERT_TRUE(intact.player.Open(Recording("default.mp4")));
    Player p;
    ASSERT_TRUE(p.player.Open(bogus));
    EXPECT_NEAR(p.player.DurationMs(), intact.player.DurationMs(), 100);
    // Playing reaches the end the samples have, so the next recording can start.
    ASSERT_EQ(p.player.SeekMs(p.player.DurationMs() - 400), 1);
    ASSERT_EQ(p.player.Run(), 1);
    EXPECT_TRUE(WaitUntil([&] { return p.player.PositionMs() == p.player.DurationMs(); }, 60000));
}

TEST(EndOfRecording, RunAtTheEndStartsAgainFromZero)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
    const auto durationMs = static_cast<int32_t>(p.player.DurationMs());
    ASSERT_EQ(p.player.SeekMs(durationMs), 1);
    ASSERT_EQ(p.player.PositionMs(), p.player.DurationMs());
    ASSERT_EQ(p.player.Run(), 1);
    EXPECT_LT(p.player.PositionMs(), 1000u);
    EXPECT_TRUE(WaitUntil([&] { return p.front.Stamp() && p.front.Stamp()->frameNumber < 30; }));
}

TEST(Rate, ClampingKeepsExactlyOneAndBoundsTheRest)
{
    const struct {
        float given, applied;
    } cases[] = { { 1.0f, 1.0f }, { 2.0f, 2.0f }, { 4.0f, 2.0f }, { 0.25f, 0.5f }, { 0.5f, 0.5f },
        { 1.5f, 1.5f }, { 0.0f, 0.5f }, { -3.0f, 0.5f } };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(MediaPlayer::EffectiveRate(c.given), c.applied) << c.given;
}

// Media milliseconds per real millisecond while running at `rate`.
double MeasuredSpeed(float rate)
{
    Player p;
    if (!p.player.Open(Recording("long.mp4")))
        return -1;
    p.player.SetRate(rate);
    p.player.Run();
    Pump(200);
    const uint64_t start = p.player.PositionMs();
    QElapsedTimer timer;
    timer.start();
    Pump(800);
    return static_cast<double>(p.player.PositionMs() - start)
        / static_cast<double>(timer.elapsed());
}

TEST(Rate, RunPlaysAtTheClampedRate)
{
    EXPECT_NEAR(MeasuredSpeed(4.0f), 2.0, 0.25);
    EXPECT_NEAR(MeasuredSpeed(0.25f), 0.5, 0.12);
    EXPECT_NEAR(MeasuredSpeed(1.0f), 1.0, 0.15);
}

TEST(Rate, ARateSetWhilePausedWaitsForTheNextRun)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("long.mp4")));
    ASSERT_EQ(p.player.Run(), 1);
    ASSERT_EQ(p.player.SetRate(2.0f), 1);
    EXPECT_EQ(p.player.State(), 0);
    ASSERT_EQ(p.player.Pause(), 1);
    ASSERT_EQ(p.player.SetRate(1.0f), 1);
    EXPECT_EQ(p.player.State(), 1);
}

TEST(Skips, StopAtBothEndsAndDoNothingWhileStopped)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
    EXPECT_EQ(p.player.SkipForward(1.0), 0) << "stopped";
    EXPECT_EQ(p.player.SkipBack(1.0), 0) << "stopped";
    ASSERT_EQ(p.player.Run(), 1);
    ASSERT_EQ(p.player.Pause(), 1);

    ASSERT_EQ(p.player.SeekMs(400), 1);
    ASSERT_EQ(p.player.SkipBack(1.0), 1);
    EXPECT_EQ(p.player.PositionMs(), 0u);

    ASSERT_EQ(p.player.SeekMs(3500), 1);
    ASSERT_EQ(p.player.SkipForward(1.0), 1);
    EXPECT_EQ(p.player.PositionMs(), p.player.DurationMs());

    ASSERT_EQ(p.player.SeekMs(2000), 1);
    ASSERT_EQ(p.player.SkipForward(1.0), 1);
    EXPECT_EQ(p.player.PositionMs(), 3000u);
    ASSERT_EQ(p.player.SkipBack(2.5), 1);
    EXPECT_EQ(p.player.PositionMs(), 500u);
}

TEST(Seeks, OutOfRangeTargetsAreClampedToTheRecording)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
    EXPECT_EQ(p.player.SeekMs(-500), 1);
    EXPECT_EQ(p.player.PositionMs(), 0u);
    EXPECT_EQ(p.player.SeekMs(999999), 1);
    EXPECT_EQ(p.player.PositionMs(), p.player.DurationMs());
}

TEST(Volume, LevelsInHundredthsOfADecibel)
{
    const struct {
        int volume, level;
    } cases[] = { { 0, -10000 }, { 50, -301 }, { 100, -10000 }, { 10, -999 }, { 1, -1999 },
        { 99, -4 }, { -5, -10000 }, { 150, -10000 } };
    for (const auto& c : cases)
        EXPECT_EQ(MediaPlayer::VolumeLevelFor(c.volume), c.level) << c.volume;
}

TEST(Sources, FilesThatAreNotRecordingsAreRefusedWithoutAGraph)
{
    TempDir dir;
    std::ofstream(dir / "text.mp4") << "this is not a recording\n";
    std::ofstream(dir / "empty.avi");
    // An MP4 cut short with no complete recording beside it to rebuild its index from.
    std::filesystem::copy_file(Recording("truncated.mp4"), dir / "truncated.mp4");
    const std::string paths[] = { Recording("random.mp4"), (dir / "truncated.mp4").string(),
        (dir / "text.mp4").string(), (dir / "empty.avi").string(), (dir / "missing.mp4").string() };
    for (const std::string& path : paths) {
        Player p;
        EXPECT_FALSE(p.player.Open(path)) << path;
        EXPECT_EQ(p.player.State(), -1) << path;
        EXPECT_EQ(p.player.Run(), 1) << path;
    }
}

TEST(Sources, ARecordingCutShortPlaysWhatIsThereAndEnds)
{
    // An AVI keeps its headers in front, so a recording cut short still opens; its
    // index is lost with the end, so the telemetry is read packet by packet.
    TempDir dir;
    const std::string cut = (dir / "cut.avi").string();
    {
        std::ifstream in(Recording("default.avi"), std::ios::binary);
        const std::string bytes(
            (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() * 6 / 10);
    }
    Player p;
    ASSERT_TRUE(p.player.Open(cut));
    EXPECT_EQ(p.player.VideoStreamCount(), 2);
    int samples = 0;
    int32_t lastMs = -1;
    for (;;) {
        uint8_t buffer[1024] = {};
        uint32_t capacity = sizeof buffer;
        int32_t timeMs = 0;
        if (p.player.PullTextSample(buffer, &capacity, &timeMs) != 0)
            break;
        EXPECT_GE(timeMs, lastMs);
        lastMs = timeMs;
        ++samples;
    }
    EXPECT_GT(samples, 5);
    EXPECT_LT(samples, 44);

    ASSERT_EQ(p.player.SeekMs(static_cast<int32_t>(p.player.DurationMs()) - 800), 1);
    ASSERT_EQ(p.player.Run(), 1);
    EXPECT_TRUE(WaitUntil([&] { return p.player.PositionMs() == p.player.DurationMs(); }, 30000))
        << p.player.PositionMs() << " of " << p.player.DurationMs();
    EXPECT_EQ(p.player.State(), 0);
}

TEST(Sources, AnMp4CutByAPowerLossPlaysThroughItsRebuiltIndexToItsEnd)
{
    // No index at all: the source rebuilds it from the complete recording beside it.
    const auto cut = test::TestDataDir() / "cut" / "two-cameras" / "half.mp4";
    Player p;
    ASSERT_TRUE(p.player.Open(cut.string()));
    EXPECT_EQ(p.player.VideoStreamCount(), 2);
    const int32_t durationMs = static_cast<int32_t>(p.player.DurationMs());
    EXPECT_GT(durationMs, 1800);
    EXPECT_LT(durationMs, 2100);

    ASSERT_EQ(p.player.Run(), 1);
    EXPECT_TRUE(WaitUntil([&] { return p.player.PositionMs() == p.player.DurationMs(); }, 30000))
        << p.player.PositionMs() << " of " << durationMs;
    EXPECT_TRUE(WaitUntil([&] { return p.player.State() == 0; }, 30000));
    // Both cameras' last pictures before the cut were shown (the file holds 2 s of 4).
    ASSERT_TRUE(p.front.Stamp().has_value());
    ASSERT_TRUE(p.rear.Stamp().has_value());
    EXPECT_GE(p.front.Stamp()->frameNumber, 55);
    EXPECT_GE(p.rear.Stamp()->frameNumber, 55);
}

TEST(Sources, AnMp4CutShortWithItsIndexInFrontPlaysWhatIsThereAndEnds)
{
    // The index in front still lists every picture, but the pictures after the cut are
    // missing: playing reaches the end of what is there and stops there.
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("truncated-faststart.mp4")));
    EXPECT_EQ(p.player.VideoStreamCount(), 2);
    const int32_t durationMs = static_cast<int32_t>(p.player.DurationMs());
    EXPECT_GT(durationMs, 3900); // from the index, not from what is left

    ASSERT_EQ(p.player.Run(), 1);
    EXPECT_TRUE(WaitUntil([&] { return p.player.PositionMs() == p.player.DurationMs(); }, 30000))
        << p.player.PositionMs() << " of " << durationMs;
    // The last pictures were handed over before the end was reached: let them arrive.
    QCoreApplication::processEvents();
    ASSERT_TRUE(p.front.Stamp().has_value());
    ASSERT_TRUE(p.rear.Stamp().has_value());
    const int lastFront = p.front.Stamp()->frameNumber;
    // 60% of the bytes hold more than a second of both streams, not all four seconds.
    EXPECT_GT(lastFront, 30);
    EXPECT_LT(lastFront, 119);
    EXPECT_GT(p.rear.Stamp()->frameNumber, 30);

    const int shown = p.front.Shown() + p.rear.Shown();
    Pump(400);
    EXPECT_EQ(p.player.PositionMs(), p.player.DurationMs());
    EXPECT_EQ(p.front.Shown() + p.rear.Shown(), shown);
    EXPECT_EQ(p.player.State(), 0);

    // A seek back into what is there plays it again; one past the cut shows the last
    // picture there is.
    ASSERT_EQ(p.player.SeekMs(500), 1);
    EXPECT_TRUE(WaitUntil([&] { return p.player.PositionMs() < 1500; }, 30000));
    ASSERT_EQ(p.player.Pause(), 1);
    ASSERT_EQ(p.player.SeekMs(durationMs - 200), 1);
    EXPECT_TRUE(WaitUntil([&] {
        return p.front.Stamp().has_value() && p.front.Stamp()->frameNumber == lastFront;
    })) << p.front.Stamp()->frameNumber;
    EXPECT_TRUE(p.player.Close());
}

TEST(Sources, OneStreamFilesFeedOnlyTheFrontWindow)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("front-only.mp4")));
    EXPECT_EQ(p.player.VideoStreamCount(), 1);
    EXPECT_TRUE(WaitUntil([&] { return p.front.Stamp().has_value(); }));
    ASSERT_EQ(p.player.Run(), 1);
    Pump(300);
    EXPECT_EQ(p.rear.Shown(), 0);
}

TEST(Sources, AOneWindowPlayerShowsOnlyTheFrontStreamOfATwoStreamFile)
{
    Player p(1);
    ASSERT_TRUE(p.player.Open(Recording("default.mp4")));
    EXPECT_EQ(p.player.VideoStreamCount(), 2);
    ASSERT_TRUE(WaitUntil([&] { return p.front.Stamp().has_value(); }));
    EXPECT_EQ(p.front.Stamp()->streamId, 0);
    EXPECT_EQ(p.rear.Shown(), 0);
}

// Sound tests skip only when no sound server is named (scripts/test starts one); a named
// server that cannot be reached makes them fail.
bool SoundServerNamed()
{
    return !qEnvironmentVariableIsEmpty("PULSE_SERVER");
}

TEST(Sound, BytesHandedToTheDeviceFollowThePosition)
{
    if (!SoundServerNamed())
        GTEST_SKIP() << "no sound server named (scripts/test starts one)";
    // 48 kHz, 2 channels, 16 bits: 192 000 bytes per second heard; at 2x the tempo
    // change halves the bytes per second of the recording.
    struct Case {
        const char* name;
        const char* file;
        float rate;
        int32_t seekMs; // -1: none
        double bytesPerMediaSecond;
    };
    const Case cases[] = {
        { "compressed, mp4", "long.mp4", 1.0f, -1, 192000 },
        { "compressed, avi", "default.avi", 1.0f, -1, 192000 },
        { "pcm, mp4", "pcm.mp4", 1.0f, -1, 192000 },
        { "pcm, avi", "pcm.avi", 1.0f, -1, 192000 },
        { "after a seek", "long.mp4", 1.0f, 6000, 192000 },
        { "double speed", "long.mp4", 2.0f, -1, 96000 },
    };
    for (const Case& c : cases) {
        Player p;
        ASSERT_TRUE(p.player.Open(Recording(c.file))) << c.name;
        EXPECT_EQ(p.player.SetVolume(50), 1) << c.name;
        p.player.SetRate(c.rate);
        ASSERT_EQ(p.player.Run(), 1);
        // A sound server's sink may take its time (a null sink up to its latency of
        // two seconds) before it asks for more than the first fill: measure once the
        // sound flows.
        const auto flowing = [&](int64_t from) {
            return WaitUntil([&] { return p.player.SoundBytesToDevice() > from + 48000; }, 30000);
        };
        ASSERT_TRUE(flowing(0)) << c.name
                                << ": PULSE_SERVER=" << qgetenv("PULSE_SERVER").toStdString()
                                << " is named but no sound reached it";
        EXPECT_TRUE(p.player.SoundAudible()) << c.name;
        if (c.seekMs >= 0) {
            ASSERT_EQ(p.player.SeekMs(c.seekMs), 1);
            EXPECT_TRUE(flowing(p.player.SoundBytesToDevice())) << c.name;
        }
        if (c.seekMs >= 0) {
            EXPECT_GE(static_cast<int32_t>(p.player.PositionMs()), c.seekMs) << c.name;
        }
        // Three windows of 400 ms; the one nearest the expected rate counts, so that a
        // moment's starving of the audio thread on a busy machine does not decide, while a
        // stage that hands out nothing, or sound at the wrong rate or channel count, fails
        // in every window.
        double nearest = 0;
        std::ostringstream windows;
        for (int window = 0; window < 3; ++window) {
            const int64_t bytes0 = p.player.SoundBytesToDevice();
            const auto position0 = static_cast<double>(p.player.PositionMs());
            Pump(400);
            const int64_t bytes1 = p.player.SoundBytesToDevice();
            const auto position1 = static_cast<double>(p.player.PositionMs());
            if (position1 <= position0)
                break; // the end of the recording
            const double perMediaSecond
                = static_cast<double>(bytes1 - bytes0) / ((position1 - position0) / 1000.0);
            windows << ' ' << static_cast<int>(perMediaSecond);
            if (std::abs(perMediaSecond - c.bytesPerMediaSecond)
                < std::abs(nearest - c.bytesPerMediaSecond))
                nearest = perMediaSecond;
        }
        EXPECT_NEAR(nearest, c.bytesPerMediaSecond, c.bytesPerMediaSecond * 0.2)
            << c.name << ": bytes per second of the recording in each window:" << windows.str();
    }
}

TEST(Sound, TheDeviceAppliesTheVolumeTimesTheWaveOutVolume)
{
    if (!SoundServerNamed())
        GTEST_SKIP() << "no sound server named (scripts/test starts one)";
    struct Case {
        const char* name;
        int volume;
        uint32_t waveOut; // right channel in the high 16 bits
        double gain;
    };
    const Case cases[] = {
        { "50", 50, 0x7FFF7FFFu, 0.353560 }, // 10^(-301/2000) x 32767/65535
        { "99", 99, 0xFD6FFD6Fu, 0.985441 }, // 10^(-4/2000) x 64879/65535
        { "mute: wave-out 0", 99, 0u, 0.0 },
        { "volume 0", 0, 0xFFFFFFFFu, 0.0 },
        { "the louder channel counts", 99, 0x0000FD6Fu, 0.985441 },
        { "100 is sent as silence", 100, 0xFFFFFFFFu, 0.0 },
    };
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("long.mp4")));
    ASSERT_EQ(p.player.Run(), 1);
    for (const Case& c : cases) {
        p.player.SetVolume(c.volume);
        p.player.SetWaveOutVolume(c.waveOut);
        EXPECT_TRUE(WaitUntil([&] { return std::abs(p.player.SoundDeviceGain() - c.gain) < 1e-5; }))
            << c.name << ": " << p.player.SoundDeviceGain();
    }
    // Paused, a change still reaches the device.
    ASSERT_EQ(p.player.Pause(), 1);
    p.player.SetVolume(50);
    p.player.SetWaveOutVolume(0x7FFF7FFFu);
    EXPECT_TRUE(WaitUntil([&] { return std::abs(p.player.SoundDeviceGain() - 0.353560) < 1e-5; }))
        << p.player.SoundDeviceGain();
}

TEST(Sound, ARecordingWithoutSoundPlaysItsPictures)
{
    Player p;
    ASSERT_TRUE(p.player.Open(Recording("no-audio.mp4")));
    EXPECT_EQ(p.player.SetVolume(50), 0);
    ASSERT_EQ(p.player.Run(), 1);
    EXPECT_TRUE(WaitUntil([&] { return p.front.Stamp() && p.front.Stamp()->frameNumber > 10; }));
}

} // namespace
} // namespace velomira::test
