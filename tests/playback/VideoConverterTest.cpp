#include "playback/ffmpeg/VideoConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "devtools/mkcard/FrameStamp.h"
#include "playback/ffmpeg/MediaSource.h"
#include "support/TestPaths.h"

namespace velomira::ffmpeg {
namespace {

// The first picture of the default recording's front stream (320x180, frame 0).
FramePtr FirstFrontPicture()
{
    const auto source = MediaSource::Open((test::TestDataDir() / "rec" / "default.mp4").string());
    if (!source || source->VideoStream(0) < 0)
        return {};
    AVStream* stream = source->Context()->streams[source->VideoStream(0)];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0
        || avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return {};
    PacketPtr packet = MakePacket();
    FramePtr frame = MakeFrame();
    while (av_read_frame(source->Context(), packet.get()) >= 0) {
        const bool ours = packet->stream_index == stream->index
            && avcodec_send_packet(decoder.get(), packet.get()) >= 0;
        av_packet_unref(packet.get());
        if (ours && avcodec_receive_frame(decoder.get(), frame.get()) == 0)
            return frame;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (avcodec_receive_frame(decoder.get(), frame.get()) == 0)
        return frame;
    return {};
}

// The whole picture in RGB32 at its own size, converted without scaling.
QImage Reference(const AVFrame* frame)
{
    QImage image(frame->width, frame->height, QImage::Format_RGB32);
    SwsContextPtr scaler(
        sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
            frame->width, frame->height, AV_PIX_FMT_RGB32, SWS_POINT, nullptr, nullptr, nullptr));
    uint8_t* destination[4] = { image.bits(), nullptr, nullptr, nullptr };
    int stride[4] = { static_cast<int>(image.bytesPerLine()), 0, 0, 0 };
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, destination, stride);
    return image;
}

int Distance(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
        + std::abs(qBlue(a) - qBlue(b));
}

// Mean colour distance between the converted image (covering `part` of a picture of
// `pictureSize`) and the reference sampled at the same places, over the columns
// [x0, x1) and rows [y0, y1) of the image.
double MeanDistance(const QImage& image, QRect part, QSize pictureSize, const QImage& reference,
    int x0, int x1, int y0, int y1)
{
    const double sx = static_cast<double>(reference.width()) / pictureSize.width();
    const double sy = static_cast<double>(reference.height()) / pictureSize.height();
    double sum = 0;
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        const int ry
            = std::clamp(static_cast<int>((part.top() + y + 0.5) * sy), 0, reference.height() - 1);
        for (int x = x0; x < x1; ++x) {
            const int rx = std::clamp(
                static_cast<int>((part.left() + x + 0.5) * sx), 0, reference.width() - 1);
            sum += Distance(image.pixel(x, y), reference.pixel(rx, ry));
            ++count;
        }
    }
    return count > 0 ? sum / count : 0;
}

class VideoConversion : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_frame = FirstFrontPicture();
        ASSERT_TRUE(m_frame) << "no picture in default.mp4";
        m_reference = Reference(m_frame.get());
    }
    FramePtr m_frame;
    QImage m_reference;
};

TEST_F(VideoConversion, EverySizeAndZoomGivesThePictureUpToItsLastRowAndColumn)
{
    const struct {
        const char* name;
        QSize picture;
        QRect visible;
        bool stampVisible;
        bool compared = true; // a tiny picture is an average of large areas
    } cases[] = {
        { "same size", { 320, 180 }, { 0, 0, 320, 180 }, true },
        { "even down", { 160, 90 }, { 0, 0, 160, 90 }, true },
        { "odd width down", { 107, 60 }, { 0, 0, 107, 60 }, true },
        { "odd width and height down", { 159, 89 }, { 0, 0, 159, 89 }, true },
        { "odd width up (panel)", { 633, 354 }, { 0, 0, 633, 354 }, true },
        { "odd width and height up", { 641, 361 }, { 0, 0, 641, 361 }, true },
        { "even width, odd height", { 310, 233 }, { 0, 0, 310, 233 }, true },
        { "a fifth: cells' centres", { 64, 36 }, { 0, 0, 64, 36 }, true },
        { "a quarter across, a third down", { 80, 60 }, { 0, 0, 80, 60 }, true },
        { "8x zoom, odd offsets", { 2560, 1440 }, { 1001, 777, 633, 354 }, false },
        { "8x zoom, bottom right", { 2560, 1440 }, { 1927, 1086, 633, 354 }, false },
        { "tiny", { 3, 3 }, { 0, 0, 3, 3 }, false, false },
        { "back to the panel", { 633, 354 }, { 0, 0, 633, 354 }, true },
    };
    // One converter for the whole table, as a window resized again and again uses it.
    VideoConverter converter;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QRect part;
        const QImage image = converter.Convert(m_frame.get(), { c.picture, c.visible }, &part);
        ASSERT_FALSE(image.isNull());
        const CropPlan plan
            = PlanCrop(QSize(m_frame->width, m_frame->height), c.picture, c.visible);
        EXPECT_EQ(part, plan.part);
        ASSERT_EQ(image.size(), part.size());

        if (c.stampVisible) {
            const auto stamp = ReadFrameStampRgb32(image.constBits(),
                static_cast<int>(image.bytesPerLine()), image.width(), image.height());
            ASSERT_TRUE(stamp.has_value());
            EXPECT_EQ(stamp->streamId, 0);
            EXPECT_EQ(stamp->frameNumber, 0);
        }
        if (!c.compared)
            continue;
        // Scaling filters differ from the reference's sampling at edges; a block left
        // unconverted or shifted differs by far more.
        const int w = image.width();
        const int h = image.height();
        EXPECT_LT(MeanDistance(image, part, c.picture, m_reference, 0, w, 0, h), 24);
        EXPECT_LT(MeanDistance(image, part, c.picture, m_reference, w - 1, w, 0, h), 48);
        EXPECT_LT(MeanDistance(image, part, c.picture, m_reference, 0, w, h - 1, h), 48);
    }
}

TEST_F(VideoConversion, APictureHandedOutStaysIntactThroughLaterConversions)
{
    VideoConverter converter;
    const ViewGeometry panel { QSize(633, 354), QRect(0, 0, 633, 354) };
    QRect part;
    const QImage first = converter.Convert(m_frame.get(), panel, &part);
    ASSERT_FALSE(first.isNull());
    const QImage kept = first.copy();
    for (int i = 0; i < 3; ++i)
        converter.Convert(m_frame.get(), { QSize(641, 361), QRect(0, 0, 641, 361) }, &part);
    const QImage zoomed
        = converter.Convert(m_frame.get(), { QSize(2560, 1440), QRect(5, 5, 633, 354) }, &part);
    ASSERT_FALSE(zoomed.isNull());
    EXPECT_TRUE(first == kept);
}

// Pictures are written where the image source says when what it gives fits (a window's
// shared memory), and into the converter's own image otherwise: either way the same
// pixels, for the two-step (scaled) and the direct (same size) conversion.
TEST_F(VideoConversion, WritesIntoTheImagesItIsGivenWhenTheyFit)
{
    const struct {
        const char* name;
        QSize picture;
        int extraRowPixels; // added to the padded row the source is asked for
        bool used;
    } cases[] = {
        { "scaled, padded rows", { 633, 354 }, 0, true },
        { "scaled, wider rows", { 633, 354 }, 8, true },
        { "scaled, rows too short", { 633, 354 }, -4, false },
        { "same size", { 320, 180 }, 0, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ViewGeometry geometry { c.picture, QRect(QPoint(0, 0), c.picture) };
        QRect part;
        const QImage expected = VideoConverter().Convert(m_frame.get(), geometry, &part);
        ASSERT_FALSE(expected.isNull());

        std::vector<uchar> buffer;
        VideoConverter converter;
        converter.SetImageSource([&](QSize size, QSize padded) {
            const int rowPixels = padded.width() + c.extraRowPixels;
            buffer.assign(static_cast<size_t>(rowPixels) * 4 * padded.height(), 0);
            return QImage(
                buffer.data(), size.width(), size.height(), rowPixels * 4, QImage::Format_RGB32);
        });
        const QImage image = converter.Convert(m_frame.get(), geometry, &part);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.constBits() == buffer.data(), c.used);
        EXPECT_TRUE(image == expected);
    }
}

// Dashcams often record full-range (YUVJ) pictures: they keep their colours whichever
// way a size is scaled.
TEST_F(VideoConversion, AFullRangePictureKeepsItsColoursAtEverySize)
{
    FramePtr full = MakeFrame();
    full->format = AV_PIX_FMT_YUVJ420P;
    full->width = m_frame->width;
    full->height = m_frame->height;
    ASSERT_GE(av_frame_get_buffer(full.get(), 64), 0);
    SwsContextPtr toFull(
        sws_getContext(m_frame->width, m_frame->height, static_cast<AVPixelFormat>(m_frame->format),
            full->width, full->height, AV_PIX_FMT_YUVJ420P, SWS_POINT, nullptr, nullptr, nullptr));
    sws_scale(toFull.get(), m_frame->data, m_frame->linesize, 0, m_frame->height, full->data,
        full->linesize);

    for (const QSize size : { QSize(160, 90), QSize(107, 60) }) { // a whole fraction, and not
        SCOPED_TRACE(size.width());
        const ViewGeometry geometry { size, QRect(QPoint(0, 0), size) };
        QRect part;
        const QImage limited = VideoConverter().Convert(m_frame.get(), geometry, &part);
        const QImage fromFull = VideoConverter().Convert(full.get(), geometry, &part);
        ASSERT_FALSE(limited.isNull());
        ASSERT_FALSE(fromFull.isNull());
        double sum = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                sum += Distance(limited.pixel(x, y), fromFull.pixel(x, y));
        EXPECT_LT(sum / (size.width() * size.height()), 6);
    }
}

TEST_F(VideoConversion, NothingVisibleGivesNoPicture)
{
    VideoConverter converter;
    QRect part;
    EXPECT_TRUE(converter.Convert(m_frame.get(), { QSize(320, 180), QRect() }, &part).isNull());
    EXPECT_TRUE(converter.Convert(m_frame.get(), { QSize(320, 180), QRect(400, 0, 10, 10) }, &part)
                    .isNull());
    EXPECT_TRUE(
        converter.Convert(nullptr, { QSize(320, 180), QRect(0, 0, 320, 180) }, &part).isNull());
}

} // namespace
} // namespace velomira::ffmpeg
