#pragma once

#include <cstdint>

namespace velomira {

// The master clock of playback: media time in microseconds that advances with the
// monotonic time it is given, scaled by the playback rate, and stands still while
// paused. It reads no time itself, so it is driven by given times in tests.
// Not thread-safe: its owner guards it.
class PlaybackClock {
public:
    // Media time `mediaUs` is current at monotonic time `nowUs`.
    void Set(int64_t mediaUs, int64_t nowUs);
    int64_t Get(int64_t nowUs) const;

    // Moves the clock toward `mediaUs` by at most `maxStepUs`, so that following
    // another clock (the sound) never makes it jump or run backwards.
    void SlewTowards(int64_t mediaUs, int64_t nowUs, int64_t maxStepUs);

    void SetPaused(bool paused, int64_t nowUs);
    bool Paused() const { return m_paused; }

    // Media seconds per real second (0.5 .. 2.0 in practice).
    void SetSpeed(double speed, int64_t nowUs);
    double Speed() const { return m_speed; }

private:
    int64_t m_mediaUs = 0;
    int64_t m_setAtUs = 0;
    double m_speed = 1.0;
    bool m_paused = true;
};

// What a video stage does with its next decoded picture.
struct FrameDecision {
    enum class Action { Show, Wait, Drop };
    Action action = Action::Show;
    // Real time to wait before looking again (Wait only), in microseconds.
    int64_t waitUs = 0;
};

// Decides the fate of a picture due at media time `ptsUs` when the clock reads
// `clockUs`. A picture whose successor is already due (late by one picture duration or
// more) is dropped, unless it is the first picture after a seek, which is always shown.
FrameDecision DecideFrame(
    int64_t ptsUs, int64_t clockUs, int64_t frameDurationUs, double speed, bool firstAfterSeek);

} // namespace velomira
