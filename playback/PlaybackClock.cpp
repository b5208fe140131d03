#include "playback/PlaybackClock.h"

#include <algorithm>

namespace velomira {

void PlaybackClock::Set(int64_t mediaUs, int64_t nowUs)
{
    m_mediaUs = mediaUs;
    m_setAtUs = nowUs;
}

int64_t PlaybackClock::Get(int64_t nowUs) const
{
    if (m_paused)
        return m_mediaUs;
    return m_mediaUs + static_cast<int64_t>(static_cast<double>(nowUs - m_setAtUs) * m_speed);
}

void PlaybackClock::SlewTowards(int64_t mediaUs, int64_t nowUs, int64_t maxStepUs)
{
    const int64_t current = Get(nowUs);
    const int64_t step = std::clamp(
        mediaUs - current, -std::max<int64_t>(0, maxStepUs), std::max<int64_t>(0, maxStepUs));
    Set(current + step, nowUs);
}

void PlaybackClock::SetPaused(bool paused, int64_t nowUs)
{
    if (paused == m_paused)
        return;
    // Re-anchor so that the time spent paused is not counted.
    m_mediaUs = Get(nowUs);
    m_setAtUs = nowUs;
    m_paused = paused;
}

void PlaybackClock::SetSpeed(double speed, int64_t nowUs)
{
    m_mediaUs = Get(nowUs);
    m_setAtUs = nowUs;
    m_speed = speed > 0 ? speed : 1.0;
}

FrameDecision DecideFrame(
    int64_t ptsUs, int64_t clockUs, int64_t frameDurationUs, double speed, bool firstAfterSeek)
{
    if (firstAfterSeek)
        return { FrameDecision::Action::Show, 0 };
    const int64_t aheadUs = ptsUs - clockUs;
    if (aheadUs > 0) {
        const double realUs = static_cast<double>(aheadUs) / (speed > 0 ? speed : 1.0);
        return { FrameDecision::Action::Wait, std::max<int64_t>(1, static_cast<int64_t>(realUs)) };
    }
    if (-aheadUs >= std::max<int64_t>(frameDurationUs, 1))
        return { FrameDecision::Action::Drop, 0 };
    return { FrameDecision::Action::Show, 0 };
}

} // namespace velomira
