#include "playback/ffmpeg/MediaSource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcFfmpeg, "velomira.playback.ffmpeg", QtWarningMsg)

namespace velomira::ffmpeg {

namespace {

bool IsPcm(AVCodecID id)
{
    return id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT;
}

bool IsTelemetryType(AVMediaType type)
{
    return type == AVMEDIA_TYPE_SUBTITLE || type == AVMEDIA_TYPE_DATA
        || type == AVMEDIA_TYPE_UNKNOWN;
}

// How far a declared length may run past the last indexed sample before it is not
// believed.
constexpr int64_t kDeclaredLengthSlackMs = 2000;

// The end of the last sample the container's index holds, over every stream, in
// milliseconds from the start; 0 when the container has no index.
int64_t IndexedSpanMs(const AVFormatContext* context)
{
    int64_t endMs = 0;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        const int count = avformat_index_get_entries_count(stream);
        if (count <= 0)
            continue;
        const AVIndexEntry* last = avformat_index_get_entry(stream, count - 1);
        if (last == nullptr || last->timestamp == AV_NOPTS_VALUE)
            continue;
        int64_t end = last->timestamp;
        if (stream->start_time != AV_NOPTS_VALUE)
            end -= stream->start_time;
        // The last sample lasts about as long as the average spacing of the samples (the
        // stream's own declared length may be as damaged as the container's).
        const AVIndexEntry* first = avformat_index_get_entry(stream, 0);
        if (count > 1 && first != nullptr && first->timestamp != AV_NOPTS_VALUE
            && last->timestamp > first->timestamp)
            end += (last->timestamp - first->timestamp) / (count - 1);
        endMs = std::max(endMs, av_rescale_q(end, stream->time_base, { 1, 1000 }));
    }
    return endMs;
}

} // namespace

namespace {

// libavformat and libavcodec report damaged input on their own; their lines go to our
// logging category instead of standard error.
void LogFromFfmpeg(void* object, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_WARNING)
        return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(object, level, format, arguments, line, sizeof line, &prefix);
    qCDebug(lcFfmpeg).noquote() << QByteArray(line).trimmed();
}

} // namespace

std::unique_ptr<MediaSource> MediaSource::Open(
    const std::string& path, const std::string& referencePath)
{
    static std::once_flag logging;
    std::call_once(logging, [] { av_log_set_callback(LogFromFfmpeg); });

    std::unique_ptr<MediaSource> source(new MediaSource);
    source->m_path = path;
    AVDictionary* options = nullptr;
    // A small probe keeps libavformat from holding back the packets of AVI text
    // streams (and from reading far into a large file before the first picture).
    av_dict_set(&options, "probesize", "32768", 0);
    av_dict_set(&options, "analyzeduration", "0", 0);
    AVFormatContext* raw = nullptr;
    int opened = referencePath.empty() ? avformat_open_input(&raw, path.c_str(), nullptr, &options)
                                       : AVERROR_INVALIDDATA;
    if (opened < 0)
        opened = source->OpenRebuilt(referencePath, &raw, &options);
    av_dict_free(&options);
    if (opened < 0)
        return nullptr;
    source->m_context.reset(raw);

    const char* name = raw->iformat->name;
    if (std::strstr(name, "mp4") != nullptr || std::strstr(name, "mov") != nullptr)
        source->m_info.container = "mp4";
    else if (std::strcmp(name, "avi") == 0)
        source->m_info.container = "avi";
    else
        return nullptr;

    // The container headers normally describe every stream; only when a video size is
    // missing are packets read to find it.
    bool complete = true;
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        const AVCodecParameters* par = raw->streams[i]->codecpar;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO && (par->width <= 0 || par->height <= 0))
            complete = false;
    }
    if (!complete && avformat_find_stream_info(raw, nullptr) < 0)
        return nullptr;

    source->Classify();
    return source;
}

int MediaSource::OpenRebuilt(
    const std::string& referencePath, AVFormatContext** raw, AVDictionary** options)
{
    std::string why;
    m_rebuilt = RebuiltRecording::Open(m_path, referencePath, why);
    if (!m_rebuilt) {
        if (!why.empty())
            qCWarning(lcFfmpeg).noquote() << QString::fromStdString(why);
        return AVERROR_INVALIDDATA;
    }
    AVIOContext* io = m_rebuilt->MakeIoContext();
    *raw = avformat_alloc_context();
    if (io == nullptr || *raw == nullptr)
        return AVERROR(ENOMEM);
    (*raw)->pb = io;
    const int opened = avformat_open_input(raw, m_path.c_str(), nullptr, options);
    if (opened >= 0) {
        m_info.rebuilt = true;
        qCInfo(lcFfmpeg).noquote()
            << QString::fromStdString(m_path) << "was cut short; its index was rebuilt from"
            << QString::fromStdString(m_rebuilt->ReferencePath());
    }
    return opened;
}

void MediaSource::Classify()
{
    AVFormatContext* context = m_context.get();
    int videos = 0;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        const AVCodecParameters* par = stream->codecpar;
        stream->discard = AVDISCARD_ALL;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO
            && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
            m_info.outputNames.push_back("Video");
            m_info.videoSizes.push_back({ par->width, par->height });
            if (videos < 2) {
                m_videoStreams[videos] = static_cast<int>(i);
                stream->discard = AVDISCARD_DEFAULT;
            }
            ++videos;
        } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
            m_info.outputNames.push_back("Audio");
            const bool pcm = IsPcm(par->codec_id);
            m_info.audioScore += pcm ? 1001 : 1;
            if (m_audioStream < 0) {
                m_audioStream = static_cast<int>(i);
                m_info.audioKind = pcm ? AudioKind::Pcm : AudioKind::Compressed;
                stream->discard = AVDISCARD_DEFAULT;
            }
        } else if (IsTelemetryType(par->codec_type) && m_telemetryStream < 0) {
            m_info.outputNames.push_back("Text");
            m_telemetryStream = static_cast<int>(i);
            m_info.hasTelemetry = true;
        }
    }
    if (context->duration > 0 && context->duration != AV_NOPTS_VALUE)
        m_info.durationMs = context->duration / 1000;
    // Without a container total, the longest video stream gives the length.
    int64_t longestMs = 0;
    for (int n = 0; n < 2; ++n) {
        if (m_videoStreams[n] < 0)
            continue;
        const AVStream* stream = context->streams[m_videoStreams[n]];
        if (stream->duration > 0 && stream->duration != AV_NOPTS_VALUE)
            longestMs = std::max(
                longestMs, av_rescale_q(stream->duration, stream->time_base, { 1, 1000 }));
    }
    if (m_info.durationMs <= 0)
        m_info.durationMs = longestMs;
    // A damaged header may declare a length far beyond the samples (up to 2^32 ms): the
    // position, the end of playing and the graphs then follow the samples themselves.
    const int64_t indexedMs = IndexedSpanMs(context);
    if (indexedMs > 0 && m_info.durationMs > indexedMs + kDeclaredLengthSlackMs) {
        qCWarning(lcFfmpeg) << "the container declares" << m_info.durationMs
                            << "ms, its samples end at" << indexedMs << "ms:" << m_path.c_str();
        m_info.durationMs = indexedMs;
    }
}

} // namespace velomira::ffmpeg
