#include "playback/ffmpeg/ClipCutter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "playback/AviStreamPatch.h"
#include "playback/ffmpeg/MediaSource.h"

namespace velomira {

namespace {

using namespace ffmpeg;

struct OutputDeleter {
    void operator()(AVFormatContext* context) const
    {
        if (context->pb != nullptr)
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
using OutputPtr = std::unique_ptr<AVFormatContext, OutputDeleter>;

std::string ErrorText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

// The muxer for the recording's container: MP4 where it takes every stream, else the
// QuickTime flavour (PCM sound), AVI for AVI.
const AVOutputFormat* MuxerFor(const MediaSource& source, const std::vector<int>& streams)
{
    if (source.Info().container == "avi")
        return av_guess_format("avi", nullptr, nullptr);
    const AVOutputFormat* mp4 = av_guess_format("mp4", nullptr, nullptr);
    for (const int index : streams) {
        const AVCodecParameters* p = source.Context()->streams[index]->codecpar;
        if (p->codec_type != AVMEDIA_TYPE_DATA
            && avformat_query_codec(mp4, p->codec_id, FF_COMPLIANCE_NORMAL) != 1)
            return av_guess_format("mov", nullptr, nullptr);
    }
    return mp4;
}

class Cutter {
public:
    Cutter(const MediaSource& source, std::int64_t fromMs, std::int64_t toMs)
        : m_source(source)
        , m_in(source.Context())
        , m_fromUs(fromMs * 1000)
        , m_toUs(toMs * 1000)
    { }

    ClipCut Run(const std::string& temporary, const ClipProgress& progress);
    // The output's telemetry stream, or -1.
    int telemetryOutput() const { return m_telemetryOutput; }

private:
    bool OpenOutput(const std::string& path, ClipCut& result);
    // Whether a packet of `stream` at these times belongs in the clip.
    bool Keep(int stream, const AVPacket& packet, std::int64_t ptsUs, std::int64_t dtsUs);

    const MediaSource& m_source;
    AVFormatContext* m_in;
    std::int64_t m_fromUs;
    std::int64_t m_toUs;
    std::vector<int> m_streams; // input streams copied, in output order
    std::map<int, int> m_outputOf; // input stream -> output stream
    std::map<int, bool> m_started; // video streams: a keyframe has been copied
    OutputPtr m_out;
    std::int64_t m_startUs = 0; // the front keyframe's time: the clip's zero
    int m_telemetryOutput = -1;
};

bool Cutter::OpenOutput(const std::string& path, ClipCut& result)
{
    for (int n = 0; n < 2; ++n)
        if (m_source.VideoStream(n) >= 0)
            m_streams.push_back(m_source.VideoStream(n));
    if (m_source.AudioStream() >= 0)
        m_streams.push_back(m_source.AudioStream());
    if (m_source.TelemetryStream() >= 0)
        m_streams.push_back(m_source.TelemetryStream());

    AVFormatContext* raw = nullptr;
    const int made = avformat_alloc_output_context2(
        &raw, MuxerFor(m_source, m_streams), nullptr, path.c_str());
    if (made < 0 || raw == nullptr) {
        result.message = "cannot make the clip's container: " + ErrorText(made);
        return false;
    }
    m_out.reset(raw);
    for (const int index : m_streams) {
        const AVStream* in = m_in->streams[index];
        AVStream* out = avformat_new_stream(m_out.get(), nullptr);
        if (out == nullptr || avcodec_parameters_copy(out->codecpar, in->codecpar) < 0) {
            result.message = "cannot copy the recording's streams";
            return false;
        }
        out->time_base = in->time_base;
        out->avg_frame_rate = in->avg_frame_rate;
        out->r_frame_rate = in->r_frame_rate;
        if (index == m_source.TelemetryStream()) {
            // The MP4 muxer keeps a binary data track only under its sample entry name
            // ("gpmd"), so the telemetry keeps its tag there.
            out->codecpar->codec_type = AVMEDIA_TYPE_DATA;
            out->codecpar->codec_id = AV_CODEC_ID_BIN_DATA;
            if (m_source.Info().container == "avi")
                out->codecpar->codec_tag = 0;
        } else {
            out->codecpar->codec_tag = 0;
        }
        // The source opens recordings with a short probe, which leaves an AAC stream's
        // frame size unknown; the AVI muxer's clock for the sound needs it.
        if (out->codecpar->codec_id == AV_CODEC_ID_AAC && out->codecpar->frame_size == 0)
            out->codecpar->frame_size = 1024;
        av_dict_copy(&out->metadata, in->metadata, 0);
        m_outputOf[index] = out->index;
        if (index == m_source.TelemetryStream())
            m_telemetryOutput = out->index;
    }
    const int opened = avio_open(&m_out->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) {
        result.message = "cannot write " + path + ": " + ErrorText(opened);
        return false;
    }
    const int header = avformat_write_header(m_out.get(), nullptr);
    if (header < 0) {
        result.message = "cannot start the clip: " + ErrorText(header);
        return false;
    }
    return true;
}

bool Cutter::Keep(int stream, const AVPacket& packet, std::int64_t ptsUs, std::int64_t dtsUs)
{
    // AVI gives decoding times only.
    const std::int64_t at = ptsUs != INT64_MIN ? ptsUs : dtsUs;
    const AVMediaType type = m_in->streams[stream]->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_VIDEO) {
        // Pictures go in decoding order up to the end; each stream starts at a keyframe.
        if (dtsUs != INT64_MIN && dtsUs >= m_toUs)
            return false;
        if (!m_started[stream]) {
            if (!(packet.flags & AV_PKT_FLAG_KEY) || at < m_startUs)
                return false;
            m_started[stream] = true;
        }
        return true;
    }
    return at != INT64_MIN && at >= m_startUs && at < m_toUs;
}

ClipCut Cutter::Run(const std::string& temporary, const ClipProgress& progress)
{
    ClipCut result;
    const int front = m_source.VideoStream(0);
    if (front < 0) {
        result.status = ClipCut::Status::BadInput;
        result.message = "the recording has no picture to cut at";
        return result;
    }
    // The source reads the telemetry through the index and has the demultiplexer skip
    // it; the cut copies every stream it uses from the packets.
    for (unsigned i = 0; i < m_in->nb_streams; ++i)
        m_in->streams[i]->discard = AVDISCARD_ALL;
    for (const int index :
        { front, m_source.VideoStream(1), m_source.AudioStream(), m_source.TelemetryStream() })
        if (index >= 0)
            m_in->streams[index]->discard = AVDISCARD_DEFAULT;
    AVStream* frontStream = m_in->streams[front];
    PacketPtr packet = MakePacket();
    std::vector<PacketPtr> held;
    bool found = false;
    if (m_source.Info().container == "avi") {
        // After a seek, AVI's demultiplexer misdates the text stream (its times are chunk
        // counts): read from the start instead, and take the clip's zero from the index.
        m_startUs = 0;
        found = true;
        for (int i = 0; i < avformat_index_get_entries_count(frontStream); ++i) {
            const AVIndexEntry* entry = avformat_index_get_entry(frontStream, i);
            const std::int64_t timeUs = ToMicroseconds(entry->timestamp, frontStream->time_base);
            if ((entry->flags & AVINDEX_KEYFRAME) && timeUs != INT64_MIN && timeUs <= m_fromUs)
                m_startUs = std::max(m_startUs, timeUs);
        }
    } else {
        const std::int64_t target
            = av_rescale_q(m_fromUs, AVRational { 1, 1000000 }, frontStream->time_base);
        if (av_seek_frame(m_in, front, target, AVSEEK_FLAG_BACKWARD) < 0)
            av_seek_frame(m_in, front, 0, AVSEEK_FLAG_BACKWARD);
    }

    // The clip's zero is the front keyframe the seek landed on: find it first, so every
    // stream is rebased by the same amount.
    while (!found && av_read_frame(m_in, packet.get()) >= 0) {
        if (packet->stream_index == front && (packet->flags & AV_PKT_FLAG_KEY)) {
            const std::int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            m_startUs = ToMicroseconds(pts, frontStream->time_base);
            found = m_startUs != INT64_MIN;
        }
        held.push_back(PacketPtr(av_packet_clone(packet.get())));
        av_packet_unref(packet.get());
    }
    if (!found || m_startUs >= m_toUs) {
        result.status = ClipCut::Status::BadInput;
        result.message = "nothing of the recording lies between the start and the end";
        return result;
    }
    if (!OpenOutput(temporary, result))
        return result;

    const double spanUs = static_cast<double>(std::max<std::int64_t>(1, m_toUs - m_startUs));
    std::int64_t lastUs = m_startUs;
    std::size_t next = 0;
    int failed = 0;
    for (;;) {
        AVPacket* p = nullptr;
        if (next < held.size()) {
            p = held[next++].get();
        } else {
            if (av_read_frame(m_in, packet.get()) < 0)
                break;
            p = packet.get();
        }
        const int stream = p->stream_index;
        const auto output = m_outputOf.find(stream);
        if (output != m_outputOf.end()) {
            const AVRational base = m_in->streams[stream]->time_base;
            const std::int64_t ptsUs = ToMicroseconds(p->pts, base);
            const std::int64_t dtsUs = ToMicroseconds(p->dts, base);
            if (stream == front && dtsUs != INT64_MIN && dtsUs > m_toUs + 2000000)
                break; // every stream has passed the end by now
            if (Keep(stream, *p, ptsUs, dtsUs)) {
                lastUs = std::max(lastUs, ptsUs != INT64_MIN ? ptsUs : dtsUs);
                const std::int64_t shift = av_rescale_q(m_startUs, AVRational { 1, 1000000 }, base);
                if (p->pts != AV_NOPTS_VALUE)
                    p->pts -= shift;
                if (p->dts != AV_NOPTS_VALUE)
                    p->dts -= shift;
                av_packet_rescale_ts(p, base, m_out->streams[output->second]->time_base);
                p->stream_index = output->second;
                p->pos = -1;
                failed = av_interleaved_write_frame(m_out.get(), p);
                if (failed < 0)
                    break;
            }
        }
        av_packet_unref(p);
        if (progress && !progress(std::clamp((lastUs - m_startUs) / spanUs, 0.0, 1.0))) {
            result.status = ClipCut::Status::Cancelled;
            result.message = "cancelled";
            return result;
        }
    }
    if (failed >= 0)
        failed = av_write_trailer(m_out.get());
    if (failed >= 0 && m_out->pb != nullptr)
        failed = avio_closep(&m_out->pb);
    if (failed < 0) {
        result.message = "cannot write the clip: " + ErrorText(failed);
        return result;
    }
    result.status = ClipCut::Status::Written;
    result.startMs = m_startUs / 1000;
    result.endMs = std::min(lastUs, m_toUs) / 1000;
    return result;
}

} // namespace

ClipCut CutClip(const std::string& input, std::int64_t fromMs, std::int64_t toMs,
    const std::string& output, const ClipProgress& progress)
{
    ClipCut result;
    if (fromMs < 0 || toMs <= fromMs) {
        result.status = ClipCut::Status::BadInput;
        result.message = "the end must come after the start";
        return result;
    }
    const std::unique_ptr<MediaSource> source = MediaSource::Open(input);
    if (!source) {
        result.status = ClipCut::Status::BadInput;
        result.message = input + ": not a recording (MP4 or AVI) that the player opens";
        return result;
    }
    if (source->Info().durationMs > 0 && fromMs >= source->Info().durationMs) {
        result.status = ClipCut::Status::BadInput;
        result.message = "the start lies after the recording's end";
        return result;
    }
    const std::filesystem::path target(output);
    std::filesystem::path temporary = target;
    temporary += ".velomira-part";
    int telemetryOutput = -1;
    {
        Cutter cutter(*source, fromMs, toMs);
        result = cutter.Run(temporary.string(), progress);
        telemetryOutput = cutter.telemetryOutput();
    }
    // FFmpeg's AVI muxer writes the telemetry as a data stream; the dashcam's (and the
    // player's) is a text stream.
    if (result.status == ClipCut::Status::Written && source->Info().container == "avi"
        && telemetryOutput >= 0) {
        const std::string patched = PatchAviStreamType(temporary, telemetryOutput, "dats", "txts");
        if (!patched.empty()) {
            result.status = ClipCut::Status::Failed;
            result.message = "cannot mark the clip's telemetry stream: " + patched;
        }
    }
    std::error_code error;
    if (result.status == ClipCut::Status::Written) {
        std::filesystem::rename(temporary, target, error);
        if (!error)
            return result;
        result.status = ClipCut::Status::Failed;
        result.message = "cannot name the clip " + output + ": " + error.message();
    }
    std::filesystem::remove(temporary, error);
    return result;
}

} // namespace velomira
