#pragma once

#include <atomic>
#include <memory>
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
class AudioStage {
public:
    AudioStage(
        const AVStream* stream, QAudioDevice device, PacketQueue& queue, PlaybackShared& shared);
    ~AudioStage();

    // False when no decoder opens for the stream.
    bool Start();
    void Stop();

    void SetRate(double rate) { m_rate = rate; }
    // Linear gain, 0 .. 1: the player volume and the wave-output volume together.
    void SetGain(double gain) { m_gain = gain; }

    bool EndedIn(int serial) const { return m_endedSerial.load() == serial; }
    // True while the sound device plays (false when none opened).
    bool Audible() const { return m_audible.load(); }

private:
    void RunThread();
    void OpenSink();
    void Feed();
    void Restart(int serial);
    bool BuildFilter(double rate);
    // Decodes and filters until some sound is ready; false when none is ready now.
    bool Produce();
    void PushFilteredFrames();

    const AVStream* m_stream;
    QAudioDevice m_device;
    PacketQueue& m_queue;
    PlaybackShared& m_shared;

    // Owned by the audio thread once started.
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

    std::atomic<double> m_rate { 1.0 };
    std::atomic<double> m_gain { 1.0 };
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_audible { false };
    std::atomic<int> m_endedSerial { -1 };
    std::unique_ptr<QThread> m_thread;
};

} // namespace velomira::ffmpeg
