#include "playback/ffmpeg/Demuxer.h"

#include <pthread.h>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDemuxer, "velomira.playback.demuxer", QtWarningMsg)

namespace velomira::ffmpeg {

namespace {
constexpr size_t kEnoughPackets = 25;
constexpr int64_t kEnoughUs = 1000000;
constexpr int64_t kMostQueuedBytes = 24 << 20;
// A stage that takes a queue below half of it wakes the reader, as do a seek and a stop
// (a paused seek may take more than a second of packets to reach its picture); between
// those, the reader looks again seldom.
constexpr size_t kLowWaterPackets = kEnoughPackets / 2;
constexpr auto kFullQueuesWait = std::chrono::milliseconds(200);
} // namespace

Demuxer::Demuxer(MediaSource& source, PlaybackShared& shared)
    : m_source(source)
    , m_shared(shared)
    , m_routes(source.Context()->nb_streams, nullptr)
{ }

Demuxer::~Demuxer()
{
    Stop();
    for (PacketQueue* queue : m_queues)
        queue->SetLowWater(0, {});
}

void Demuxer::Route(int streamIndex, PacketQueue* queue)
{
    if (streamIndex < 0 || static_cast<size_t>(streamIndex) >= m_routes.size())
        return;
    m_routes[streamIndex] = queue;
    m_queues.push_back(queue);
    queue->SetLowWater(kLowWaterPackets, [this] { Wake(); });
}

void Demuxer::Start()
{
    // Streams nobody decodes are not even read.
    for (size_t i = 0; i < m_routes.size(); ++i)
        m_source.Context()->streams[i]->discard = m_routes[i] ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    m_thread = std::thread([this] { Run(); });
    pthread_setname_np(m_thread.native_handle(), "demux");
}

void Demuxer::Stop()
{
    m_stop = true;
    Wake();
    if (m_thread.joinable())
        m_thread.join();
}

void Demuxer::RequestSeek(int64_t targetUs, int serial)
{
    {
        std::lock_guard lock(m_mutex);
        m_seek = SeekRequest { targetUs, serial };
        m_woken = true;
    }
    m_wake.notify_all();
}

void Demuxer::Wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_wake.notify_all();
}

bool Demuxer::QueuesHaveEnough() const
{
    int64_t bytes = 0;
    bool all = true;
    for (const PacketQueue* queue : m_queues) {
        bytes += queue->Bytes();
        if (!queue->Enough(kEnoughPackets, kEnoughUs))
            all = false;
    }
    return all || bytes > kMostQueuedBytes;
}

void Demuxer::Run()
{
    AVFormatContext* context = m_source.Context();
    int serial = m_shared.serial.load();
    bool ended = false;
    PacketPtr packet = MakePacket();
    while (!m_stop) {
        std::optional<SeekRequest> seek;
        {
            std::lock_guard lock(m_mutex);
            seek.swap(m_seek);
        }
        if (seek) {
            // Backward: start at the key picture before the target; the decoders skip
            // to the target.
            if (av_seek_frame(context, -1, seek->targetUs, AVSEEK_FLAG_BACKWARD) < 0)
                av_seek_frame(context, -1, seek->targetUs, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
            for (PacketQueue* queue : m_queues)
                queue->Flush();
            serial = seek->serial;
            ended = false;
            m_endedSerial = -1;
        }
        if (ended || m_queues.empty() || QueuesHaveEnough()) {
            std::unique_lock lock(m_mutex);
            m_wake.wait_for(lock, kFullQueuesWait, [this] { return m_woken || m_stop.load(); });
            m_woken = false;
            continue;
        }
        const int result = av_read_frame(context, packet.get());
        if (result == AVERROR(EAGAIN))
            continue;
        if (result < 0) {
            // End of file, or a damaged or truncated file: what was read plays out.
            if (result != AVERROR_EOF)
                qCDebug(lcDemuxer) << "reading stops early:" << result;
            for (PacketQueue* queue : m_queues)
                queue->PushEnd(serial);
            ended = true;
            m_endedSerial = serial;
            continue;
        }
        const int index = packet->stream_index;
        if (index >= 0 && static_cast<size_t>(index) < m_routes.size()
            && m_routes[index] != nullptr) {
            packet->time_base = context->streams[index]->time_base;
            m_routes[index]->Push(std::move(packet), serial);
            packet = MakePacket();
        } else {
            av_packet_unref(packet.get());
        }
    }
}

} // namespace velomira::ffmpeg
