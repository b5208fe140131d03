#include "playback/ffmpeg/VideoConverter.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>

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

    const int outWidth = plan.part.width();
    const int outHeight = plan.part.height();
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), m_cropped->width, m_cropped->height,
        static_cast<AVPixelFormat>(m_cropped->format), outWidth, outHeight, AV_PIX_FMT_RGB32,
        SWS_FAST_BILINEAR, nullptr, nullptr, nullptr));
    if (!m_scaler)
        return {};
    QImage image(outWidth, outHeight, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    uint8_t* destination[4] = { image.bits(), nullptr, nullptr, nullptr };
    int destinationStride[4] = { static_cast<int>(image.bytesPerLine()), 0, 0, 0 };
    const int rows = sws_scale(m_scaler.get(), m_cropped->data, m_cropped->linesize, 0,
        m_cropped->height, destination, destinationStride);
    av_frame_unref(m_cropped.get());
    if (rows <= 0)
        return {};
    if (part != nullptr)
        *part = plan.part;
    return image;
}

} // namespace velomira::ffmpeg
