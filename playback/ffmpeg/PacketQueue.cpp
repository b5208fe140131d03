#include "playback/ffmpeg/PacketQueue.h"

namespace velomira::ffmpeg {

void PacketQueue::Push(PacketPtr packet, int serial)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_aborted)
            return;
        if (packet) {
            m_bytes += packet->size;
            m_durationTicks += packet->duration > 0 ? packet->duration : 0;
            if (packet->time_base.num > 0)
                m_timeBase = packet->time_base;
        } else {
            m_ended = true;
        }
        m_packets.push_back({ std::move(packet), serial });
        if (m_packets.size() >= m_lowWater)
            m_lowSignalled = false;
    }
    m_ready.notify_one();
}

std::optional<QueuedPacket> PacketQueue::Pop(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_ready.wait_for(lock, timeout, [this] { return m_aborted || m_woken || !m_packets.empty(); });
    m_woken = false;
    if (m_aborted || m_packets.empty())
        return std::nullopt;
    QueuedPacket item = std::move(m_packets.front());
    m_packets.pop_front();
    if (item.packet) {
        m_bytes -= item.packet->size;
        m_durationTicks -= item.packet->duration > 0 ? item.packet->duration : 0;
    }
    if (m_lowWake && !m_ended && !m_lowSignalled && m_packets.size() < m_lowWater) {
        m_lowSignalled = true;
        m_lowWake();
    }
    return item;
}

void PacketQueue::Flush()
{
    {
        std::lock_guard lock(m_mutex);
        m_packets.clear();
        m_bytes = 0;
        m_durationTicks = 0;
        m_ended = false;
        m_lowSignalled = false;
    }
    m_ready.notify_all();
}

void PacketQueue::Abort()
{
    {
        std::lock_guard lock(m_mutex);
        m_aborted = true;
    }
    m_ready.notify_all();
}

void PacketQueue::Reset()
{
    std::lock_guard lock(m_mutex);
    m_packets.clear();
    m_bytes = 0;
    m_durationTicks = 0;
    m_ended = false;
    m_aborted = false;
    m_woken = false;
    m_lowSignalled = false;
}

void PacketQueue::SetLowWater(size_t packets, std::function<void()> wake)
{
    std::lock_guard lock(m_mutex);
    m_lowWater = packets;
    m_lowWake = std::move(wake);
    m_lowSignalled = false;
}

void PacketQueue::Wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_ready.notify_all();
}

bool PacketQueue::Enough(size_t minPackets, int64_t minUs) const
{
    std::lock_guard lock(m_mutex);
    if (m_ended)
        return true;
    const int64_t durationUs = av_rescale_q(m_durationTicks, m_timeBase, { 1, 1000000 });
    return m_packets.size() >= minPackets && durationUs >= minUs;
}

int64_t PacketQueue::Bytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

} // namespace velomira::ffmpeg
