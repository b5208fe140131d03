#include "playback/ffmpeg/VideoStage.h"

#include <algorithm>
#include <pthread.h>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcVideoStage, "velomira.playback.video", QtWarningMsg)

namespace velomira::ffmpeg {

namespace {
// A stage sleeps until its next picture is due: a seek, pause or rate change wakes it,
// and a new view size is seen at the next picture at the latest (or after this long).
constexpr int64_t kLongestSleepUs = 100000;
// Paused, nothing changes until the engine wakes the stage (resume, seek, new geometry,
// stop): look again seldom, so a paused player costs next to nothing.
constexpr int64_t kPausedSleepUs = 200000;
// Decoded pictures held ahead: a burst refills the queue when one is left. A few are
// enough to ride out a busy moment, even at 2x, and more cost CPU: every picture held
// keeps a buffer out of the decoder's pool, so the decoder writes each new picture into
// memory that has long left the cache (a 1080p stream decoded in bursts of 16: about a
// quarter more CPU with the 16 pictures held than with none, a tenth more with 4). So
// the queue holds at least three pictures, and more only while they and their converted
// images fit a small budget (small pictures).
constexpr std::size_t kAheadBytes = 8 << 20;
constexpr std::size_t kLeastAhead = 3;
constexpr std::size_t kMostAhead = 30;
constexpr std::size_t kRefillAt = 1;
// Packets kept for showing a hidden view again; a stream with key pictures far apart
// keeps only the newest this many bytes.
constexpr std::size_t kMostRecentBytes = 32 << 20;

// Another reference to the same packet data (none when out of memory).
std::optional<QueuedPacket> Share(const QueuedPacket& item)
{
    QueuedPacket copy;
    copy.serial = item.serial;
    if (item.packet) {
        copy.packet = MakePacket();
        if (!copy.packet || av_packet_ref(copy.packet.get(), item.packet.get()) < 0)
            return std::nullopt;
    }
    return copy;
}

// A packet's presentation time (its decoding time when it has none) in microseconds.
int64_t PacketUs(const AVPacket& packet, AVRational timeBase)
{
    return ToMicroseconds(packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts, timeBase);
}

int64_t NowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

VideoStage::VideoStage(
    const AVStream* stream, PacketQueue& queue, PlaybackShared& shared, PictureSlot& slot)
    : m_stream(stream)
    , m_queue(queue)
    , m_shared(shared)
    , m_slot(slot)
{
    const AVRational rate
        = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    if (rate.num > 0 && rate.den > 0)
        m_frameDurationUs = av_rescale(1000000, rate.den, rate.num);
    // Converted straight into memory the window shows from, where it has such.
    m_converter.SetImageSource(
        [this](QSize size, QSize padded) { return m_slot.NewImage(size, padded); });
}

VideoStage::~VideoStage()
{
    Stop();
}

bool VideoStage::Start()
{
    const AVCodec* codec = avcodec_find_decoder(m_stream->codecpar->codec_id);
    if (codec == nullptr) {
        qCWarning(lcVideoStage) << "no decoder for video codec" << m_stream->codecpar->codec_id;
        return false;
    }
    m_decoder.reset(avcodec_alloc_context3(codec));
    if (!m_decoder || avcodec_parameters_to_context(m_decoder.get(), m_stream->codecpar) < 0)
        return false;
    m_decoder->pkt_timebase = m_stream->time_base;
    // One decoding thread per stream: two streams already keep two cores busy, and
    // frame threads would delay the first picture after a seek.
    m_decoder->thread_count = 1;
    if (avcodec_open2(m_decoder.get(), codec, nullptr) < 0) {
        qCWarning(lcVideoStage) << "video decoder does not open";
        m_decoder.reset();
        return false;
    }
    m_thread = std::thread([this] { Run(); });
    // Named after its stream, so that top -H and a profile tell the two pictures apart.
    const std::string name = "video " + std::to_string(m_stream->index);
    pthread_setname_np(m_thread.native_handle(), name.c_str());
    return true;
}

void VideoStage::Stop()
{
    m_stop = true;
    Wake();
    if (m_thread.joinable())
        m_thread.join();
}

void VideoStage::Wake()
{
    {
        std::lock_guard lock(m_wakeMutex);
        m_woken = true;
    }
    m_wakeCondition.notify_all();
    m_queue.Wake();
}

void VideoStage::Sleep(int64_t us, bool paused)
{
    std::unique_lock lock(m_wakeMutex);
    m_wakeCondition.wait_for(lock,
        std::chrono::microseconds(
            std::clamp<int64_t>(us, 1, paused ? kPausedSleepUs : kLongestSleepUs)),
        [this] { return m_woken || m_stop.load(); });
    m_woken = false;
}

void VideoStage::Run()
{
    while (!m_stop) {
        const int serial = m_shared.serial.load();
        if (m_aheadSerial != serial) {
            m_ahead.clear();
            m_refilling = false;
            m_aheadSerial = serial;
            m_recent.clear();
            m_recentBytes = 0;
            m_replay.clear();
            m_held.reset();
            m_catchUpUs = INT64_MIN;
        }

        uint64_t generation = 0;
        const ViewGeometry geometry = m_slot.Geometry(&generation);
        if (geometry.visibleRect.isEmpty()) {
            RunHidden(serial);
            continue;
        }
        if (m_hidden)
            ShowAgain(serial);

        // The window changed size or zoom: show the last picture again at the new size
        // (the pictures waiting for their time, if any, stay waiting).
        if (m_shown && m_shownSerial == serial && generation != m_shownGeneration) {
            Publish(m_shown.get(), geometry, serial);
            m_shownGeneration = generation;
            continue;
        }

        if (m_ahead.empty()) {
            if (m_drained && m_decoderSerial == serial)
                m_endedSerial = serial;
            ReceiveFrame(serial, std::chrono::milliseconds(20));
            continue;
        }

        const bool first = m_shownSerial != serial;
        if (m_shared.Paused() && !first) {
            Sleep(kPausedSleepUs, true);
            continue;
        }
        const int64_t ptsUs
            = ToMicroseconds(m_ahead.front().frame->best_effort_timestamp, m_stream->time_base);
        const FrameDecision decision
            = DecideFrame(ptsUs, m_shared.ClockUs(), m_frameDurationUs, m_shared.Speed(), first);
        switch (decision.action) {
        case FrameDecision::Action::Wait:
            if (!DecodeAhead(serial, decision.waitUs))
                Sleep(decision.waitUs);
            break;
        case FrameDecision::Action::Drop:
            m_lastPtsUs = ptsUs;
            m_ahead.pop_front();
            ++m_shared.dropped;
            break;
        case FrameDecision::Action::Show:
            Present(serial);
            break;
        }
    }
}

void VideoStage::RunHidden(int serial)
{
    if (!m_hidden) {
        m_hidden = true;
        m_ahead.clear(); // decoded for a view that no longer shows them
        m_refilling = false;
        m_replay.clear(); // still among the recent packets
    }
    if (!m_held) {
        m_held = m_queue.Pop(std::chrono::milliseconds(20));
        if (!m_held)
            return;
        if (m_held->serial != serial) {
            m_held.reset(); // read before the last seek
            return;
        }
    }
    if (m_held->packet) {
        const int64_t ptsUs = PacketUs(*m_held->packet, m_stream->time_base);
        const int64_t clockUs = m_shared.ClockUs();
        if (ptsUs != INT64_MIN && ptsUs > clockUs) {
            const double speed = std::max(0.1, m_shared.Speed());
            if (m_shared.Paused())
                Sleep(kPausedSleepUs, true);
            else
                Sleep(static_cast<int64_t>(static_cast<double>(ptsUs - clockUs) / speed));
            return;
        }
        if (ptsUs != INT64_MIN)
            m_lastPtsUs = ptsUs;
    } else {
        m_endedSerial = serial; // the end of the stream, at its time
    }
    Remember(*m_held);
    m_held.reset();
}

void VideoStage::ShowAgain(int serial)
{
    m_hidden = false;
    if (m_held) {
        // Taken off the queue but not yet due: it follows the packets decoded again.
        Remember(*m_held);
        m_held.reset();
    }
    // From the last key picture at or before the clock (the first kept, when none is).
    m_catchUpUs = m_shared.ClockUs();
    auto from = m_recent.begin();
    for (auto it = m_recent.begin(); it != m_recent.end(); ++it) {
        const AVPacket* packet = it->packet.get();
        if (packet == nullptr || (packet->flags & AV_PKT_FLAG_KEY) == 0)
            continue;
        const int64_t ptsUs = PacketUs(*packet, m_stream->time_base);
        if (ptsUs != INT64_MIN && ptsUs > m_catchUpUs)
            break;
        from = it;
    }
    m_replay.clear();
    for (auto it = from; it != m_recent.end(); ++it) {
        if (std::optional<QueuedPacket> copy = Share(*it))
            m_replay.push_back(std::move(*copy));
    }
    avcodec_flush_buffers(m_decoder.get());
    m_decoderSerial = serial;
    m_drained = false;
    m_endedSerial = -1;
    m_beforeTarget.reset();
    m_sendingUs = 0;
    m_ahead.clear();
    m_refilling = false;
    // Shown as after a seek: the first picture at or after the clock, at once.
    m_shownSerial = -1;
}

std::optional<QueuedPacket> VideoStage::NextPacket(std::chrono::milliseconds wait)
{
    if (!m_replay.empty()) {
        QueuedPacket item = std::move(m_replay.front());
        m_replay.pop_front();
        return item;
    }
    std::optional<QueuedPacket> item = m_queue.Pop(wait);
    if (item && item->serial == m_shared.serial.load())
        Remember(*item);
    return item;
}

void VideoStage::Remember(const QueuedPacket& item)
{
    std::optional<QueuedPacket> copy = Share(item);
    if (!copy)
        return;
    if (item.packet) {
        if ((item.packet->flags & AV_PKT_FLAG_KEY) != 0) {
            // Keep from the key picture before this one: the clock may still be short of
            // this one when the view is shown again.
            auto lastKey
                = std::find_if(m_recent.rbegin(), m_recent.rend(), [](const QueuedPacket& q) {
                      return q.packet && (q.packet->flags & AV_PKT_FLAG_KEY) != 0;
                  });
            if (lastKey != m_recent.rend()) {
                const auto keep = std::prev(lastKey.base());
                for (auto it = m_recent.begin(); it != keep; ++it)
                    m_recentBytes -= it->packet ? static_cast<std::size_t>(it->packet->size) : 0;
                m_recent.erase(m_recent.begin(), keep);
            }
        }
        m_recentBytes += static_cast<std::size_t>(item.packet->size);
    }
    m_recent.push_back(std::move(*copy));
    while (m_recentBytes > kMostRecentBytes && m_recent.size() > 1) {
        m_recentBytes -= m_recent.front().packet
            ? static_cast<std::size_t>(m_recent.front().packet->size)
            : 0;
        m_recent.pop_front();
    }
}

bool VideoStage::DecodeAhead(int serial, int64_t waitUs)
{
    if (m_ahead.size() <= kRefillAt)
        m_refilling = true;
    // A burst ends when the queue is full, the stream is decoded to its end or no packet
    // is ready; it pauses (and goes on after) when the next picture is due before one
    // more could be decoded.
    if (!m_refilling || m_ahead.size() >= m_aheadLimit
        || (m_drained && m_decoderSerial == serial)) {
        m_refilling = false;
        return false;
    }
    if (waitUs < 2 * m_decodeUs)
        return false;
    if (!ReceiveFrame(serial, std::chrono::milliseconds(0))) {
        m_refilling = false;
        return false;
    }
    return true;
}

bool VideoStage::ReceiveFrame(int serial, std::chrono::milliseconds packetWait)
{
    if (!m_drained && m_decoderSerial >= 0) {
        FramePtr frame = MakeFrame();
        const int64_t startUs = NowUs();
        const int result = avcodec_receive_frame(m_decoder.get(), frame.get());
        if (result == 0) {
            if (m_decoderSerial != serial)
                return true; // decoded before the last seek
            int64_t ptsUs = ToMicroseconds(frame->best_effort_timestamp, m_stream->time_base);
            if (ptsUs == INT64_MIN) {
                ptsUs = m_lastPtsUs + m_frameDurationUs;
                frame->best_effort_timestamp
                    = av_rescale_q(ptsUs, { 1, 1000000 }, m_stream->time_base);
            }
            // After a seek the decoder starts at the key picture before the target;
            // pictures before the target are decoded but not shown.
            if (m_shownSerial != serial
                && ptsUs + m_frameDurationUs / 2
                    < std::max(m_shared.seekTargetUs.load(), m_catchUpUs)) {
                m_beforeTarget = std::move(frame);
                return true;
            }
            Enqueue(std::move(frame), serial);
            // The time a picture takes, for judging whether another fits before the next
            // one is due: the decoder does its work when the packet is sent.
            const int64_t tookUs = m_sendingUs + NowUs() - startUs;
            m_sendingUs = 0;
            m_decodeUs = m_decodeUs == 0 ? tookUs : (3 * m_decodeUs + tookUs) / 4;
            return true;
        }
        if (result == AVERROR_EOF) {
            m_drained = true;
            // A seek past the last picture shows the last one.
            if (m_shownSerial != serial && m_decoderSerial == serial && m_beforeTarget)
                Enqueue(std::move(m_beforeTarget), serial);
            return true;
        }
        if (result != AVERROR(EAGAIN))
            return true; // a damaged picture: go on with the next
    }

    std::optional<QueuedPacket> item = NextPacket(packetWait);
    if (!item)
        return false;
    if (item->serial != m_shared.serial.load())
        return true; // read before the last seek
    if (item->serial != m_decoderSerial) {
        avcodec_flush_buffers(m_decoder.get());
        m_decoderSerial = item->serial;
        m_drained = false;
        m_endedSerial = -1;
        m_beforeTarget.reset();
        m_sendingUs = 0;
    }
    if (m_drained)
        return true;
    const int64_t startUs = NowUs();
    const int sent = avcodec_send_packet(m_decoder.get(), item->packet.get());
    m_sendingUs += NowUs() - startUs;
    if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_EOF)
        qCDebug(lcVideoStage) << "damaged video packet skipped";
    return true;
}

void VideoStage::Publish(const AVFrame* frame, const ViewGeometry& geometry, int serial)
{
    QRect part;
    QImage image = m_converter.Convert(frame, geometry, &part);
    if (!image.isNull())
        m_slot.Publish({ std::move(image), part,
            ToMicroseconds(frame->best_effort_timestamp, m_stream->time_base), serial });
}

void VideoStage::Enqueue(FramePtr frame, int serial)
{
    Ahead ahead;
    ahead.frame = std::move(frame);
    const ViewGeometry geometry = m_slot.Geometry(&ahead.generation);
    ahead.image = m_converter.Convert(ahead.frame.get(), geometry, &ahead.part);
    if (m_ahead.empty() && m_aheadSerial == serial) {
        // Hold about the same memory whatever the picture and view sizes: the decoded
        // picture (4:2:0) and the converted one both count.
        const auto bytes = static_cast<std::size_t>(std::max(1, ahead.frame->width))
                * static_cast<std::size_t>(std::max(1, ahead.frame->height)) * 3 / 2
            + static_cast<std::size_t>(std::max<qsizetype>(0, ahead.image.sizeInBytes()));
        m_aheadLimit = std::clamp<std::size_t>(kAheadBytes / bytes, kLeastAhead, kMostAhead);
    }
    m_ahead.push_back(std::move(ahead));
}

void VideoStage::Present(int serial)
{
    Ahead& ahead = m_ahead.front();
    uint64_t generation = 0;
    const ViewGeometry geometry = m_slot.Geometry(&generation);
    if (generation != ahead.generation) // converted before the window changed
        ahead.image = m_converter.Convert(ahead.frame.get(), geometry, &ahead.part);
    const int64_t ptsUs = ToMicroseconds(ahead.frame->best_effort_timestamp, m_stream->time_base);
    if (!ahead.image.isNull())
        m_slot.Publish({ std::move(ahead.image), ahead.part, ptsUs, serial });
    ++m_shared.presented;
    m_lastPtsUs = ptsUs;
    m_shown = std::move(ahead.frame);
    m_shownSerial = serial;
    m_shownGeneration = generation;
    m_catchUpUs = INT64_MIN;
    m_ahead.pop_front();
}

} // namespace velomira::ffmpeg
