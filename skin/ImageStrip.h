#pragma once

#include <cstdint>

#include <QImage>
#include <QRect>

class QPainter;

namespace velomira {

// One skin image cut into equal frames, side by side or stacked (stacked when the
// image is narrower than it is tall). Copies are always 1:1, never scaled.
class ImageStrip {
public:
    // A frame width or height of 0 means the whole image width or height.
    ImageStrip(int imageId, int frameWidth, int frameHeight);
    // The same from an image already in memory.
    ImageStrip(const QImage& image, int frameWidth, int frameHeight);

    bool IsValid() const { return !m_image.isNull(); }
    std::uint32_t frameCount() const { return m_frameCount; }
    int frameWidth() const { return m_frameWidth; }
    int frameHeight() const { return m_frameHeight; }
    bool vertical() const { return m_vertical; }
    QSize imageSize() const { return m_image.size(); }
    const QImage& image() const { return m_image; }

    // False when `index` is not a frame of the strip.
    bool FrameRect(std::uint32_t index, QRect* rect) const;
    // Copies frame `index` to (0, 0) of `painter`; false without a painter or frame.
    bool DrawFrame(QPainter* painter, std::uint32_t index) const;
    // Copies the part of the image at (sourceX, sourceY) to (x, y). A width or height
    // of 0 means the full image width or height. False without a painter.
    bool BlitPart(
        QPainter* painter, int x, int y, int width, int height, int sourceX, int sourceY) const;

private:
    void Cut(int frameWidth, int frameHeight);

    QImage m_image;
    std::uint32_t m_frameCount = 0;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    bool m_vertical = false;
};

} // namespace velomira
