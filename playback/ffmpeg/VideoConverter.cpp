#include "playback/ffmpeg/VideoConverter.h"

#include "playback/WholeFactorScale.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velomira::ffmpeg {

CropPlan PlanCrop(QSize sourceSize, QSize pictureSize, QRect visible)
{
    const QRect whole(QPoint(0, 0), pictureSize);
    visible = visible.intersected(whole);
    if (visible.isEmpty() || sourceSize.isEmpty())
        return {};
    const double sx = static_cast<double>(sourceSize.width()) / pictureSize.width();
    const double sy = static_cast<double>(sourceSize.height()) / pictureSize.height();
    // Even edges keep subsampled chroma aligned with the luma.
    auto down = [](double v) { return static_cast<int>(std::floor(v)) & ~1; };
    auto up = [](double v, int limit) {
        return std::min(limit, (static_cast<int>(std::ceil(v)) + 1) & ~1);
    };
    const int x0 = down(visible.left() * sx);
    const int y0 = down(visible.top() * sy);
    const int x1 = up((visible.right() + 1) * sx, sourceSize.width());
    const int y1 = up((visible.bottom() + 1) * sy, sourceSize.height());
    const int px0 = static_cast<int>(std::lround(x0 / sx));
    const int py0 = static_cast<int>(std::lround(y0 / sy));
    const int px1 = std::min(pictureSize.width(), static_cast<int>(std::lround(x1 / sx)));
    const int py1 = std::min(pictureSize.height(), static_cast<int>(std::lround(y1 / sy)));
    if (x1 <= x0 || y1 <= y0 || px1 <= px0 || py1 <= py0)
        return {};
    return { QRect(x0, y0, x1 - x0, y1 - y0), QRect(px0, py0, px1 - px0, py1 - py0) };
}

namespace {

// An RGB32 image of `size` over a buffer `paddedSize` big (each row and the row count
// rounded up), for converters that write whole blocks of pixels past the image's edge.
QImage PaddedImage(QSize size, QSize paddedSize)
{
    auto* backing = new QImage(paddedSize, QImage::Format_RGB32);
    if (backing->isNull()) {
        delete backing;
        return {};
    }
    return QImage(
        backing->bits(), size.width(), size.height(), backing->bytesPerLine(), QImage::Format_RGB32,
        [](void* info) { delete static_cast<QImage*>(info); }, backing);
}

int RoundUp(int value, int step)
{
    return (value + step - 1) / step * step;
}

} // namespace

QImage VideoConverter::Convert(const AVFrame* frame, const ViewGeometry& geometry, QRect* part)
{
    if (frame == nullptr || frame->width <= 0 || frame->height <= 0)
        return {};
    const CropPlan plan
        = PlanCrop(QSize(frame->width, frame->height), geometry.pictureSize, geometry.visibleRect);
    if (plan.part.isEmpty())
        return {};

    av_frame_unref(m_cropped.get());
    if (av_frame_ref(m_cropped.get(), frame) < 0)
        return {};
    m_cropped->crop_left = static_cast<size_t>(plan.source.left());
    m_cropped->crop_top = static_cast<size_t>(plan.source.top());
    m_cropped->crop_right = static_cast<size_t>(frame->width - plan.source.right() - 1);
    m_cropped->crop_bottom = static_cast<size_t>(frame->height - plan.source.bottom() - 1);
    if (av_frame_apply_cropping(m_cropped.get(), AV_FRAME_CROP_UNALIGNED) < 0)
        return {};

    const QSize outSize = plan.part.size();
    const auto format = static_cast<AVPixelFormat>(m_cropped->format);
    const bool direct = (format != AV_PIX_FMT_YUV420P && format != AV_PIX_FMT_YUVJ420P)
        || (outSize == QSize(m_cropped->width, m_cropped->height) && outSize.width() % 2 == 0);
    QImage image = direct
        ? NewImage(outSize, outSize)
        : NewImage(outSize, QSize(RoundUp(outSize.width(), 16), RoundUp(outSize.height(), 2)));
    const bool converted = !image.isNull()
        && (direct ? ScaleDirect(m_cropped.get(), image) : ScaleInTwoSteps(m_cropped.get(), image));
    av_frame_unref(m_cropped.get());
    if (!converted)
        return {};
    if (part != nullptr)
        *part = plan.part;
    return image;
}

QImage VideoConverter::NewImage(QSize size, QSize padded)
{
    if (m_imageSource) {
        QImage image = m_imageSource(size, padded);
        if (!image.isNull() && image.size() == size && image.format() == QImage::Format_RGB32
            && image.bytesPerLine() >= padded.width() * 4)
            return image;
    }
    return padded == size ? QImage(size, QImage::Format_RGB32) : PaddedImage(size, padded);
}

bool VideoConverter::ScaleDirect(const AVFrame* source, QImage& image)
{
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), source->width, source->height,
        static_cast<AVPixelFormat>(source->format), image.width(), image.height(), AV_PIX_FMT_RGB32,
        SWS_FAST_BILINEAR, nullptr, nullptr, nullptr));
    if (!m_scaler)
        return false;
    uint8_t* destination[4] = { image.bits(), nullptr, nullptr, nullptr };
    int destinationStride[4] = { static_cast<int>(image.bytesPerLine()), 0, 0, 0 };
    return sws_scale(m_scaler.get(), source->data, source->linesize, 0, source->height, destination,
               destinationStride)
        > 0;
}

bool VideoConverter::ScaleInTwoSteps(const AVFrame* source, QImage& image)
{
    const int width = image.width();
    const int height = image.height();
    const int evenHeight = RoundUp(height, 2);
    if (m_small->width != width || m_small->height != evenHeight) {
        av_frame_unref(m_small.get());
        m_small->format = AV_PIX_FMT_YUV420P;
        m_small->width = width;
        m_small->height = evenHeight;
        // Rows aligned to 64 bytes: the converter reads whole blocks of 8 pixels.
        if (av_frame_get_buffer(m_small.get(), 64) < 0) {
            av_frame_unref(m_small.get());
            return false;
        }
    }
    const auto factors = WholeFactorsFor(source->width, source->height, width, height);
    // Sampled here, the small picture keeps the source's range (full for a YUVJ picture);
    // swscale's scaling step converts it to the limited range.
    const auto smallFormat
        = factors ? static_cast<AVPixelFormat>(source->format) : AV_PIX_FMT_YUV420P;
    m_toRgb.reset(sws_getCachedContext(m_toRgb.release(), width, evenHeight, smallFormat, width,
        evenHeight, AV_PIX_FMT_RGB32, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr));
    if (!m_toRgb)
        return false;
    if (factors) {
        // The usual panels are whole fractions of the usual pictures.
        ScaleDownByWholeFactors(source->data[0], source->linesize[0], m_small->data[0],
            m_small->linesize[0], width, height, *factors);
        for (const int plane : { 1, 2 })
            ScaleDownByWholeFactors(source->data[plane], source->linesize[plane],
                m_small->data[plane], m_small->linesize[plane], width / 2, height / 2, *factors);
    } else {
        m_scaler.reset(sws_getCachedContext(m_scaler.release(), source->width, source->height,
            static_cast<AVPixelFormat>(source->format), width, height, AV_PIX_FMT_YUV420P,
            SWS_FAST_BILINEAR, nullptr, nullptr, nullptr));
        if (!m_scaler
            || sws_scale(m_scaler.get(), source->data, source->linesize, 0, source->height,
                   m_small->data, m_small->linesize)
                <= 0)
            return false;
    }
    if (evenHeight != height) {
        // The chroma rows already cover the extra row; repeat the last luma row.
        uint8_t* rows = m_small->data[0];
        const int stride = m_small->linesize[0];
        std::memcpy(rows + static_cast<ptrdiff_t>(height) * stride,
            rows + static_cast<ptrdiff_t>(height - 1) * stride, static_cast<size_t>(width));
    }
    // The image's buffer has evenHeight rows and rows rounded up to 16 pixels.
    uint8_t* destination[4] = { image.bits(), nullptr, nullptr, nullptr };
    int destinationStride[4] = { static_cast<int>(image.bytesPerLine()), 0, 0, 0 };
    return sws_scale(m_toRgb.get(), m_small->data, m_small->linesize, 0, evenHeight, destination,
               destinationStride)
        > 0;
}

} // namespace velomira::ffmpeg
