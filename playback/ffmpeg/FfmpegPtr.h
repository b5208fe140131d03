#pragma once

// Owning pointers for the FFmpeg objects of the back-end. Only files of this folder
// include this header: no AV* type leaves the back-end.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace velomira::ffmpeg {

struct FormatContextDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct FilterGraphDeleter {
    void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
struct SwsContextDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;
using SwsContextPtr = std::unique_ptr<SwsContext, SwsContextDeleter>;

inline PacketPtr MakePacket()
{
    return PacketPtr(av_packet_alloc());
}
inline FramePtr MakeFrame()
{
    return FramePtr(av_frame_alloc());
}

// Microseconds of a timestamp in `timeBase`; AV_NOPTS_VALUE stays "unknown" (INT64_MIN).
inline int64_t ToMicroseconds(int64_t timestamp, AVRational timeBase)
{
    if (timestamp == AV_NOPTS_VALUE)
        return INT64_MIN;
    return av_rescale_q(timestamp, timeBase, AVRational { 1, 1000000 });
}

} // namespace velomira::ffmpeg
