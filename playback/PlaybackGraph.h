#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QString>

#include "playback/PlayerResults.h"
#include "playback/VideoWindow.h"

class QPainter;

namespace velomira {

class PlaybackEngine;
class VideoPresenter;
struct RecordingInfo;

// One recording's playback as `MediaPlayer` drives it: the state machine (3 fresh, 2
// stopped, 1 paused, 0 running), the rate kept for the next `Run`, and the engine with
// its presenters once a file is opened. User-interface thread only.
class PlaybackGraph {
public:
    PlaybackGraph(int mode, VideoWindow* front, VideoWindow* rear, uint8_t sourceOption);
    ~PlaybackGraph();

    // Loads the file into the source and builds the chains; false when the source
    // rejects the file. True also when no chain could be built.
    bool Load(const std::string& path);

    int32_t Run();
    int32_t Pause();
    int32_t Stop();
    void SetRate(float rate);
    int32_t SeekMs(int64_t ms);
    int32_t SkipBy(double seconds);

    uint64_t PositionMs() const;
    uint64_t DurationMs() const;
    int32_t State() const { return m_state; }
    int32_t VideoStreamCount() const { return m_videoStreamCount; }
    float Rate() const { return m_rate; }

    int32_t SetVolumeLevel(int level);
    void SetWaveVolume(uint16_t left, uint16_t right);
    int32_t PullTextSample(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs);

    void RefreshVideo();
    bool RepaintFront();
    int32_t RefreshAfterResize();

    // The opened recording, or nothing.
    const RecordingInfo* Info() const;
    const PlaybackEngine* Engine() const { return m_engine.get(); }

private:
    void TearDown();

    int m_mode;
    VideoWindow* m_front;
    VideoWindow* m_rear;
    uint8_t m_sourceOption;
    bool m_ready = true;
    bool m_built = false;
    int32_t m_state = kStateFresh;
    float m_rate = 1.0f;
    uint64_t m_cachedDurationMs = 0;
    int m_nativeWidth = 0;
    int m_nativeHeight = 0;
    int32_t m_videoStreamCount = 0;
    QString m_path;
    uint16_t m_waveLeft = 0xFFFF;
    uint16_t m_waveRight = 0xFFFF;
    int m_volumeLevel = 0;

    // TearDown() stops the engine's threads before the presenters they post to go.
    std::unique_ptr<PlaybackEngine> m_engine;
    std::unique_ptr<VideoPresenter> m_presenters[2];
};

} // namespace velomira
