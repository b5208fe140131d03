#pragma once

#include "playback/MediaPlayer.h"
#include "playback/PlayerPort.h"
#include "playback/ffmpeg/RecordingInfo.h"

namespace velomira {

// The viewer's MediaPlayer behind PlayerPort.
class MediaPlayerPort final : public PlayerPort {
public:
    explicit MediaPlayerPort(MediaPlayer& player)
        : m_player(player)
    { }

    void SetSourceOption(std::uint8_t option) override { m_player.SetSourceOption(option); }
    bool Open(const std::string& path) override { return m_player.Open(path); }
    bool Close() override { return m_player.Close(); }
    int Run() override { return m_player.Run(); }
    int Pause() override { return m_player.Pause(); }
    int Stop() override { return m_player.Stop(); }
    int SetRate(float rate) override { return m_player.SetRate(rate); }
    int SeekMs(std::int32_t ms) override { return m_player.SeekMs(ms); }
    int SkipBack(double seconds) override { return m_player.SkipBack(seconds); }
    int SkipForward(double seconds) override { return m_player.SkipForward(seconds); }
    std::uint64_t PositionMs() const override { return m_player.PositionMs(); }
    std::uint64_t DurationMs() const override { return m_player.DurationMs(); }
    int State() const override { return m_player.State(); }
    int VideoStreamCount() const override { return m_player.VideoStreamCount(); }
    int SetVolume(int volume) override { return m_player.SetVolume(volume); }
    void SetWaveOutVolume(std::uint32_t volume) override { m_player.SetWaveOutVolume(volume); }
    int PullTextSample(std::uint8_t* buffer, std::uint32_t* capacity, std::int32_t* timeMs) override
    {
        return m_player.PullTextSample(buffer, capacity, timeMs);
    }
    void RefreshVideo(double factor) override { m_player.RefreshVideo(factor); }
    bool WasRebuilt() const override
    {
        const RecordingInfo* info = m_player.Info();
        return info != nullptr && info->rebuilt;
    }

private:
    MediaPlayer& m_player;
};

} // namespace velomira
