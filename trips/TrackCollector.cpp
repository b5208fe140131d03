#include "trips/TrackCollector.h"

#include <algorithm>

namespace velomira {

TrackCollector::TrackCollector(
    std::vector<std::string> files, Reader reader, unsigned threads, std::function<void()> wake)
    : m_files(std::move(files))
    , m_reader(std::move(reader))
    , m_wake(std::move(wake))
{
    const std::size_t count = std::min<std::size_t>(std::max(1u, threads), m_files.size());
    for (std::size_t i = 0; i < count; ++i)
        m_workers.emplace_back([this] { Work(); });
}

TrackCollector::~TrackCollector()
{
    Stop();
}

void TrackCollector::Stop()
{
    m_stop = true;
    Wait();
}

void TrackCollector::Wait()
{
    for (std::thread& worker : m_workers) {
        if (worker.joinable())
            worker.join();
    }
}

void TrackCollector::Work()
{
    while (!m_stop) {
        const std::size_t index = m_next++;
        if (index >= m_files.size())
            return;
        RecordingTrack track = m_reader(m_files[index]);
        {
            const std::lock_guard lock(m_mutex);
            m_results.emplace_back(index, std::move(track));
        }
        ++m_read;
        if (m_wake && !m_wakePending.exchange(true))
            m_wake();
    }
}

std::vector<TrackCollector::Result> TrackCollector::TakeResults()
{
    m_wakePending = false;
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_results, {});
}

} // namespace velomira
