#include "devtools/mkcard/MediaWriter.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>

#include "devtools/mkcard/PicturePainter.h"
#include "playback/AviStreamPatch.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
}

namespace velomira {
namespace {

struct FormatContextDeleter {
    void operator()(AVFormatContext* ctx) const
    {
        if (ctx->pb != nullptr && !(ctx->oformat->flags & AVFMT_NOFILE))
            avio_closep(&ctx->pb);
        avformat_free_context(ctx);
    }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextDeleter>;
struct InputContextDeleter {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

constexpr int kAudioRate = 48000;
constexpr int kAudioChannels = 2;
constexpr int kPcmFrameSamples = 1024;

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// One encoder feeding one output stream.
struct EncodedStream {
    CodecContextPtr codec;
    AVStream* stream = nullptr;
    int64_t ptsShift = 0; // added to every packet, in the codec's time base
};

class RecordingWriter {
public:
    RecordingWriter(const std::filesystem::path& path, const RecordingPlan& plan)
        : m_path(path)
        , m_plan(plan)
    { }

    RecordingResult Run()
    {
        RecordingResult result;
        result.error = Open();
        if (result.error.empty())
            result.error = WriteAll();
        if (result.error.empty() && m_plan.container == Container::Avi && m_telemetry)
            result.error = PatchAviStreamType(m_path, m_telemetry->index, "dats", "txts");
        if (result.error.empty())
            result.writtenTelemetry = m_stored;
        return result;
    }

private:
    std::string Open()
    {
        const char* format = m_plan.container == Container::Mp4 ? "mp4" : "avi";
        // FFmpeg's mp4 muxer has no PCM; the QuickTime flavour of the same muxer does and
        // gives a file that MP4 readers take alike.
        if (m_plan.container == Container::Mp4 && m_plan.audio == AudioKind::Pcm)
            format = "mov";
        AVFormatContext* raw = nullptr;
        int err = avformat_alloc_output_context2(&raw, nullptr, format, m_path.c_str());
        if (err < 0 || raw == nullptr)
            return "cannot set up the " + std::string(format) + " muxer: " + AvError(err);
        m_format.reset(raw);
        m_format->flags |= AVFMT_FLAG_BITEXACT;

        if (auto error = AddVideo(m_plan.front); !error.empty())
            return error;
        if (m_plan.rear) {
            if (auto error = AddVideo(*m_plan.rear); !error.empty())
                return error;
        }
        if (m_plan.audio != AudioKind::None) {
            if (auto error = AddAudio(); !error.empty())
                return error;
        }
        if (m_plan.telemetryStream) {
            m_telemetry = avformat_new_stream(m_format.get(), nullptr);
            if (m_telemetry == nullptr)
                return "cannot add the telemetry stream";
            m_telemetry->codecpar->codec_type = AVMEDIA_TYPE_DATA;
            m_telemetry->codecpar->codec_id = AV_CODEC_ID_BIN_DATA;
            m_telemetry->time_base = AVRational { 1, 1000 };
            // The QuickTime flavour has no tag of its own for data; take the one the mp4
            // flavour gives, so both write the same kind of track.
            if (m_plan.container == Container::Mp4)
                m_telemetry->codecpar->codec_tag = MKTAG('g', 'p', 'm', 'd');
            if (m_plan.container == Container::Mp4 && m_plan.timedTextTelemetry) {
                m_telemetry->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
                m_telemetry->codecpar->codec_id = AV_CODEC_ID_MOV_TEXT;
                m_telemetry->codecpar->codec_tag = 0;
            }
            m_stored = TelemetryAsStored(m_plan.container, m_plan.telemetry);
        }

        err = avio_open(&m_format->pb, m_path.c_str(), AVIO_FLAG_WRITE);
        if (err < 0)
            return "cannot create " + m_path.string() + ": " + AvError(err);
        AVDictionary* options = nullptr;
        if (m_plan.faststart && m_plan.container == Container::Mp4)
            av_dict_set(&options, "movflags", "+faststart", 0);
        err = avformat_write_header(m_format.get(), &options);
        av_dict_free(&options);
        if (err < 0)
            return "cannot write the header: " + AvError(err);
        return {};
    }

    std::string AddVideo(VideoSize size)
    {
        if (size.width < 16 || size.height < 16 || size.width % 2 || size.height % 2)
            return "video sizes must be even and at least 16x16";
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        if (codec == nullptr)
            return "libavcodec has no libx264 encoder";
        EncodedStream out;
        out.codec.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = out.codec.get();
        c->width = size.width;
        c->height = size.height;
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->time_base = AVRational { 1, m_plan.fps };
        c->framerate = AVRational { m_plan.fps, 1 };
        c->gop_size = m_plan.fps;
        c->keyint_min = m_plan.fps;
        c->max_b_frames = 0;
        // A fixed thread count keeps the output identical on every machine.
        c->thread_count = 2;
        c->flags |= AV_CODEC_FLAG_BITEXACT;
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        av_opt_set(c->priv_data, "preset", "veryfast", 0);
        av_opt_set(c->priv_data, "tune", "zerolatency", 0);
        av_opt_set(c->priv_data, "crf", "26", 0);
        // One key frame a second and nowhere else; in AVI every key frame carries the
        // parameter sets, since the container has no place for them.
        std::string params = "scenecut=0:keyint=" + std::to_string(m_plan.fps)
            + ":min-keyint=" + std::to_string(m_plan.fps);
        if (m_plan.container == Container::Avi)
            params += ":repeat-headers=1";
        av_opt_set(c->priv_data, "x264-params", params.c_str(), 0);
        int err = avcodec_open2(c, codec, nullptr);
        if (err < 0)
            return "cannot open the H.264 encoder: " + AvError(err);
        out.stream = avformat_new_stream(m_format.get(), nullptr);
        if (out.stream == nullptr)
            return "cannot add a video stream";
        avcodec_parameters_from_context(out.stream->codecpar, c);
        out.stream->time_base = c->time_base;
        out.stream->avg_frame_rate = c->framerate;
        m_video.push_back(std::move(out));
        return {};
    }

    std::string AddAudio()
    {
        const bool aac = m_plan.audio == AudioKind::Aac;
        const AVCodec* codec = avcodec_find_encoder(aac ? AV_CODEC_ID_AAC : AV_CODEC_ID_PCM_S16LE);
        if (codec == nullptr)
            return "libavcodec has no audio encoder for the chosen audio";
        m_audio.codec.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = m_audio.codec.get();
        c->sample_rate = kAudioRate;
        av_channel_layout_default(&c->ch_layout, kAudioChannels);
        c->sample_fmt = aac ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
        c->bit_rate = aac ? 96000 : 0;
        c->time_base = AVRational { 1, kAudioRate };
        c->flags |= AV_CODEC_FLAG_BITEXACT;
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int err = avcodec_open2(c, codec, nullptr);
        if (err < 0)
            return "cannot open the audio encoder: " + AvError(err);
        // The AAC encoder starts at minus its priming delay; moving the audio keeps the
        // video and the telemetry at their exact times.
        m_audio.ptsShift = c->initial_padding;
        m_audio.stream = avformat_new_stream(m_format.get(), nullptr);
        if (m_audio.stream == nullptr)
            return "cannot add the audio stream";
        avcodec_parameters_from_context(m_audio.stream->codecpar, c);
        m_audio.stream->time_base = c->time_base;
        m_audioFrameSamples = c->frame_size > 0 ? c->frame_size : kPcmFrameSamples;
        return {};
    }

    std::string WriteAll()
    {
        const int64_t frameCount
            = (static_cast<int64_t>(m_plan.durationMs) * m_plan.fps + 999) / 1000;
        const int64_t audioSamples = static_cast<int64_t>(m_plan.durationMs) * kAudioRate / 1000;
        m_packet.reset(av_packet_alloc());

        for (size_t i = 0; i < m_video.size(); ++i) {
            m_videoFrames.emplace_back(av_frame_alloc());
            AVFrame* f = m_videoFrames.back().get();
            f->format = AV_PIX_FMT_YUV420P;
            f->width = m_video[i].codec->width;
            f->height = m_video[i].codec->height;
            if (av_frame_get_buffer(f, 0) < 0)
                return "out of memory for a picture";
        }

        size_t nextSample = 0;
        int64_t audioWritten = 0;
        for (int64_t frame = 0; frame < frameCount; ++frame) {
            for (size_t i = 0; i < m_video.size(); ++i) {
                if (auto error = EncodeVideoFrame(i, frame); !error.empty())
                    return error;
            }
            const int64_t untilMs = (frame + 1) * 1000 / m_plan.fps;
            const int64_t audioUntil = std::min(audioSamples, untilMs * kAudioRate / 1000);
            while (m_audio.codec && audioWritten < audioUntil) {
                const int count = static_cast<int>(
                    std::min<int64_t>(m_audioFrameSamples, audioSamples - audioWritten));
                if (auto error = EncodeAudioFrame(audioWritten, count); !error.empty())
                    return error;
                audioWritten += count;
            }
            while (m_telemetry && nextSample < m_stored.size()
                && m_stored[nextSample].timeMs < untilMs) {
                if (auto error = WriteTelemetry(nextSample); !error.empty())
                    return error;
                ++nextSample;
            }
        }
        while (m_audio.codec && audioWritten < audioSamples) {
            const int count = static_cast<int>(
                std::min<int64_t>(m_audioFrameSamples, audioSamples - audioWritten));
            if (auto error = EncodeAudioFrame(audioWritten, count); !error.empty())
                return error;
            audioWritten += count;
        }
        while (m_telemetry && nextSample < m_stored.size()) {
            if (auto error = WriteTelemetry(nextSample); !error.empty())
                return error;
            ++nextSample;
        }
        for (auto& video : m_video) {
            if (auto error = Drain(video, nullptr); !error.empty())
                return error;
        }
        if (m_audio.codec) {
            if (auto error = Drain(m_audio, nullptr); !error.empty())
                return error;
        }
        int err = av_interleaved_write_frame(m_format.get(), nullptr);
        if (err >= 0)
            err = av_write_trailer(m_format.get());
        if (err < 0)
            return "cannot finish the file: " + AvError(err);
        err = avio_closep(&m_format->pb);
        if (err < 0)
            return "cannot close the file: " + AvError(err);
        return {};
    }

    std::string EncodeVideoFrame(size_t index, int64_t frameNumber)
    {
        AVFrame* f = m_videoFrames[index].get();
        if (av_frame_make_writable(f) < 0)
            return "out of memory for a picture";
        PictureContent content;
        content.width = f->width;
        content.height = f->height;
        content.streamId = static_cast<int>(index);
        content.frameNumber = static_cast<int>(frameNumber & 0xffff);
        content.fps = m_plan.fps;
        content.cameraName = index == 0 ? m_plan.frontName : m_plan.rearName;
        PaintPicture(YuvPlanes { f->data[0], f->data[1], f->data[2], f->linesize[0], f->linesize[1],
                         f->linesize[2] },
            content);
        f->pts = frameNumber;
        return Drain(m_video[index], f);
    }

    std::string EncodeAudioFrame(int64_t firstSample, int count)
    {
        FramePtr frame(av_frame_alloc());
        AVCodecContext* c = m_audio.codec.get();
        frame->format = c->sample_fmt;
        frame->nb_samples = count;
        frame->sample_rate = c->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0)
            return "out of memory for audio";
        // A tone gliding between 330 and 880 Hz every four seconds, quieter on the right.
        const double seedOffsetHz = static_cast<double>(m_plan.seed % 50);
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(firstSample + i) / kAudioRate;
            const double glide = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * t / 4.0);
            const double hz = 330.0 + seedOffsetHz + 550.0 * glide;
            m_phase += 2.0 * std::numbers::pi * hz / kAudioRate;
            const double left = 0.25 * std::sin(m_phase);
            const double right = 0.6 * left;
            if (c->sample_fmt == AV_SAMPLE_FMT_FLTP) {
                reinterpret_cast<float*>(frame->data[0])[i] = static_cast<float>(left);
                reinterpret_cast<float*>(frame->data[1])[i] = static_cast<float>(right);
            } else {
                auto* s16 = reinterpret_cast<int16_t*>(frame->data[0]);
                s16[2 * i] = static_cast<int16_t>(std::lround(left * 32767.0));
                s16[2 * i + 1] = static_cast<int16_t>(std::lround(right * 32767.0));
            }
        }
        frame->pts = firstSample;
        return Drain(m_audio, frame.get());
    }

    // Sends a frame (nullptr: end of stream) and writes every packet the encoder gives back.
    std::string Drain(EncodedStream& out, AVFrame* frame)
    {
        int err = avcodec_send_frame(out.codec.get(), frame);
        if (err < 0)
            return "encoding failed: " + AvError(err);
        for (;;) {
            err = avcodec_receive_packet(out.codec.get(), m_packet.get());
            if (err == AVERROR(EAGAIN) || err == AVERROR_EOF)
                return {};
            if (err < 0)
                return "encoding failed: " + AvError(err);
            if (m_packet->pts != AV_NOPTS_VALUE)
                m_packet->pts += out.ptsShift;
            if (m_packet->dts != AV_NOPTS_VALUE)
                m_packet->dts += out.ptsShift;
            av_packet_rescale_ts(m_packet.get(), out.codec->time_base, out.stream->time_base);
            m_packet->stream_index = out.stream->index;
            err = av_interleaved_write_frame(m_format.get(), m_packet.get());
            if (err < 0)
                return "cannot write a packet: " + AvError(err);
        }
    }

    std::string WriteTelemetry(size_t index)
    {
        const TelemetrySample& sample = m_stored[index];
        // In AVI a stream's time is its chunk count, and the muxer fills gaps with empty
        // chunks, but not before the first chunk and not over more than 60000 at once: empty
        // chunks of our own at 0 ms and every 50 s keep every sample at its time.
        if (m_plan.container == Container::Avi) {
            if (index == 0 && sample.timeMs > 0) {
                if (auto error = WriteEmptyTelemetryChunk(0); !error.empty())
                    return error;
                m_lastChunkMs = 0;
            }
            while (m_lastChunkMs >= 0 && sample.timeMs - m_lastChunkMs > kMaxAviGapMs) {
                m_lastChunkMs += kMaxAviGapMs;
                if (auto error = WriteEmptyTelemetryChunk(m_lastChunkMs); !error.empty())
                    return error;
            }
            m_lastChunkMs = sample.timeMs;
        }
        PacketPtr packet(av_packet_alloc());
        // A timed-text sample is the text behind its 16-bit big-endian length.
        const bool timedText = m_telemetry->codecpar->codec_id == AV_CODEC_ID_MOV_TEXT;
        const size_t prefix = timedText ? 2 : 0;
        if (av_new_packet(packet.get(), static_cast<int>(sample.bytes.size() + prefix)) < 0)
            return "out of memory for telemetry";
        if (timedText) {
            packet->data[0] = static_cast<uint8_t>(sample.bytes.size() >> 8);
            packet->data[1] = static_cast<uint8_t>(sample.bytes.size() & 0xff);
        }
        if (!sample.bytes.empty())
            std::memcpy(packet->data + prefix, sample.bytes.data(), sample.bytes.size());
        packet->stream_index = m_telemetry->index;
        packet->flags |= AV_PKT_FLAG_KEY;
        const int64_t endMs = index + 1 < m_stored.size()
            ? m_stored[index + 1].timeMs
            : std::max<int64_t>(m_plan.durationMs, sample.timeMs + 1);
        packet->pts = packet->dts = sample.timeMs;
        packet->duration = endMs - sample.timeMs;
        av_packet_rescale_ts(packet.get(), AVRational { 1, 1000 }, m_telemetry->time_base);
        const int err = av_interleaved_write_frame(m_format.get(), packet.get());
        if (err < 0)
            return "cannot write a telemetry sample: " + AvError(err);
        return {};
    }

    std::string WriteEmptyTelemetryChunk(int64_t timeMs)
    {
        PacketPtr empty(av_packet_alloc());
        empty->stream_index = m_telemetry->index;
        empty->pts = empty->dts = timeMs;
        empty->duration = 1;
        const int err = av_interleaved_write_frame(m_format.get(), empty.get());
        if (err < 0)
            return "cannot write the telemetry stream's filler: " + AvError(err);
        return {};
    }

    static constexpr int64_t kMaxAviGapMs = 50000;

    std::filesystem::path m_path;
    const RecordingPlan& m_plan;
    int64_t m_lastChunkMs = -1; // time of the last telemetry chunk in AVI, -1 before the first
    FormatContextPtr m_format;
    std::vector<EncodedStream> m_video;
    std::vector<FramePtr> m_videoFrames;
    EncodedStream m_audio;
    int m_audioFrameSamples = kPcmFrameSamples;
    double m_phase = 0;
    AVStream* m_telemetry = nullptr;
    std::vector<TelemetrySample> m_stored;
    PacketPtr m_packet;
};

} // namespace

std::vector<TelemetrySample> TelemetryAsStored(
    Container container, const std::vector<TelemetrySample>& samples)
{
    std::vector<TelemetrySample> stored = samples;
    if (container == Container::Avi) {
        for (size_t i = 1; i < stored.size(); ++i)
            stored[i].timeMs = std::max(stored[i].timeMs, stored[i - 1].timeMs + 1);
    }
    return stored;
}

std::optional<std::vector<int64_t>> TelemetrySampleEnds(const std::filesystem::path& path)
{
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return std::nullopt;
    const InputContextPtr format(raw);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_DATA
            && stream->codecpar->codec_id != AV_CODEC_ID_MOV_TEXT)
            continue;
        std::vector<int64_t> ends;
        const int count = avformat_index_get_entries_count(stream);
        const bool timedText = stream->codecpar->codec_id == AV_CODEC_ID_MOV_TEXT;
        for (int n = 0; n < count; ++n) {
            const AVIndexEntry* entry = avformat_index_get_entry(stream, n);
            // The muxer's empty timed texts (the length 0 alone) between samples are no
            // samples of ours.
            if (!timedText || entry->size > 2)
                ends.push_back(entry->pos + entry->size);
        }
        return ends;
    }
    return std::nullopt;
}

RecordingResult WriteRecording(const std::filesystem::path& path, const RecordingPlan& plan)
{
    if (plan.fps < 1 || plan.fps > 240)
        return { "the frame rate must be 1 to 240", {} };
    for (size_t i = 1; i < plan.telemetry.size(); ++i) {
        if (plan.telemetry[i].timeMs < plan.telemetry[i - 1].timeMs)
            return { "telemetry samples must be in time order", {} };
    }
    for (const auto& sample : plan.telemetry) {
        if (sample.bytes.empty())
            return { "an empty telemetry sample cannot be stored", {} };
    }
    RecordingWriter writer(path, plan);
    return writer.Run();
}

} // namespace velomira
