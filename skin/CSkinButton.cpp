#include "skin/CSkinButton.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "skin/SkinImages.h"

namespace velomira {

CSkinButton::CSkinButton(SkinButtonKind kind, QWidget* parent)
    : QAbstractButton(parent)
    , m_kind(kind)
    , m_textColor(palette().color(QPalette::ButtonText))
{
    setMouseTracking(true);
}

CSkinButton::~CSkinButton() = default;

void CSkinButton::SetSkin(int normal, int down, int over, int disabled, int focus, int mask,
    int drawMode, int border, int focusMargin)
{
    m_normalImage = LoadSkinImage(normal);
    m_downImage = LoadSkinImage(down);
    m_overImage = LoadSkinImage(over);
    m_focusImage = LoadSkinImage(focus);
    m_disabledImage = LoadSkinImage(disabled != 0 ? disabled : normal);
    m_maskImage = QImage();
    m_drawMode = static_cast<SkinDrawMode>(std::clamp(drawMode, 0, 2));
    m_border = border;
    m_focusMargin = std::max(focusMargin, 0);
    update();
    if (mask == 0)
        return;
    m_maskImage = LoadSkinImage(mask);
    if (m_maskImage.isNull())
        return;
    m_windowRegion = CreateRegionFromMask(m_maskImage);
    // An empty region would mean "no shape" to Qt; a mask without opaque pixels
    // makes the button invisible instead.
    setMask(m_windowRegion.isEmpty() ? QRegion(-2, -2, 1, 1) : m_windowRegion);
    if (m_drawMode == SkinDrawMode::Plain)
        resize(m_maskImage.size());
}

void CSkinButton::SetCheck(bool checked)
{
    m_isChecked = m_kind != SkinButtonKind::Push && checked;
    if (m_kind == SkinButtonKind::Radio && m_isChecked)
        UncheckRadioGroup();
    update();
}

void CSkinButton::Uncheck()
{
    if (!m_isChecked)
        return;
    m_isChecked = false;
    update();
}

void CSkinButton::UncheckRadioGroup()
{
    QWidget* parent = parentWidget();
    if (parent == nullptr)
        return;
    for (CSkinButton* other : parent->findChildren<CSkinButton*>(Qt::FindDirectChildrenOnly)) {
        if (other == this || other->radioGroup() != m_radioGroup)
            continue;
        // Queued, so the others clear after the current event is done.
        QMetaObject::invokeMethod(other, &CSkinButton::Uncheck, Qt::QueuedConnection);
    }
}

void CSkinButton::ToggleByUser()
{
    if (m_kind == SkinButtonKind::Check)
        SetCheck(!m_isChecked);
    else if (m_kind == SkinButtonKind::Radio)
        SetCheck(true);
}

void CSkinButton::mousePressEvent(QMouseEvent* event)
{
    m_hovering = false;
    QAbstractButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_pressTracking = true;
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_kind != SkinButtonKind::Push && m_pressTracking
            && rect().contains(event->position().toPoint()))
            ToggleByUser();
        m_pressTracking = false;
    }
    // The base class sends clicked() when the release is over the button.
    QAbstractButton::mouseReleaseEvent(event);
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressTracking && !m_hovering && rect().contains(event->position().toPoint())) {
        m_hovering = true;
        update();
    }
    QAbstractButton::mouseMoveEvent(event);
}

void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is a second press, not a notification of its own.
    mousePressEvent(event);
}

void CSkinButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        ToggleByUser();
    QAbstractButton::keyPressEvent(event);
}

void CSkinButton::focusOutEvent(QFocusEvent* event)
{
    m_pressTracking = false;
    QAbstractButton::focusOutEvent(event);
}

void CSkinButton::enterEvent(QEnterEvent* event)
{
    if (!m_pressTracking) {
        m_hovering = true;
        update();
    }
    QAbstractButton::enterEvent(event);
}

void CSkinButton::leaveEvent(QEvent* event)
{
    m_hovering = false;
    update();
    QAbstractButton::leaveEvent(event);
}

QImage CSkinButton::CurrentImage() const
{
    if (!isEnabled())
        return m_disabledImage;
    if (isDown() || m_isChecked)
        return m_downImage;
    if (m_normalImage.isNull())
        return {};
    if (m_hovering && !m_overImage.isNull())
        return m_overImage;
    if (hasFocus() && !m_focusImage.isNull())
        return m_focusImage;
    return m_normalImage;
}

void CSkinButton::DrawEdge(QPainter* painter, bool sunken) const
{
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    painter->setPen(sunken ? dark : light);
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.topLeft(), r.bottomLeft());
    painter->setPen(sunken ? light : dark);
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->drawLine(r.topRight(), r.bottomRight());
}

void CSkinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect item = rect();
    QRect caption = item.adjusted(m_focusMargin + 2, 0, -(m_focusMargin + 2), 0);
    const QImage image = CurrentImage();
    if (image.isNull())
        painter.fillRect(item, palette().color(QPalette::Button));
    else
        DrawSkinImage(&painter, image, m_maskImage, item, m_drawMode);

    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (!isEnabled()) {
        if (m_border != 0)
            DrawEdge(&painter, false);
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawText(caption, flags, text());
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(caption.translated(-1, -1), flags, text());
        return;
    }
    const bool down = isDown() || m_isChecked;
    if (down)
        caption.translate(1, 1);
    if (m_border != 0)
        DrawEdge(&painter, down);
    if (hasFocus() && m_focusMargin > 0) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        painter.drawRect(
            item.adjusted(m_focusMargin, m_focusMargin, -m_focusMargin - 1, -m_focusMargin - 1));
    }
    painter.setPen(m_textColor);
    painter.drawText(caption, flags, text());
}

} // namespace velomira
