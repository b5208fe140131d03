#pragma once

#include <memory>

#include <QSlider>

#include "skin/CBitWnd.h"
#include "skin/ImageStrip.h"

namespace velomira {

// A slider whose track is painted from two skin images, the filled image before the
// thumb and the remaining image after it, both read at the coordinates they are drawn
// at, and whose thumb is a CBitWnd child over the slider's own, undrawn thumb.
// Position, range, dragging, keys and the signals stay those of QSlider; the mouse
// wheel never moves it.
class CBitSlider : public QSlider {
    Q_OBJECT
public:
    explicit CBitSlider(Qt::Orientation orientation, QWidget* parent = nullptr);
    ~CBitSlider() override;

    // Creates the thumb window from a one-frame image; does nothing when the thumb
    // exists already or `imageId` is 0.
    void InitThumb(int imageId, int frameWidth, int frameHeight);
    // Offset of the thumb across the track, from the top edge (horizontal slider) or
    // the left edge (vertical).
    void SetThumbOffset(int offset);
    // Replaces both strips and resizes the slider to the filled image.
    void SetTrackImages(int remainingImageId, int filledImageId);
    void SetTrackImages(const QImage& remaining, const QImage& filled);

    // A left press on the track outside the thumb moves the slider to the value under
    // the pointer (and reports it as a thumb move) instead of stepping by a page.
    void SetJumpToClick(bool jump) { m_jumpToClick = jump; }

    // Where the thumb window belongs, in slider coordinates.
    QRect ThumbRect() const;
    const CBitWnd* thumb() const { return m_thumb; }
    int thumbOffset() const { return m_thumbOffset; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void sliderChange(SliderChange change) override;

private:
    bool CanPaint() const;
    void PlaceThumb();
    QRect TrackbarThumbRect() const;

    CBitWnd* m_thumb = nullptr;
    std::unique_ptr<ImageStrip> m_filledStrip;
    std::unique_ptr<ImageStrip> m_remainingStrip;
    int m_thumbOffset = 0;
    bool m_jumpToClick = false;
};

} // namespace velomira
