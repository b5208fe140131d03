#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "playback/PlaybackClock.h"

namespace velomira::ffmpeg {

// State that every stage of one playback reads: the master clock and the seek
// generation. The engine writes it; the stages read it and the audio stage corrects
// the clock from the sound it has played.
class PlaybackShared {
public:
    static int64_t NowUs()
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    int64_t ClockUs() const
    {
        std::lock_guard lock(m_clockMutex);
        return m_clock.Get(NowUs());
    }
    bool Paused() const
    {
        std::lock_guard lock(m_clockMutex);
        return m_clock.Paused();
    }
    double Speed() const
    {
        std::lock_guard lock(m_clockMutex);
        return m_clock.Speed();
    }
    void SetClock(int64_t mediaUs)
    {
        std::lock_guard lock(m_clockMutex);
        m_clock.Set(mediaUs, NowUs());
    }
    void SetPaused(bool paused)
    {
        std::lock_guard lock(m_clockMutex);
        m_clock.SetPaused(paused, NowUs());
    }
    void SetSpeed(double speed)
    {
        std::lock_guard lock(m_clockMutex);
        m_clock.SetSpeed(speed, NowUs());
    }
    // Makes the clock follow the sound actually heard when they drift apart by more
    // than `toleranceUs`: the clock runs up to 10% faster or slower until they meet,
    // so a device that starts late never makes the position jump back. Ignored for a
    // stale generation or while paused.
    void SyncToAudio(int64_t audioUs, int serial, int64_t toleranceUs)
    {
        std::lock_guard lock(m_clockMutex);
        const int64_t nowUs = NowUs();
        const int64_t sinceUs = std::clamp<int64_t>(nowUs - m_lastSyncUs, 0, 100000);
        m_lastSyncUs = nowUs;
        if (serial != this->serial.load() || m_clock.Paused())
            return;
        const int64_t diff = m_clock.Get(nowUs) - audioUs;
        if (diff > toleranceUs || diff < -toleranceUs)
            m_clock.SlewTowards(audioUs, nowUs, sinceUs / 10);
    }

    // Seek generation: raised by every seek; packets and pictures of an older one are
    // never shown. seekTargetUs is written before serial is raised.
    std::atomic<int> serial { 0 };
    std::atomic<int64_t> seekTargetUs { 0 };
    // Pictures presented and dropped by all video stages.
    std::atomic<int64_t> presented { 0 };
    std::atomic<int64_t> dropped { 0 };

private:
    // Held only for the few arithmetic steps of the clock; never while decoding.
    mutable std::mutex m_clockMutex;
    PlaybackClock m_clock; // guarded by m_clockMutex
    int64_t m_lastSyncUs = 0; // guarded by m_clockMutex
};

} // namespace velomira::ffmpeg
