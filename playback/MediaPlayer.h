#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "playback/PlayerResults.h"
#include "playback/VideoWindow.h"

class QPainter;

namespace velomira {

class PlaybackGraph;
struct RecordingInfo;

// The viewer's only access to media playback. Every operation is called on the
// user-interface thread and returns at once: decoding, sound and presentation run on
// the back-end's threads, and state and position are polled.
//
// Units: positions and durations in milliseconds (unsigned 64-bit out, signed 32-bit
// seeks), skips in seconds. States: 0 running, 1 paused, 2 stopped, 3 fresh, -1 no
// graph.
class MediaPlayer {
public:
    MediaPlayer();
    ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // mode 1: one window (front); mode 2: front and rear windows.
    void AttachWindows(int mode, VideoWindow* front, VideoWindow* rear);
    // 1 when every media component is present, else the first missing one: -1 the
    // MP4/AVI demuxer, -2 the H.264 decoder, -3 the AAC decoder, -4 the `eq` filter.
    int CheckComponents() const;
    void SetSourceOption(uint8_t option);

    bool Open(const std::string& path);
    bool Close();
    int Run();
    int Pause();
    int Stop();
    int SetRate(float rate);
    int SeekMs(int32_t ms);
    int SkipBack(double seconds);
    int SkipForward(double seconds);
    uint64_t PositionMs() const;
    uint64_t DurationMs() const;
    int State() const;
    int VideoStreamCount() const;
    // 0 .. 100; see VolumeLevelFor().
    int SetVolume(int volume);
    // The wave-output volume of the viewer: left level in the low 16 bits, right in
    // the high 16 bits. Scales the sound on top of SetVolume().
    void SetWaveOutVolume(uint32_t volume);
    // Copies the next telemetry sample (at most *capacity bytes), stores the bytes
    // copied in *capacity and its time in ms in *timeMs; 0, 38 after the last one.
    int PullTextSample(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs);
    void RefreshVideo(double factor);
    int RepaintOnPaint(QPainter* painter);
    int RefreshAfterResize();

    // The opened recording's outputs, or nothing.
    const RecordingInfo* Info() const;
    // Pictures shown and dropped since the recording was opened.
    int64_t PicturesPresented() const;
    int64_t PicturesDropped() const;
    // True while the sound of the recording reaches a sound device.
    bool SoundAudible() const;
    // PCM bytes handed to the sound device since the recording was opened: 48 kHz,
    // 2 channels, 16 bits, so about 192 000 per second played at normal speed.
    int64_t SoundBytesToDevice() const;
    // The gain the sound device applies to the recording's sound (0 .. 1: the volume
    // and the wave-output volume together), or -1 while no device plays it.
    double SoundDeviceGain() const;

    // Hundredths of a decibel for a volume of 0 .. 100 (50 gives -301; 0 and 100 give
    // -10000).
    static int VolumeLevelFor(int volume);
    // The rate a `Run` applies: exactly 1.0 as it is, anything else within 0.5 .. 2.0.
    static float EffectiveRate(float rate);

private:
    int m_mode = 0;
    VideoWindow* m_front = nullptr;
    VideoWindow* m_rear = nullptr;
    uint8_t m_sourceOption = 1;
    uint32_t m_waveOutVolume = 0xFFFFFFFFu;
    std::unique_ptr<PlaybackGraph> m_graph;
};

} // namespace velomira
