#include "playback/PlaybackGraph.h"

#include <algorithm>
#include <cmath>

#include "playback/VideoPresenter.h"
#include "playback/ffmpeg/PlaybackEngine.h"

namespace velomira {

PlaybackGraph::PlaybackGraph(int mode, VideoWindow* front, VideoWindow* rear, uint8_t sourceOption)
    : m_mode(mode)
    , m_front(front)
    , m_rear(rear)
    , m_sourceOption(sourceOption)
{ }

PlaybackGraph::~PlaybackGraph()
{
    TearDown();
}

void PlaybackGraph::TearDown()
{
    if (m_engine)
        m_engine->Shutdown();
    // No picture of this recording may stay on screen once it is gone: the views show
    // their empty look until the next recording's first picture (a window that the next
    // recording does not feed, such as the rear one of a one-stream file, stays empty).
    for (auto& presenter : m_presenters) {
        if (presenter)
            presenter->ClearWindow();
        presenter.reset();
    }
    m_engine.reset();
    m_built = false;
    m_state = kStateStopped;
}

bool PlaybackGraph::Load(const std::string& path)
{
    m_path = QString::fromStdString(path).left(260);
    m_engine = std::make_unique<PlaybackEngine>();
    if (!m_engine->Open(path, m_sourceOption)) {
        m_engine.reset();
        return false;
    }
    const RecordingInfo& info = m_engine->Info();
    m_videoStreamCount = static_cast<int32_t>(
        std::count(info.outputNames.begin(), info.outputNames.end(), "Video"));

    int outputs = 0;
    if (m_videoStreamCount == 1)
        outputs = 1;
    else if (m_videoStreamCount == 2)
        outputs = m_mode == 2 ? 2 : 1;
    if (outputs == 0)
        return true; // nothing to build: the telemetry is still delivered

    PlaybackEngine* engine = m_engine.get();
    auto serial = [engine] { return engine->Serial(); };
    m_presenters[0] = std::make_unique<VideoPresenter>(m_front, engine->Slot(0), serial);
    if (outputs == 2)
        m_presenters[1] = std::make_unique<VideoPresenter>(m_rear, engine->Slot(1), serial);
    // PCM plays without a decoder; compressed sound without a decoder stays silent
    // while the pictures still play.
    m_engine->Start(outputs, info.audioScore > 0);
    m_engine->SetWaveVolume(m_waveLeft, m_waveRight);
    m_engine->SetVolumeLevel(m_volumeLevel);
    m_state = kStateStopped;
    m_built = true;
    m_cachedDurationMs = static_cast<uint64_t>(std::max<int64_t>(0, info.durationMs));
    if (!info.videoSizes.empty()) {
        m_nativeWidth = info.videoSizes.front().width;
        m_nativeHeight = info.videoSizes.front().height;
    }
    return true;
}

int32_t PlaybackGraph::Run()
{
    if (!m_ready)
        return kResultNotReady;
    if (m_state != kStatePaused && m_state != kStateStopped)
        return kResultWrongState;
    if (m_built && PositionMs() == DurationMs())
        SeekMs(0);
    if (m_rate != 1.0f) {
        m_rate = std::clamp(m_rate, 0.5f, 2.0f);
    }
    if (m_engine) {
        m_engine->SetRate(m_rate);
        m_engine->SetPaused(false);
    }
    m_state = kStateRunning;
    return kResultOk;
}

int32_t PlaybackGraph::Pause()
{
    if (!m_ready)
        return kResultNotReady;
    if (m_engine)
        m_engine->SetPaused(true);
    m_state = kStatePaused;
    return kResultOk;
}

int32_t PlaybackGraph::Stop()
{
    if (!m_ready)
        return kResultNotReady;
    if (m_state != kStateRunning && m_state != kStatePaused)
        return kResultWrongState;
    if (m_engine)
        m_engine->SetPaused(true);
    m_state = kStateStopped;
    return kResultOk;
}

void PlaybackGraph::SetRate(float rate)
{
    const bool wasRunning = m_state == kStateRunning;
    Pause();
    m_rate = rate;
    if (wasRunning)
        Run();
}

int32_t PlaybackGraph::SeekMs(int64_t ms)
{
    if (m_engine && m_built)
        m_engine->Seek(std::max<int64_t>(0, ms));
    return kResultOk;
}

int32_t PlaybackGraph::SkipBy(double seconds)
{
    if (m_state != kStateRunning && m_state != kStatePaused)
        return kResultWrongState;
    const double target = static_cast<double>(PositionMs()) + seconds * 1000.0;
    const double clamped = std::clamp(target, 0.0, static_cast<double>(DurationMs()));
    return SeekMs(static_cast<int64_t>(clamped));
}

uint64_t PlaybackGraph::PositionMs() const
{
    if (!m_engine || !m_built)
        return 0;
    return static_cast<uint64_t>(std::max<int64_t>(0, m_engine->PositionMs()));
}

uint64_t PlaybackGraph::DurationMs() const
{
    if (!m_engine || !m_built)
        return 0;
    return m_cachedDurationMs;
}

int32_t PlaybackGraph::SetVolumeLevel(int level)
{
    m_volumeLevel = level;
    if (!m_engine || !m_engine->HasSound())
        return kResultFail;
    m_engine->SetVolumeLevel(level);
    return kResultOk;
}

void PlaybackGraph::SetWaveVolume(uint16_t left, uint16_t right)
{
    m_waveLeft = left;
    m_waveRight = right;
    if (m_engine)
        m_engine->SetWaveVolume(left, right);
}

int32_t PlaybackGraph::PullTextSample(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs)
{
    if (!m_engine)
        return kResultFail;
    return m_engine->PullTextSample(buffer, capacity, timeMs);
}

void PlaybackGraph::RefreshVideo()
{
    // Run on every paused tick: the stages are woken only when a view changed.
    bool changed = false;
    for (auto& presenter : m_presenters) {
        if (!presenter)
            continue;
        changed = presenter->UpdateGeometry() || changed;
        presenter->RepairWindow();
    }
    if (changed && m_engine)
        m_engine->RefreshPictures();
}

bool PlaybackGraph::RepaintFront()
{
    return m_presenters[0] && m_presenters[0]->ShowLastPicture();
}

int32_t PlaybackGraph::RefreshAfterResize()
{
    if (m_state == kStateRunning) {
        // The next pictures come at the new size; a view that showed nothing so far
        // learns here that it shows again.
        RefreshVideo();
        return kResultOk;
    }
    RefreshVideo();
    return SeekMs(static_cast<int64_t>(PositionMs()));
}

const RecordingInfo* PlaybackGraph::Info() const
{
    return m_engine ? &m_engine->Info() : nullptr;
}

} // namespace velomira
