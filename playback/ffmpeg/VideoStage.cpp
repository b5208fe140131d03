#include "playback/ffmpeg/VideoStage.h"

#include <algorithm>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcVideoStage, "velomira.playback.video", QtWarningMsg)

namespace velomira::ffmpeg {

namespace {
constexpr int64_t kLongestSleepUs = 20000;
}

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

void VideoStage::Sleep(int64_t us)
{
    std::unique_lock lock(m_wakeMutex);
    m_wakeCondition.wait_for(lock,
        std::chrono::microseconds(std::clamp<int64_t>(us, 1, kLongestSleepUs)),
        [this] { return m_woken || m_stop.load(); });
    m_woken = false;
}

void VideoStage::Run()
{
    while (!m_stop) {
        const int serial = m_shared.serial.load();
        if (m_pending && m_pendingSerial != serial)
            m_pending.reset();

        // The window changed size or zoom: show the last picture again at the new size
        // (the picture waiting for its time, if any, stays waiting).
        uint64_t generation = 0;
        const ViewGeometry geometry = m_slot.Geometry(&generation);
        if (m_shown && m_shownSerial == serial && generation != m_shownGeneration) {
            Publish(m_shown.get(), geometry, serial);
            m_shownGeneration = generation;
            continue;
        }

        if (!m_pending) {
            if (m_drained && m_decoderSerial == serial)
                m_endedSerial = serial;
            ReceiveFrame(serial);
            continue;
        }

        const bool first = m_shownSerial != serial;
        if (m_shared.Paused() && !first) {
            Sleep(kLongestSleepUs);
            continue;
        }
        const int64_t ptsUs = ToMicroseconds(m_pending->best_effort_timestamp, m_stream->time_base);
        const FrameDecision decision
            = DecideFrame(ptsUs, m_shared.ClockUs(), m_frameDurationUs, m_shared.Speed(), first);
        switch (decision.action) {
        case FrameDecision::Action::Wait:
            Sleep(decision.waitUs);
            break;
        case FrameDecision::Action::Drop:
            m_lastPtsUs = ptsUs;
            m_pending.reset();
            ++m_shared.dropped;
            break;
        case FrameDecision::Action::Show:
            Present(serial);
            break;
        }
    }
}

bool VideoStage::ReceiveFrame(int serial)
{
    if (!m_drained && m_decoderSerial >= 0) {
        FramePtr frame = MakeFrame();
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
                && ptsUs + m_frameDurationUs / 2 < m_shared.seekTargetUs.load()) {
                m_beforeTarget = std::move(frame);
                return true;
            }
            m_pending = std::move(frame);
            m_pendingSerial = serial;
            return true;
        }
        if (result == AVERROR_EOF) {
            m_drained = true;
            // A seek past the last picture shows the last one.
            if (m_shownSerial != serial && m_decoderSerial == serial && m_beforeTarget) {
                m_pending = std::move(m_beforeTarget);
                m_pendingSerial = serial;
            }
            return true;
        }
        if (result != AVERROR(EAGAIN))
            return true; // a damaged picture: go on with the next
    }

    std::optional<QueuedPacket> item = m_queue.Pop(std::chrono::milliseconds(20));
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
    }
    if (m_drained)
        return true;
    const int sent = avcodec_send_packet(m_decoder.get(), item->packet.get());
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

void VideoStage::Present(int serial)
{
    uint64_t generation = 0;
    const ViewGeometry geometry = m_slot.Geometry(&generation);
    Publish(m_pending.get(), geometry, serial);
    ++m_shared.presented;
    m_lastPtsUs = ToMicroseconds(m_pending->best_effort_timestamp, m_stream->time_base);
    m_shown = std::move(m_pending);
    m_shownSerial = serial;
    m_shownGeneration = generation;
}

} // namespace velomira::ffmpeg
