#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "trips/RecordingTrack.h"

namespace velomira {

// Reads the tracks of a list of files on worker threads of its own, in the order given, and
// hands them over as they come. The workers never call into the caller's objects except
// through `wake`, at most once until the next TakeResults: a wakeup, never the data.
class TrackCollector {
public:
    using Reader = std::function<RecordingTrack(const std::string& file)>;
    using Result = std::pair<std::size_t, RecordingTrack>; // index into the files, track

    // Starts `threads` workers (at least one). `wake` runs on a worker thread.
    TrackCollector(std::vector<std::string> files, Reader reader, unsigned threads,
        std::function<void()> wake);
    // Stops and joins.
    ~TrackCollector();
    TrackCollector(const TrackCollector&) = delete;
    TrackCollector& operator=(const TrackCollector&) = delete;

    // The workers take no further file and end after the one in hand; returns when they have.
    void Stop();
    // Waits until every file is read (or Stop was called).
    void Wait();
    // The tracks read since the last call, in the order they were read.
    std::vector<Result> TakeResults();
    std::size_t fileCount() const { return m_files.size(); }
    // Files read so far (taken or not).
    std::size_t readCount() const { return m_read.load(); }

private:
    void Work();

    const std::vector<std::string> m_files; // read only after construction
    const Reader m_reader;
    const std::function<void()> m_wake;
    std::atomic<std::size_t> m_next { 0 };
    std::atomic<std::size_t> m_read { 0 };
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_wakePending { false };
    std::mutex m_mutex; // guards m_results
    std::vector<Result> m_results;
    std::vector<std::thread> m_workers; // touched by the owning thread only
};

} // namespace velomira
