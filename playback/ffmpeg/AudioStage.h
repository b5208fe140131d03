#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include <QAudioDevice>

#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/PacketQueue.h"
#include "playback/ffmpeg/PlaybackShared.h"

class QAudioSink;
class QIODevice;
class QThread;

namespace velomira::ffmpeg {

// Decodes the sound on a thread of its own, changes its tempo without changing its
// pitch (atempo) for rates other than 1, converts it to 48 kHz 16-bit stereo and
// writes it to a QAudioSink. The sound it has actually handed out corrects the master
// clock. A sink that cannot start makes the stage swallow its packets silently: the
// video plays without sound and nothing is reported.
//
// A sound server that never answers blocks whatever thread calls into it, for as long
// as it likes: the device is therefore looked up and driven on the stage's own thread
// only, and Stop() waits a bounded time. A thread that does not end in that time is
// left to end on its own; it holds a reference to the stage, the queue and the shared
// state, so nothing it touches goes away before it does. Hence the stage is always
// held by a shared_ptr.
class AudioStage : public std::enable_shared_from_this<AudioStage> {
public:
    AudioStage(const AVStream* stream, std::shared_ptr<PacketQueue> queue,
        std::shared_ptr<PlaybackShared> shared);
    ~AudioStage();
    AudioStage(const AudioStage&) = delete;
    AudioStage& operator=(const AudioStage&) = delete;

    enum class StartResult {
        kNoDecoder, // nothing started
        kNoDevice, // the thread runs but has no sound device: Stop() it
        kStarted, // a device was found, or the lookup is still waiting for an answer
    };
    // Opens the decoder and starts the thread, which looks up the sound device; waits
    // for that answer a short, bounded time.
    StartResult Start();
    // Ends the thread; returns within kStopWaitMs whatever the sound server does.
    void Stop();

    void SetRate(double rate) { m_rate = rate; }
    // Linear gain, 0 .. 1: the player volume and the wave-output volume together.
    void SetGain(double gain) { m_gain = gain; }

    bool EndedIn(int serial) const { return m_endedSerial.load() == serial; }
    // True while the sound device plays (false when none opened).
    bool Audible() const { return m_audible.load(); }
    // Bytes of PCM (48 kHz, 2 channels, 16 bits) handed to the sound device so far.
    int64_t BytesToDevice() const { return m_bytesToDevice.load(); }
    // The gain the sound device applies as it reports it; -1 before it has one.
    double DeviceGain() const { return m_deviceGain.load(); }

    static constexpr int kStopWaitMs = 300;
    static constexpr int kDeviceLookupWaitMs = 300;

private:
    void RunThread();
    void LookUpDevice();
    void OpenSink();
    void Feed();
    void Restart(int serial);
    bool BuildFilter(double rate);
    // Decodes and filters until some sound is ready; false when none is ready now.
    bool Produce();
    void PushFilteredFrames();

    const AVCodecParameters* m_codecParameters; // read by Start() only
    const AVRational m_timeBase;
    const std::shared_ptr<PacketQueue> m_queue;
    const std::shared_ptr<PlaybackShared> m_shared;

    // Owned by the audio thread once started.
    QAudioDevice m_device;
    CodecContextPtr m_decoder;
    FilterGraphPtr m_filter;
    AVFilterContext* m_filterIn = nullptr; // owned by m_filter
    AVFilterContext* m_filterOut = nullptr; // owned by m_filter
    double m_filterRate = 1.0;
    FramePtr m_frame = MakeFrame();
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_output = nullptr; // owned by m_sink
    std::vector<char> m_pcm; // converted sound not yet written
    size_t m_pcmOffset = 0;
    int m_serial = -1;
    int64_t m_writtenMediaUs = INT64_MIN; // media time at the end of what was written
    int64_t m_producedMediaUs = INT64_MIN; // media time at the end of m_pcm
    bool m_inputEnded = false;
    bool m_suspended = false;
    double m_appliedGain = -1;

    // The device lookup's answer, for Start(). Guarded by m_lookupMutex.
    enum class Lookup { kPending, kNone, kFound };
    std::mutex m_lookupMutex;
    std::condition_variable m_lookupDone;
    Lookup m_lookup = Lookup::kPending;

    std::atomic<double> m_rate { 1.0 };
    std::atomic<double> m_gain { 1.0 };
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_audible { false };
    std::atomic<int> m_endedSerial { -1 };
    std::atomic<int64_t> m_bytesToDevice { 0 };
    std::atomic<double> m_deviceGain { -1.0 };
    // User-interface thread only. Released, not deleted, when Stop() leaves it running.
    std::unique_ptr<QThread> m_thread;
    // Who deletes m_thread once it is left running: see Stop().
    std::shared_ptr<std::atomic<int>> m_threadFate;
};

} // namespace velomira::ffmpeg
