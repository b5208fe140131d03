#pragma once

#include <cstdint>
#include <string>

namespace velomira {

// The player operations the transport commands, the loader and the tick use. The viewer
// drives the one MediaPlayer through MediaPlayerPort; tests put a scripted player behind
// the same interface. Units and results are those of MediaPlayer: milliseconds, states
// 0 running, 1 paused, 2 stopped, 3 fresh, -1 no graph.
class PlayerPort {
public:
    virtual ~PlayerPort() = default;

    virtual void SetSourceOption(std::uint8_t option) = 0;
    virtual bool Open(const std::string& path) = 0;
    virtual bool Close() = 0;
    virtual int Run() = 0;
    virtual int Pause() = 0;
    virtual int Stop() = 0;
    virtual int SetRate(float rate) = 0;
    virtual int SeekMs(std::int32_t ms) = 0;
    virtual int SkipBack(double seconds) = 0;
    virtual int SkipForward(double seconds) = 0;
    virtual std::uint64_t PositionMs() const = 0;
    virtual std::uint64_t DurationMs() const = 0;
    virtual int State() const = 0;
    virtual int VideoStreamCount() const = 0;
    virtual int SetVolume(int volume) = 0;
    virtual void SetWaveOutVolume(std::uint32_t volume) = 0;
    virtual int PullTextSample(std::uint8_t* buffer, std::uint32_t* capacity, std::int32_t* timeMs)
        = 0;
    virtual void RefreshVideo(double factor) = 0;
    // True when the open recording was cut short (a power loss) and plays through an
    // index rebuilt from its media data.
    virtual bool WasRebuilt() const { return false; }
};

} // namespace velomira
