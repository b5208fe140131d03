#include "skin/ImageStrip.h"

#include <QPainter>

#include "skin/SkinImages.h"

namespace velomira {

ImageStrip::ImageStrip(int imageId, int frameWidth, int frameHeight)
    : m_image(LoadSkinImage(imageId))
{
    Cut(frameWidth, frameHeight);
}

ImageStrip::ImageStrip(const QImage& image, int frameWidth, int frameHeight)
    : m_image(image)
{
    Cut(frameWidth, frameHeight);
}

void ImageStrip::Cut(int frameWidth, int frameHeight)
{
    const int width = m_image.width();
    const int height = m_image.height();
    m_vertical = width < height;
    m_frameWidth = frameWidth == 0 ? width : frameWidth;
    m_frameHeight = frameHeight == 0 ? height : frameHeight;
    // A frame size that does not fit the image (or a negative one) leaves no frame
    // rather than dividing by zero.
    if (m_image.isNull() || m_frameWidth <= 0 || m_frameHeight <= 0) {
        m_frameCount = 0;
        return;
    }
    m_frameCount = m_vertical ? static_cast<std::uint32_t>(height) / m_frameHeight
                              : static_cast<std::uint32_t>(width) / m_frameWidth;
}

bool ImageStrip::FrameRect(std::uint32_t index, QRect* rect) const
{
    if (index >= m_frameCount || rect == nullptr)
        return false;
    const int left = m_vertical ? 0 : static_cast<int>(index) * m_frameWidth;
    const int top = m_vertical ? static_cast<int>(index) * m_frameHeight : 0;
    *rect = QRect(left, top, m_frameWidth, m_frameHeight);
    return true;
}

bool ImageStrip::DrawFrame(QPainter* painter, std::uint32_t index) const
{
    QRect frame;
    if (painter == nullptr || !FrameRect(index, &frame))
        return false;
    painter->drawImage(QPoint(0, 0), m_image, frame);
    return true;
}

bool ImageStrip::BlitPart(
    QPainter* painter, int x, int y, int width, int height, int sourceX, int sourceY) const
{
    if (painter == nullptr || m_image.isNull())
        return false;
    if (width == 0)
        width = m_image.width();
    if (height == 0)
        height = m_image.height();
    // Only the part that lies inside the image is copied, at the place it would have
    // had in an unclipped copy.
    const QRect source = QRect(sourceX, sourceY, width, height).intersected(m_image.rect());
    if (!source.isEmpty())
        painter->drawImage(
            QPoint(x + source.x() - sourceX, y + source.y() - sourceY), m_image, source);
    return true;
}

} // namespace velomira
