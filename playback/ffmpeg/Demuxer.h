#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "playback/ffmpeg/MediaSource.h"
#include "playback/ffmpeg/PacketQueue.h"
#include "playback/ffmpeg/PlaybackShared.h"

namespace velomira::ffmpeg {

// Reads packets on its own thread and routes them to the decoder stages' queues until
// each holds about a second. Seek requests are merged: only the latest one is carried
// out, once per pass of the loop, and the queues are flushed with it.
class Demuxer {
public:
    Demuxer(MediaSource& source, PlaybackShared& shared);
    ~Demuxer();

    // Routes the packets of `streamIndex` into `queue` (before Start()).
    void Route(int streamIndex, PacketQueue* queue);
    void Start();
    void Stop();

    // Seek to `targetUs` for generation `serial` (the engine raised the serial).
    void RequestSeek(int64_t targetUs, int serial);
    // True when the end of the file was reached in generation `serial`.
    bool EndedIn(int serial) const { return m_endedSerial.load() == serial; }
    void Wake();

private:
    struct SeekRequest {
        int64_t targetUs = 0;
        int serial = 0;
    };
    void Run();
    bool QueuesHaveEnough() const;

    MediaSource& m_source;
    PlaybackShared& m_shared;
    std::vector<PacketQueue*> m_routes; // by stream index; fixed before Start()
    std::vector<PacketQueue*> m_queues; // fixed before Start()

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<SeekRequest> m_seek; // guarded by m_mutex
    bool m_woken = false; // guarded by m_mutex
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_endedSerial { -1 };
    std::thread m_thread;
};

} // namespace velomira::ffmpeg
