#include "playback/ffmpeg/PlaybackEngine.h"

#include <algorithm>
#include <cmath>

#include "playback/ffmpeg/AudioStage.h"
#include "playback/ffmpeg/Demuxer.h"
#include "playback/ffmpeg/MediaSource.h"
#include "playback/ffmpeg/PacketQueue.h"
#include "playback/ffmpeg/PlaybackShared.h"
#include "playback/ffmpeg/TelemetryReader.h"
#include "playback/ffmpeg/VideoStage.h"

namespace velomira {

using namespace ffmpeg;

struct PlaybackEngine::Impl {
    std::unique_ptr<MediaSource> source;
    std::unique_ptr<TelemetryReader> telemetry;
    bool telemetryPrepared = false;
    uint8_t sourceOption = 0;
    RecordingInfo emptyInfo;

    // Shared with the audio thread, which may outlive the engine (see AudioStage).
    std::shared_ptr<PlaybackShared> shared = std::make_shared<PlaybackShared>();
    PictureSlot pictureSlots[2];
    PacketQueue videoQueues[2];
    std::shared_ptr<PacketQueue> audioQueue = std::make_shared<PacketQueue>();
    std::unique_ptr<Demuxer> demuxer;
    std::unique_ptr<VideoStage> video[2];
    std::shared_ptr<AudioStage> audio;
    double volumeGain = 1.0;
    double waveGain = 1.0;

    void StopThreads()
    {
        for (PacketQueue& queue : videoQueues)
            queue.Abort();
        audioQueue->Abort();
        for (auto& stage : video) {
            if (stage)
                stage->Stop();
        }
        if (audio)
            audio->Stop();
        if (demuxer)
            demuxer->Stop();
        for (auto& stage : video)
            stage.reset();
        audio.reset();
        demuxer.reset();
    }
    void WakeStages()
    {
        WakeVideo();
        if (demuxer)
            demuxer->Wake();
    }
    void WakeVideo()
    {
        for (auto& stage : video) {
            if (stage)
                stage->Wake();
        }
    }
    void ApplyGain()
    {
        if (audio)
            audio->SetGain(volumeGain * waveGain);
    }
    // True when everything of the current generation has been played out.
    bool PlayedOut() const
    {
        if (!demuxer)
            return false;
        const int serial = shared->serial.load();
        if (!demuxer->EndedIn(serial))
            return false;
        int64_t lastUs = 0;
        for (const auto& stage : video) {
            if (!stage)
                continue;
            if (!stage->EndedIn(serial))
                return false;
            lastUs = std::max(lastUs, stage->LastPtsUs());
        }
        if (audio && audio->Audible() && !audio->EndedIn(serial))
            return false;
        return shared->ClockUs() >= lastUs;
    }
};

PlaybackEngine::PlaybackEngine()
    : m(std::make_unique<Impl>())
{ }

PlaybackEngine::~PlaybackEngine()
{
    m->StopThreads();
}

bool PlaybackEngine::Open(const std::string& path, uint8_t sourceOption)
{
    m->StopThreads();
    m->telemetry.reset();
    m->telemetryPrepared = false;
    m->sourceOption = sourceOption;
    m->source = MediaSource::Open(path);
    return m->source != nullptr;
}

const RecordingInfo& PlaybackEngine::Info() const
{
    return m->source ? m->source->Info() : m->emptyInfo;
}

uint8_t PlaybackEngine::SourceOption() const
{
    return m->sourceOption;
}

void PlaybackEngine::Start(int videoOutputs, bool withAudio)
{
    if (!m->source || m->demuxer)
        return;
    m->shared->SetPaused(true);
    m->shared->SetClock(0);
    for (PacketQueue& queue : m->videoQueues)
        queue.Reset();
    m->audioQueue->Reset();
    m->demuxer = std::make_unique<Demuxer>(*m->source, *m->shared);
    AVFormatContext* context = m->source->Context();
    for (int n = 0; n < std::min(videoOutputs, 2); ++n) {
        const int index = m->source->VideoStream(n);
        if (index < 0)
            continue;
        auto stage = std::make_unique<VideoStage>(
            context->streams[index], m->videoQueues[n], *m->shared, m->pictureSlots[n]);
        if (stage->Start()) {
            m->demuxer->Route(index, &m->videoQueues[n]);
            m->video[n] = std::move(stage);
        }
    }
    const int audioIndex = m->source->AudioStream();
    if (withAudio && audioIndex >= 0) {
        auto stage
            = std::make_shared<AudioStage>(context->streams[audioIndex], m->audioQueue, m->shared);
        if (stage->Start() == AudioStage::StartResult::kStarted) {
            m->demuxer->Route(audioIndex, m->audioQueue.get());
            m->audio = std::move(stage);
            m->ApplyGain();
        } else {
            stage->Stop();
        }
    }
    m->demuxer->Start();
}

bool PlaybackEngine::Started() const
{
    return m->demuxer != nullptr;
}

void PlaybackEngine::Shutdown()
{
    m->StopThreads();
}

bool PlaybackEngine::HasSound() const
{
    return m->audio != nullptr;
}

bool PlaybackEngine::SoundAudible() const
{
    return m->audio != nullptr && m->audio->Audible();
}

void PlaybackEngine::SetPaused(bool paused)
{
    // A paused player is paused again on every tick: only a change wakes the threads.
    if (m->shared->Paused() == paused)
        return;
    m->shared->SetPaused(paused);
    m->WakeStages();
}

void PlaybackEngine::SetRate(double rate)
{
    m->shared->SetSpeed(rate);
    if (m->audio)
        m->audio->SetRate(rate);
    m->WakeStages();
}

void PlaybackEngine::Seek(int64_t ms)
{
    if (!m->demuxer)
        return;
    const int64_t targetUs = std::clamp<int64_t>(ms, 0, std::max<int64_t>(0, DurationMs())) * 1000;
    m->shared->seekTargetUs = targetUs;
    const int serial = m->shared->serial.fetch_add(1) + 1;
    m->shared->SetClock(targetUs);
    m->demuxer->RequestSeek(targetUs, serial);
    m->WakeStages();
}

void PlaybackEngine::SetVolumeLevel(int level)
{
    m->volumeGain = std::pow(10.0, std::clamp(level, -10000, 0) / 2000.0);
    if (level <= -10000)
        m->volumeGain = 0;
    m->ApplyGain();
}

void PlaybackEngine::SetWaveVolume(uint16_t left, uint16_t right)
{
    m->waveGain = std::max(left, right) / 65535.0;
    m->ApplyGain();
}

int64_t PlaybackEngine::PositionMs() const
{
    const int64_t durationMs = DurationMs();
    if (!m->demuxer)
        return 0;
    if (m->PlayedOut())
        return durationMs;
    return std::clamp<int64_t>(m->shared->ClockUs() / 1000, 0, durationMs);
}

int64_t PlaybackEngine::DurationMs() const
{
    return m->source ? m->source->Info().durationMs : 0;
}

int PlaybackEngine::PullTextSample(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs)
{
    if (!m->source)
        return TelemetryReader::kEndOfSamples;
    if (!m->telemetryPrepared) {
        m->telemetry = TelemetryReader::Create(*m->source);
        m->telemetryPrepared = true;
    }
    if (!m->telemetry)
        return TelemetryReader::kEndOfSamples;
    return m->telemetry->Next(buffer, capacity, timeMs);
}

PictureSlot& PlaybackEngine::Slot(int output)
{
    return m->pictureSlots[output == 1 ? 1 : 0];
}

int PlaybackEngine::Serial() const
{
    return m->shared->serial.load();
}

void PlaybackEngine::RefreshPictures()
{
    m->WakeVideo();
}

int64_t PlaybackEngine::SoundBytesToDevice() const
{
    return m->audio ? m->audio->BytesToDevice() : 0;
}

double PlaybackEngine::SoundDeviceGain() const
{
    return m->audio ? m->audio->DeviceGain() : -1.0;
}

int64_t PlaybackEngine::PicturesPresented() const
{
    return m->shared->presented.load();
}

int64_t PlaybackEngine::PicturesDropped() const
{
    return m->shared->dropped.load();
}

} // namespace velomira
