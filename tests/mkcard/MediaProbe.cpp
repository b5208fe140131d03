#include "MediaProbe.h"

#include <memory>

#include "devtools/mkcard/FrameStamp.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace velomira::test {
namespace {

struct InputDeleter {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
struct CodecDeleter {
    void operator()(AVCodecContext* ctx) const { avcodec_free_context(&ctx); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct SwsDeleter {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
using InputPtr = std::unique_ptr<AVFormatContext, InputDeleter>;

// A small probe size keeps libavformat from holding AVI text packets back.
InputPtr Open(const std::filesystem::path& path)
{
    AVDictionary* options = nullptr;
    av_dict_set(&options, "probesize", "32", 0);
    AVFormatContext* raw = nullptr;
    const int err = avformat_open_input(&raw, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (err < 0)
        return nullptr;
    InputPtr ctx(raw);
    if (avformat_find_stream_info(ctx.get(), nullptr) < 0)
        return nullptr;
    return ctx;
}

} // namespace

std::optional<std::vector<StreamInfo>> ProbeStreams(const std::filesystem::path& path)
{
    auto ctx = Open(path);
    if (!ctx)
        return std::nullopt;
    std::vector<StreamInfo> out;
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVCodecParameters* par = ctx->streams[i]->codecpar;
        StreamInfo info;
        const char* type = av_get_media_type_string(par->codec_type);
        info.type = type != nullptr ? type : "unknown";
        info.codec = avcodec_get_name(par->codec_id);
        info.width = par->width;
        info.height = par->height;
        out.push_back(info);
    }
    return out;
}

std::vector<TelemetrySample> ReadTelemetryPackets(const std::filesystem::path& path)
{
    std::vector<TelemetrySample> out;
    auto ctx = Open(path);
    if (!ctx)
        return out;
    int index = -1;
    for (unsigned i = 0; i < ctx->nb_streams && index < 0; ++i) {
        const auto type = ctx->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_DATA || type == AVMEDIA_TYPE_SUBTITLE)
            index = static_cast<int>(i);
    }
    if (index < 0)
        return out;
    const AVRational timeBase = ctx->streams[index]->time_base;
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    while (av_read_frame(ctx.get(), packet.get()) >= 0) {
        if (packet->stream_index == index && packet->size > 0) {
            const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            TelemetrySample sample;
            sample.timeMs
                = static_cast<uint32_t>(av_rescale_q(pts, timeBase, AVRational { 1, 1000 }));
            sample.bytes.assign(packet->data, packet->data + packet->size);
            out.push_back(std::move(sample));
        }
        av_packet_unref(packet.get());
    }
    return out;
}

std::vector<int> DecodeFrameNumbers(const std::filesystem::path& path, int videoIndex,
    std::vector<int>& streamIds, int scaleWidth, int scaleHeight)
{
    std::vector<int> numbers;
    auto ctx = Open(path);
    if (!ctx)
        return numbers;
    int index = -1;
    for (unsigned i = 0, seen = 0; i < ctx->nb_streams; ++i) {
        if (ctx->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            if (static_cast<int>(seen) == videoIndex)
                index = static_cast<int>(i);
            ++seen;
        }
    }
    if (index < 0)
        return numbers;
    const AVCodec* codec = avcodec_find_decoder(ctx->streams[index]->codecpar->codec_id);
    std::unique_ptr<AVCodecContext, CodecDeleter> dec(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(dec.get(), ctx->streams[index]->codecpar);
    if (avcodec_open2(dec.get(), codec, nullptr) < 0)
        return numbers;
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    std::unique_ptr<SwsContext, SwsDeleter> sws;
    std::vector<uint8_t> rgb;

    auto collect = [&] {
        while (avcodec_receive_frame(dec.get(), frame.get()) >= 0) {
            std::optional<FrameStamp> stamp;
            if (scaleWidth > 0) {
                sws.reset(sws_getCachedContext(sws.release(), frame->width, frame->height,
                    static_cast<AVPixelFormat>(frame->format), scaleWidth, scaleHeight,
                    AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr));
                rgb.assign(static_cast<size_t>(scaleWidth) * scaleHeight * 4, 0);
                uint8_t* dst[4] = { rgb.data(), nullptr, nullptr, nullptr };
                int dstStride[4] = { scaleWidth * 4, 0, 0, 0 };
                sws_scale(
                    sws.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);
                stamp = ReadFrameStampRgb32(rgb.data(), scaleWidth * 4, scaleWidth, scaleHeight);
            } else {
                stamp = ReadFrameStamp(
                    frame->data[0], frame->linesize[0], frame->width, frame->height);
            }
            numbers.push_back(stamp ? stamp->frameNumber : -1);
            streamIds.push_back(stamp ? stamp->streamId : -1);
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(ctx.get(), packet.get()) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(dec.get(), packet.get()) >= 0)
            collect();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(dec.get(), nullptr);
    collect();
    return numbers;
}

long long DurationMs(const std::filesystem::path& path)
{
    auto ctx = Open(path);
    if (!ctx || ctx->duration == AV_NOPTS_VALUE)
        return -1;
    return ctx->duration / 1000;
}

} // namespace velomira::test
