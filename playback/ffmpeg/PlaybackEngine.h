#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "playback/ffmpeg/PictureSlot.h"
#include "playback/ffmpeg/RecordingInfo.h"

namespace velomira {

// One recording opened for playback on FFmpeg: the source, a demuxer thread, a decoder
// thread per shown video stream, the sound on a thread of its own, and the master
// clock. Every member is called from one thread (the user-interface thread) and none
// blocks on the playback threads: they are only told and polled.
class PlaybackEngine {
public:
    PlaybackEngine();
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    // Opens the file; false when the source does not accept it. The option byte is
    // handed to the source before the file is loaded.
    bool Open(const std::string& path, uint8_t sourceOption);
    const RecordingInfo& Info() const;
    uint8_t SourceOption() const;

    // Starts decoding the first `videoOutputs` video streams into slots 0 and 1 and the
    // sound (when `withAudio`), paused at the start: the first pictures are shown.
    // Wakeups of the slots must be set before.
    void Start(int videoOutputs, bool withAudio);
    bool Started() const;
    // Stops every playback thread; no wakeup is posted afterwards.
    void Shutdown();
    bool HasSound() const;
    // True while a sound device takes the sound.
    bool SoundAudible() const;

    void SetPaused(bool paused);
    void SetRate(double rate);
    // Seeks to `ms` (clamped to the recording); pictures of the target are shown.
    void Seek(int64_t ms);
    // The player volume in hundredths of a decibel (0 .. -10000).
    void SetVolumeLevel(int level);
    // The wave-output volume: two 16-bit channel levels (the loudest of the two).
    void SetWaveVolume(uint16_t left, uint16_t right);

    // Follows the master clock; DurationMs() at the end of the recording.
    int64_t PositionMs() const;
    int64_t DurationMs() const;

    // The next telemetry sample (see TelemetryReader); 38 at the end.
    int PullTextSample(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs);

    PictureSlot& Slot(int output);
    // The seek generation: a picture of an older one is not shown.
    int Serial() const;
    // Asks the video stages to show their last picture again (new geometry).
    void RefreshPictures();

    // PCM bytes (48 kHz, 2 channels, 16 bits) handed to the sound device since Start().
    int64_t SoundBytesToDevice() const;
    // The gain the sound device applies (0 .. 1), or -1 while none plays the sound.
    double SoundDeviceGain() const;

    int64_t PicturesPresented() const;
    int64_t PicturesDropped() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace velomira
