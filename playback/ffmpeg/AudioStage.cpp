#include "playback/ffmpeg/AudioStage.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <cstring>

Q_LOGGING_CATEGORY(lcAudioStage, "velomira.playback.audio", QtWarningMsg)

namespace velomira::ffmpeg {

namespace {
constexpr int kOutputRate = 48000;
constexpr int kOutputChannels = 2;
constexpr int kBytesPerSecond = kOutputRate * kOutputChannels * 2;
// The sink's buffer: long enough to survive a busy moment, short enough for a seek.
constexpr int kSinkBufferBytes = kBytesPerSecond / 5;
// The clock follows the sound when they drift further apart than this.
constexpr int64_t kClockToleranceUs = 40000;
// How often the sink is topped up while playing: a fifth of its buffer, so it never runs
// low, and seldom enough that waking up costs little.
constexpr int kFeedIntervalMs = 20;
// Paused, the device needs nothing: look less often (a resume waits at most one step).
constexpr int kPausedFeedIntervalMs = 40;
// Where a stage's thread stands, for deleting its thread object once it is left running.
enum ThreadFate : int { kThreadRunning, kThreadFinished, kThreadLeft };
} // namespace

AudioStage::AudioStage(const AVStream* stream, std::shared_ptr<PacketQueue> queue,
    std::shared_ptr<PlaybackShared> shared)
    : m_codecParameters(stream->codecpar)
    , m_timeBase(stream->time_base)
    , m_queue(std::move(queue))
    , m_shared(std::move(shared))
{ }

AudioStage::~AudioStage()
{
    Stop();
}

AudioStage::StartResult AudioStage::Start()
{
    const AVCodec* codec = avcodec_find_decoder(m_codecParameters->codec_id);
    if (codec == nullptr)
        return StartResult::kNoDecoder;
    m_decoder.reset(avcodec_alloc_context3(codec));
    if (!m_decoder || avcodec_parameters_to_context(m_decoder.get(), m_codecParameters) < 0)
        return StartResult::kNoDecoder;
    m_decoder->pkt_timebase = m_timeBase;
    if (avcodec_open2(m_decoder.get(), codec, nullptr) < 0) {
        m_decoder.reset();
        return StartResult::kNoDecoder;
    }
    // The thread keeps the stage alive until it ends; the reference is dropped when the
    // thread function returns, so the finished thread object holds none.
    m_thread.reset(QThread::create([keep = shared_from_this()]() mutable {
        const std::shared_ptr<AudioStage> stage = std::move(keep);
        stage->RunThread();
    }));
    m_thread->setObjectName(QStringLiteral("sound"));
    m_threadFate = std::make_shared<std::atomic<int>>(kThreadRunning);
    QThread* thread = m_thread.get();
    QObject::connect(
        thread, &QThread::finished, thread,
        [thread, fate = m_threadFate] {
            if (fate->exchange(kThreadFinished) == kThreadLeft)
                thread->deleteLater();
        },
        Qt::DirectConnection);
    m_thread->start();

    std::unique_lock lock(m_lookupMutex);
    m_lookupDone.wait_for(lock, std::chrono::milliseconds(kDeviceLookupWaitMs),
        [this] { return m_lookup != Lookup::kPending; });
    return m_lookup == Lookup::kNone ? StartResult::kNoDevice : StartResult::kStarted;
}

void AudioStage::Stop()
{
    m_stop = true;
    if (!m_thread)
        return;
    if (m_thread->wait(QDeadlineTimer(kStopWaitMs))) {
        m_thread.reset();
        return;
    }
    // The thread is stuck in a call to the sound server. It ends on its own when the
    // call returns; whoever sees the other side's mark last deletes the thread object.
    qCWarning(lcAudioStage) << "the sound device does not answer; its thread ends on its own";
    QThread* thread = m_thread.release();
    if (m_threadFate->exchange(kThreadLeft) == kThreadFinished) {
        thread->wait();
        delete thread;
    }
}

void AudioStage::RunThread()
{
    LookUpDevice();
    if (!m_stop)
        OpenSink();
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(kFeedIntervalMs);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (m_stop) {
            loop.quit();
            return;
        }
        Feed();
        const int interval = m_shared->Paused() ? kPausedFeedIntervalMs : kFeedIntervalMs;
        if (timer.interval() != interval)
            timer.setInterval(interval);
    });
    timer.start();
    if (!m_stop)
        loop.exec();
    timer.stop();
    if (m_sink)
        m_sink->stop();
    m_sink.reset();
    m_filter.reset();
}

void AudioStage::LookUpDevice()
{
    // The first look of the process connects to the sound server and waits for it.
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    std::lock_guard lock(m_lookupMutex);
    m_device = std::move(device);
    m_lookup = m_device.isNull() ? Lookup::kNone : Lookup::kFound;
    m_lookupDone.notify_all();
}

void AudioStage::OpenSink()
{
    if (m_device.isNull())
        return;
    QAudioFormat format;
    format.setSampleRate(kOutputRate);
    format.setChannelCount(kOutputChannels);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = std::make_unique<QAudioSink>(m_device, format);
    m_sink->setBufferSize(kSinkBufferBytes);
    m_output = m_sink->start();
    if (m_output == nullptr || m_sink->error() != QAudio::NoError) {
        qCDebug(lcAudioStage) << "no sound device opens; playing without sound";
        m_sink.reset();
        m_output = nullptr;
        return;
    }
    m_audible = true;
}

void AudioStage::Restart(int serial)
{
    m_serial = serial;
    avcodec_flush_buffers(m_decoder.get());
    m_filter.reset();
    m_pcm.clear();
    m_pcmOffset = 0;
    m_writtenMediaUs = INT64_MIN;
    m_producedMediaUs = INT64_MIN;
    m_inputEnded = false;
    m_endedSerial = -1;
    if (m_sink) {
        // Drop what the device still holds from before the seek.
        m_sink->reset();
        m_output = m_sink->start();
        m_suspended = false;
        if (m_output == nullptr) {
            m_sink.reset();
            m_audible = false;
            m_deviceGain = -1.0;
        }
    }
}

bool AudioStage::BuildFilter(double rate)
{
    m_filter.reset(avfilter_graph_alloc());
    if (!m_filter)
        return false;
    AVChannelLayout layout {}; // copying into it frees what it holds: start empty
    if (m_decoder->ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
        av_channel_layout_copy(&layout, &m_decoder->ch_layout);
    else
        av_channel_layout_default(&layout, std::max(1, m_decoder->ch_layout.nb_channels));
    char layoutName[64] = {};
    av_channel_layout_describe(&layout, layoutName, sizeof layoutName);
    av_channel_layout_uninit(&layout);
    char args[256];
    std::snprintf(args, sizeof args,
        "time_base=1/%d:sample_rate=%d:sample_fmt=%s:channel_layout=%s", m_decoder->sample_rate,
        m_decoder->sample_rate, av_get_sample_fmt_name(m_decoder->sample_fmt), layoutName);
    if (avfilter_graph_create_filter(
            &m_filterIn, avfilter_get_by_name("abuffer"), "in", args, nullptr, m_filter.get())
            < 0
        || avfilter_graph_create_filter(&m_filterOut, avfilter_get_by_name("abuffersink"), "out",
               nullptr, nullptr, m_filter.get())
            < 0) {
        m_filter.reset();
        return false;
    }
    char chain[256];
    if (rate == 1.0)
        std::snprintf(chain, sizeof chain,
            "aformat=sample_fmts=s16:sample_rates=%d:channel_layouts=stereo", kOutputRate);
    else
        std::snprintf(chain, sizeof chain,
            "atempo=%.3f,aformat=sample_fmts=s16:sample_rates=%d:channel_layouts=stereo", rate,
            kOutputRate);
    AVFilterInOut* outputs = avfilter_inout_alloc();
    AVFilterInOut* inputs = avfilter_inout_alloc();
    outputs->name = av_strdup("in");
    outputs->filter_ctx = m_filterIn;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = m_filterOut;
    const bool ok = avfilter_graph_parse_ptr(m_filter.get(), chain, &inputs, &outputs, nullptr) >= 0
        && avfilter_graph_config(m_filter.get(), nullptr) >= 0;
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (!ok) {
        m_filter.reset();
        return false;
    }
    m_filterRate = rate;
    return true;
}

void AudioStage::PushFilteredFrames()
{
    const double rate = m_filterRate;
    while (av_buffersink_get_frame(m_filterOut, m_frame.get()) >= 0) {
        const size_t bytes = static_cast<size_t>(m_frame->nb_samples) * kOutputChannels * 2;
        m_pcm.insert(m_pcm.end(), reinterpret_cast<const char*>(m_frame->data[0]),
            reinterpret_cast<const char*>(m_frame->data[0]) + bytes);
        m_producedMediaUs += static_cast<int64_t>(m_frame->nb_samples * 1e6 / kOutputRate * rate);
        av_frame_unref(m_frame.get());
    }
}

bool AudioStage::Produce()
{
    const double rate = m_rate.load();
    if (!m_filter || rate != m_filterRate) {
        if (!BuildFilter(rate))
            return false;
    }
    while (m_pcmOffset >= m_pcm.size()) {
        m_pcm.clear();
        m_pcmOffset = 0;
        const int received = avcodec_receive_frame(m_decoder.get(), m_frame.get());
        if (received == 0) {
            const int64_t ptsUs = ToMicroseconds(m_frame->best_effort_timestamp, m_timeBase);
            const int64_t lengthUs = static_cast<int64_t>(m_frame->nb_samples) * 1000000
                / std::max(1, m_frame->sample_rate);
            if (ptsUs != INT64_MIN && ptsUs + lengthUs <= m_shared->seekTargetUs.load()
                && m_producedMediaUs == INT64_MIN) {
                av_frame_unref(m_frame.get());
                continue; // before the seek target
            }
            if (m_producedMediaUs == INT64_MIN)
                m_producedMediaUs = ptsUs != INT64_MIN ? ptsUs : m_shared->seekTargetUs.load();
            if (av_buffersrc_add_frame(m_filterIn, m_frame.get()) < 0)
                av_frame_unref(m_frame.get());
            PushFilteredFrames();
            continue;
        }
        if (received == AVERROR_EOF) {
            if (m_filterIn != nullptr && !m_inputEnded) {
                if (av_buffersrc_add_frame(m_filterIn, nullptr) < 0)
                    m_filter.reset();
                else
                    PushFilteredFrames();
            }
            m_inputEnded = true;
            if (m_pcm.empty())
                m_endedSerial = m_serial;
            return !m_pcm.empty();
        }
        if (received != AVERROR(EAGAIN))
            continue; // a damaged frame
        std::optional<QueuedPacket> item = m_queue->Pop(std::chrono::milliseconds(0));
        if (!item)
            return false;
        if (item->serial != m_serial)
            continue; // from before the last seek
        avcodec_send_packet(m_decoder.get(), item->packet.get());
    }
    return true;
}

void AudioStage::Feed()
{
    const int serial = m_shared->serial.load();
    if (serial != m_serial)
        Restart(serial);

    if (!m_sink) {
        // Without a device the packets are still taken, so the demuxer never waits.
        while (m_queue->Pop(std::chrono::milliseconds(0))) { }
        return;
    }
    if (m_sink->error() == QAudio::OpenError || m_sink->error() == QAudio::FatalError) {
        // The device went away: the rest plays without sound.
        m_sink.reset();
        m_output = nullptr;
        m_audible = false;
        m_deviceGain = -1.0;
        return;
    }
    const double gain = m_gain.load();
    if (gain != m_appliedGain) {
        m_sink->setVolume(gain);
        m_appliedGain = gain;
        m_deviceGain = m_sink->volume();
    }
    if (m_shared->Paused()) {
        if (!m_suspended) {
            m_sink->suspend();
            m_suspended = true;
        }
        return;
    }
    if (m_suspended) {
        m_sink->resume();
        m_suspended = false;
    }

    qsizetype free = m_sink->bytesFree();
    while (free > 0) {
        if (m_pcmOffset >= m_pcm.size() && !Produce())
            break;
        const qsizetype chunk
            = std::min<qsizetype>(free, m_pcm.size() - m_pcmOffset) & ~qsizetype(3);
        if (chunk <= 0)
            break;
        const qint64 written = m_output->write(m_pcm.data() + m_pcmOffset, chunk);
        if (written <= 0)
            break;
        m_pcmOffset += static_cast<size_t>(written);
        m_bytesToDevice += written;
        free -= written;
    }
    if (m_producedMediaUs == INT64_MIN)
        return;
    // The media time at the end of what was written, less what the device still holds.
    const double rate = m_filterRate;
    const int64_t unwrittenUs
        = static_cast<int64_t>((m_pcm.size() - m_pcmOffset) * 1e6 / kBytesPerSecond * rate);
    m_writtenMediaUs = m_producedMediaUs - unwrittenUs;
    const qsizetype held = m_sink->bufferSize() - m_sink->bytesFree();
    const int64_t heldUs
        = static_cast<int64_t>(std::max<qsizetype>(0, held) * 1e6 / kBytesPerSecond * rate);
    if (m_pcmOffset > 0 || held > 0)
        m_shared->SyncToAudio(m_writtenMediaUs - heldUs, m_serial, kClockToleranceUs);
}

} // namespace velomira::ffmpeg
