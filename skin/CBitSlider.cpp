#include "skin/CBitSlider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

namespace velomira {

CBitSlider::CBitSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

CBitSlider::~CBitSlider() = default;

void CBitSlider::InitThumb(int imageId, int frameWidth, int frameHeight)
{
    if (m_thumb != nullptr || imageId == 0)
        return;
    m_thumb = new CBitWnd(this);
    m_thumb->SetStrip(imageId, frameWidth, frameHeight);
    m_thumb->SetForwardMouse(true);
    PlaceThumb();
}

void CBitSlider::SetThumbOffset(int offset)
{
    m_thumbOffset = offset;
    PlaceThumb();
    update();
}

void CBitSlider::SetTrackImages(int remainingImageId, int filledImageId)
{
    m_remainingStrip = std::make_unique<ImageStrip>(remainingImageId, 0, 0);
    m_filledStrip = std::make_unique<ImageStrip>(filledImageId, 0, 0);
    if (m_filledStrip->IsValid())
        resize(m_filledStrip->imageSize());
    PlaceThumb();
    update();
}

void CBitSlider::SetTrackImages(const QImage& remaining, const QImage& filled)
{
    m_remainingStrip = std::make_unique<ImageStrip>(remaining, 0, 0);
    m_filledStrip = std::make_unique<ImageStrip>(filled, 0, 0);
    if (m_filledStrip->IsValid())
        resize(m_filledStrip->imageSize());
    PlaceThumb();
    update();
}

QRect CBitSlider::TrackbarThumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

QRect CBitSlider::ThumbRect() const
{
    if (m_thumb == nullptr)
        return {};
    const int tw = m_thumb->width();
    const int th = m_thumb->height();
    const QRect r = TrackbarThumbRect();
    // The thumb image is centred on the slider's own thumb, so a press on the image
    // always lands on the thumb the slider drags.
    if (orientation() == Qt::Horizontal) {
        const int left = r.left() + (r.width() - tw) / 2;
        return QRect(left, m_thumbOffset, tw, th);
    }
    const int top = r.top() + (r.height() - th) / 2;
    return QRect(m_thumbOffset, top, tw, th);
}

bool CBitSlider::CanPaint() const
{
    return m_thumb != nullptr && m_filledStrip && m_remainingStrip && m_filledStrip->IsValid()
        && m_remainingStrip->IsValid();
}

void CBitSlider::PlaceThumb()
{
    if (m_thumb == nullptr)
        return;
    // Until both strips exist the slider shows nothing, the thumb included.
    m_thumb->setVisible(CanPaint());
    if (CanPaint())
        m_thumb->setGeometry(ThumbRect());
}

void CBitSlider::paintEvent(QPaintEvent*)
{
    if (!CanPaint())
        return;
    const QRect c = rect();
    const QRect t = ThumbRect();
    QPainter painter(this);
    if (orientation() == Qt::Horizontal) {
        const int filledWidth = t.left() + t.width();
        if (filledWidth > 0)
            m_filledStrip->BlitPart(&painter, 0, 0, filledWidth, c.height(), 0, 0);
        const int remainingWidth = c.width() - filledWidth;
        if (remainingWidth > 0)
            m_remainingStrip->BlitPart(
                &painter, filledWidth, 0, remainingWidth, c.height(), filledWidth, 0);
    } else {
        const int filledHeight = t.top() + t.height();
        if (filledHeight > 0)
            m_filledStrip->BlitPart(&painter, 0, 0, c.width(), filledHeight, 0, 0);
        const int remainingHeight = c.height() - filledHeight;
        if (remainingHeight > 0)
            m_remainingStrip->BlitPart(
                &painter, 0, filledHeight, c.width(), remainingHeight, 0, filledHeight);
    }
}

void CBitSlider::wheelEvent(QWheelEvent* event)
{
    // Handled and ignored: the wheel never moves a bitmap slider.
    event->accept();
}

void CBitSlider::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QRect handle = TrackbarThumbRect();
    if (!m_jumpToClick || event->button() != Qt::LeftButton || handle.contains(at)) {
        QSlider::mousePressEvent(event);
        return;
    }
    // The value whose thumb would be centred under the pointer.
    const bool horizontal = orientation() == Qt::Horizontal;
    const int handleLength = horizontal ? handle.width() : handle.height();
    const int span = (horizontal ? width() : height()) - handleLength;
    const int pixel = (horizontal ? at.x() : at.y()) - handleLength / 2;
    const int value = QStyle::sliderValueFromPosition(
        minimum(), maximum(), pixel, span, !horizontal != invertedAppearance());
    setSliderPosition(value);
    triggerAction(QAbstractSlider::SliderMove);
    event->accept();
}

void CBitSlider::resizeEvent(QResizeEvent* event)
{
    QSlider::resizeEvent(event);
    PlaceThumb();
}

void CBitSlider::sliderChange(SliderChange change)
{
    QSlider::sliderChange(change);
    PlaceThumb();
}

} // namespace velomira
