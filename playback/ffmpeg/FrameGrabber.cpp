#include "playback/ffmpeg/FrameGrabber.h"

#include <future>
#include <thread>

#include "playback/ffmpeg/MediaSource.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace velomira {

namespace {

using namespace ffmpeg;

// Converts rows [first, last) of `frame` into the same rows of `image`.
bool ConvertRows(const AVFrame* frame, QImage& image, int first, int last)
{
    SwsContextPtr scaler(sws_getContext(frame->width, frame->height,
        static_cast<AVPixelFormat>(frame->format), frame->width, frame->height, AV_PIX_FMT_RGB24,
        SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scaler)
        return false;
    uint8_t* planes[4] = { image.bits(), nullptr, nullptr, nullptr };
    const int strides[4] = { static_cast<int>(image.bytesPerLine()), 0, 0, 0 };
    // The source pointers name the band's first row; the destination is the whole picture.
    const AVPixFmtDescriptor* format
        = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (format == nullptr)
        return false;
    const uint8_t* source[4] = {};
    for (int plane = 0; plane < 4 && frame->data[plane] != nullptr; ++plane) {
        const int row = (plane == 1 || plane == 2) ? first >> format->log2_chroma_h : first;
        source[plane]
            = frame->data[plane] + static_cast<std::ptrdiff_t>(row) * frame->linesize[plane];
    }
    return sws_scale(scaler.get(), source, frame->linesize, first, last - first, planes, strides)
        > 0;
}

// The picture as 24-bit RGB (what the JPEG and PNG writers take row by row), converted in
// two bands at once: a full-size picture is a few milliseconds of work per band.
QImage ToRgb(const AVFrame* frame)
{
    QImage image(frame->width, frame->height, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    // The upper band ends on a row that starts a chroma row of 4:2:0 pictures.
    const int middle = (frame->height / 2) & ~15;
    if (middle <= 0)
        return ConvertRows(frame, image, 0, frame->height) ? image : QImage();
    auto upper
        = std::async(std::launch::async, [&] { return ConvertRows(frame, image, 0, middle); });
    const bool lower = ConvertRows(frame, image, middle, frame->height);
    return upper.get() && lower ? image : QImage();
}

} // namespace

std::optional<GrabbedPicture> GrabPicture(
    const std::string& path, int output, std::int64_t positionMs)
{
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path);
    if (!source || source->VideoStream(output) < 0)
        return std::nullopt;
    AVFormatContext* in = source->Context();
    const int index = source->VideoStream(output);
    const AVStream* stream = in->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (codec == nullptr || !decoder
        || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0)
        return std::nullopt;
    // Slice threads: frame threads would hold pictures back, and only one is wanted.
    decoder->thread_count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    decoder->thread_type = FF_THREAD_FRAME;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return std::nullopt;
    for (unsigned i = 0; i < in->nb_streams; ++i)
        in->streams[i]->discard = static_cast<int>(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    // Play positions count from the recording's start.
    const std::int64_t startUs = in->start_time != AV_NOPTS_VALUE ? in->start_time : 0;
    const std::int64_t targetUs = std::max<std::int64_t>(0, positionMs) * 1000 + startUs;
    const std::int64_t target
        = av_rescale_q(targetUs, AVRational { 1, 1000000 }, stream->time_base);
    if (av_seek_frame(in, index, target, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(in, index, 0, AVSEEK_FLAG_BACKWARD);

    // One picture's time; a picture two of them before the target is never on screen then.
    const AVRational rate = stream->avg_frame_rate;
    const std::int64_t frameUs = rate.num > 0 && rate.den > 0
        ? std::max<std::int64_t>(1000, av_rescale(1000000, rate.den, rate.num))
        : 200000;

    // Decode forward from the keyframe: keep the latest picture at or before the target,
    // stop at the first one after it.
    PacketPtr packet = MakePacket();
    FramePtr frame = MakeFrame();
    FramePtr chosen;
    std::int64_t chosenUs = 0;
    bool past = false;
    bool draining = false;
    while (!past) {
        if (!draining) {
            const int read = av_read_frame(in, packet.get());
            if (read < 0) {
                draining = true;
                avcodec_send_packet(decoder.get(), nullptr);
            } else {
                if (packet->stream_index == index) {
                    // Pictures no other picture refers to are skipped until the target's
                    // neighbourhood: nothing shows them.
                    const std::int64_t packetUs
                        = ToMicroseconds(packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts,
                            stream->time_base);
                    decoder->skip_frame = packetUs != INT64_MIN && packetUs + 2 * frameUs < targetUs
                        ? AVDISCARD_NONREF
                        : AVDISCARD_DEFAULT;
                    avcodec_send_packet(decoder.get(), packet.get());
                }
                av_packet_unref(packet.get());
            }
        }
        for (;;) {
            const int received = avcodec_receive_frame(decoder.get(), frame.get());
            if (received == AVERROR_EOF) {
                past = true;
                break;
            }
            if (received < 0)
                break;
            const std::int64_t timeUs
                = ToMicroseconds(frame->best_effort_timestamp, stream->time_base);
            if (chosen && timeUs != INT64_MIN && timeUs > targetUs) {
                past = true;
                break;
            }
            const std::int64_t durationUs = frame->pkt_duration > 0
                ? ToMicroseconds(frame->pkt_duration, stream->time_base)
                : frameUs;
            chosen.reset(av_frame_clone(frame.get()));
            chosenUs = timeUs == INT64_MIN ? 0 : timeUs;
            av_frame_unref(frame.get());
            // Pictures come in presentation order: one that is still on screen at the
            // target is the one, and nothing after it needs decoding.
            if (timeUs > targetUs || (timeUs != INT64_MIN && timeUs + durationUs > targetUs)) {
                past = true;
                break;
            }
        }
    }
    if (!chosen)
        return std::nullopt;
    QImage image = ToRgb(chosen.get());
    if (image.isNull())
        return std::nullopt;
    return GrabbedPicture { std::move(image),
        std::max<std::int64_t>(0, chosenUs - startUs) / 1000 };
}

} // namespace velomira
