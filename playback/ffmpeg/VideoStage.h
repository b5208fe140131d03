#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/PacketQueue.h"
#include "playback/ffmpeg/PictureSlot.h"
#include "playback/ffmpeg/PlaybackShared.h"
#include "playback/ffmpeg/VideoConverter.h"

namespace velomira::ffmpeg {

// Decodes one video stream on its own thread and, at each picture's time on the master
// clock, publishes the window's visible part of it into the window's slot.
// Pictures of an older seek generation are never shown; the first picture at or after
// a seek target is shown at once, also while paused.
//
// While playing, the stage decodes a few pictures ahead in one go and converts each right
// after decoding it, while it is still in the processor's cache: one picture decoded on
// each wake-up, after the other threads have run, costs about a third more.
//
// While its window shows nothing (a hidden panel, or no window), the stage decodes
// nothing: it takes the packets off the queue at their time and keeps those from the key
// picture before the latest one. Shown again, it decodes from the last key picture up
// to the clock and shows the position's picture at once.
class VideoStage {
public:
    VideoStage(
        const AVStream* stream, PacketQueue& queue, PlaybackShared& shared, PictureSlot& slot);
    ~VideoStage();

    // False when no decoder opens for the stream (the stream then shows no picture).
    bool Start();
    void Stop();
    // Wakes the thread to look at the clock, the generation or the geometry again.
    void Wake();

    // True when every picture of generation `serial` has been handled.
    bool EndedIn(int serial) const { return m_endedSerial.load() == serial; }
    int64_t LastPtsUs() const { return m_lastPtsUs.load(); }

private:
    // A decoded picture waiting for its time, converted for the geometry of `generation`.
    struct Ahead {
        FramePtr frame;
        QImage image;
        QRect part;
        uint64_t generation = 0;
    };

    void Run();
    void RunHidden(int serial);
    void ShowAgain(int serial);
    std::optional<QueuedPacket> NextPacket(std::chrono::milliseconds wait);
    void Remember(const QueuedPacket& item);
    bool ReceiveFrame(int serial, std::chrono::milliseconds packetWait);
    void Enqueue(FramePtr frame, int serial);
    bool DecodeAhead(int serial, int64_t waitUs);
    void Present(int serial);
    void Publish(const AVFrame* frame, const ViewGeometry& geometry, int serial);
    // Until woken, or `us` but at most a short step (a long one when paused).
    void Sleep(int64_t us, bool paused = false);

    const AVStream* m_stream;
    PacketQueue& m_queue;
    PlaybackShared& m_shared;
    PictureSlot& m_slot;
    int64_t m_frameDurationUs = 33333;

    // Owned by the stage thread once started.
    CodecContextPtr m_decoder;
    VideoConverter m_converter;
    std::deque<Ahead> m_ahead; // decoded, waiting for their time, oldest first
    int m_aheadSerial = -1;
    std::size_t m_aheadLimit = 3;
    bool m_refilling = false;
    int64_t m_decodeUs = 0; // recent time to decode and convert one picture
    int64_t m_sendingUs = 0; // spent sending packets since the last picture
    std::deque<QueuedPacket> m_recent; // from the key picture before the latest one
    std::size_t m_recentBytes = 0;
    std::deque<QueuedPacket> m_replay; // to decode again before the queue's packets
    std::optional<QueuedPacket> m_held; // hidden: the next packet, waiting for its time
    bool m_hidden = false;
    int64_t m_catchUpUs = INT64_MIN; // shown again: pictures before it are not shown
    FramePtr m_beforeTarget; // last picture decoded before a seek target
    FramePtr m_shown; // last picture shown, kept for a redraw at a new size
    int m_shownSerial = -1;
    uint64_t m_shownGeneration = 0;
    int m_decoderSerial = -1;
    bool m_drained = false;

    std::atomic<bool> m_stop { false };
    std::atomic<int> m_endedSerial { -1 };
    std::atomic<int64_t> m_lastPtsUs { 0 };
    std::mutex m_wakeMutex;
    std::condition_variable m_wakeCondition;
    bool m_woken = false; // guarded by m_wakeMutex
    std::thread m_thread;
};

} // namespace velomira::ffmpeg
