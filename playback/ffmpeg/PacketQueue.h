#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "playback/ffmpeg/FfmpegPtr.h"

namespace velomira::ffmpeg {

// One packet on its way from the demuxer to a decoder stage, stamped with the seek
// generation it was read in. A null packet marks the end of the stream.
struct QueuedPacket {
    PacketPtr packet;
    int serial = 0;
};

// A packet queue between the demuxer thread and one decoder stage. Pushing never
// blocks; the demuxer throttles itself on Enough(). Flush() drops everything queued and
// starts a new generation, so nothing read before a seek reaches a decoder after it.
class PacketQueue {
public:
    void Push(PacketPtr packet, int serial);
    void PushEnd(int serial) { Push(nullptr, serial); }
    // Waits up to `timeout` for a packet; nothing on timeout or abort.
    std::optional<QueuedPacket> Pop(std::chrono::milliseconds timeout);
    void Flush();
    void Abort();
    // Empties the queue and takes packets again after an Abort().
    void Reset();
    // Wakes a waiting Pop() without giving it a packet.
    void Wake();
    // Calls `wake` when a Pop() leaves fewer than `packets` packets and the end is not
    // queued: once, until the queue holds that many again. It runs under the queue's
    // lock, so it must not call back into the queue. An empty `wake` stops the calls.
    void SetLowWater(size_t packets, std::function<void()> wake);

    // True when the queue holds at least `minPackets` packets covering `minUs`, or has
    // its end marker: the demuxer needs to read no more for this stream yet.
    bool Enough(size_t minPackets, int64_t minUs) const;
    int64_t Bytes() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<QueuedPacket> m_packets; // guarded by m_mutex
    int64_t m_bytes = 0; // guarded by m_mutex
    int64_t m_durationTicks = 0; // guarded by m_mutex; sum of packet durations
    bool m_ended = false; // guarded by m_mutex; the end marker is queued
    bool m_aborted = false; // guarded by m_mutex
    bool m_woken = false; // guarded by m_mutex
    size_t m_lowWater = 0; // guarded by m_mutex
    std::function<void()> m_lowWake; // guarded by m_mutex
    bool m_lowSignalled = false; // guarded by m_mutex
    AVRational m_timeBase { 1, 1000000 }; // guarded by m_mutex
};

} // namespace velomira::ffmpeg
