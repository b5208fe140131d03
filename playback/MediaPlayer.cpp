#include "playback/MediaPlayer.h"

#include <algorithm>
#include <cmath>

#include "platform/FreedMemory.h"
#include "playback/PlaybackGraph.h"
#include "playback/ffmpeg/ComponentCheck.h"
#include "playback/ffmpeg/PlaybackEngine.h"

namespace velomira {

MediaPlayer::MediaPlayer() = default;

MediaPlayer::~MediaPlayer()
{
    Close();
}

void MediaPlayer::AttachWindows(int mode, VideoWindow* front, VideoWindow* rear)
{
    m_mode = mode;
    m_front = front;
    m_rear = rear;
    if (!m_graph)
        m_graph = std::make_unique<PlaybackGraph>(m_mode, m_front, m_rear, m_sourceOption);
}

int MediaPlayer::CheckComponents() const
{
    if (!m_graph)
        return -1;
    return CheckMediaComponents();
}

void MediaPlayer::SetSourceOption(uint8_t option)
{
    m_sourceOption = option;
}

bool MediaPlayer::Open(const std::string& path)
{
    if (m_front == nullptr || path.empty())
        return false;
    if (m_graph) {
        m_graph->Stop();
        m_graph->SeekMs(0);
        m_graph.reset();
        ReturnFreedMemory();
    }
    m_graph = std::make_unique<PlaybackGraph>(m_mode, m_front, m_rear, m_sourceOption);
    m_graph->SetWaveVolume(static_cast<uint16_t>(m_waveOutVolume & 0xFFFF),
        static_cast<uint16_t>(m_waveOutVolume >> 16));
    if (!m_graph->Load(path)) {
        m_graph.reset();
        return false;
    }
    return true;
}

bool MediaPlayer::Close()
{
    if (m_graph) {
        m_graph.reset();
        ReturnFreedMemory();
    }
    return true;
}

int MediaPlayer::Run()
{
    return !m_graph || m_graph->Run() == kResultOk ? 1 : 0;
}

int MediaPlayer::Pause()
{
    return !m_graph || m_graph->Pause() == kResultOk ? 1 : 0;
}

int MediaPlayer::Stop()
{
    return !m_graph || m_graph->Stop() == kResultOk ? 1 : 0;
}

int MediaPlayer::SetRate(float rate)
{
    if (!m_graph)
        return 0;
    m_graph->SetRate(rate);
    return 1;
}

int MediaPlayer::SeekMs(int32_t ms)
{
    return !m_graph || m_graph->SeekMs(ms) == kResultOk ? 1 : 0;
}

int MediaPlayer::SkipBack(double seconds)
{
    return m_graph && m_graph->SkipBy(-seconds) == kResultOk ? 1 : 0;
}

int MediaPlayer::SkipForward(double seconds)
{
    return m_graph && m_graph->SkipBy(seconds) == kResultOk ? 1 : 0;
}

uint64_t MediaPlayer::PositionMs() const
{
    return m_graph ? m_graph->PositionMs() : 0;
}

uint64_t MediaPlayer::DurationMs() const
{
    return m_graph ? m_graph->DurationMs() : 0;
}

int MediaPlayer::State() const
{
    return m_graph ? m_graph->State() : kStateNoGraph;
}

int MediaPlayer::VideoStreamCount() const
{
    return m_graph ? m_graph->VideoStreamCount() : 0;
}

int MediaPlayer::VolumeLevelFor(int volume)
{
    const double fraction = std::clamp(volume, 0, 100) / 100.0;
    const int level = static_cast<int>(1000.0 * std::log10(1e-10 + fraction * (1.0 - 1e-10)));
    // Full volume (level 0) is sent as silence, as the viewer always did; its
    // volume slider never reaches 100.
    return level == 0 ? -10000 : level;
}

float MediaPlayer::EffectiveRate(float rate)
{
    return rate == 1.0f ? rate : std::clamp(rate, 0.5f, 2.0f);
}

int MediaPlayer::SetVolume(int volume)
{
    if (!m_graph)
        return 1;
    return m_graph->SetVolumeLevel(VolumeLevelFor(volume)) == kResultOk ? 1 : 0;
}

void MediaPlayer::SetWaveOutVolume(uint32_t volume)
{
    m_waveOutVolume = volume;
    if (m_graph)
        m_graph->SetWaveVolume(
            static_cast<uint16_t>(volume & 0xFFFF), static_cast<uint16_t>(volume >> 16));
}

int MediaPlayer::PullTextSample(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs)
{
    if (!m_graph)
        return 1;
    return m_graph->PullTextSample(buffer, capacity, timeMs);
}

void MediaPlayer::RefreshVideo(double factor)
{
    (void)factor; // the windows report their own size; callers pass 1
    if (m_graph)
        m_graph->RefreshVideo();
}

int MediaPlayer::RepaintOnPaint(QPainter* painter)
{
    if (!m_graph)
        return 1;
    if (m_front == nullptr || painter == nullptr)
        return 0;
    m_graph->RepaintFront();
    return 1;
}

int MediaPlayer::RefreshAfterResize()
{
    return !m_graph || m_graph->RefreshAfterResize() == kResultOk ? 1 : 0;
}

const RecordingInfo* MediaPlayer::Info() const
{
    return m_graph ? m_graph->Info() : nullptr;
}

int64_t MediaPlayer::PicturesPresented() const
{
    return m_graph && m_graph->Engine() ? m_graph->Engine()->PicturesPresented() : 0;
}

int64_t MediaPlayer::PicturesDropped() const
{
    return m_graph && m_graph->Engine() ? m_graph->Engine()->PicturesDropped() : 0;
}

} // namespace velomira

namespace velomira {

bool MediaPlayer::SoundAudible() const
{
    return m_graph && m_graph->Engine() && m_graph->Engine()->SoundAudible();
}

int64_t MediaPlayer::SoundBytesToDevice() const
{
    return m_graph && m_graph->Engine() ? m_graph->Engine()->SoundBytesToDevice() : 0;
}

double MediaPlayer::SoundDeviceGain() const
{
    return m_graph && m_graph->Engine() ? m_graph->Engine()->SoundDeviceGain() : -1.0;
}

} // namespace velomira
