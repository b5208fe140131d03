#include "skin/CBitmapButton.h"

#include <QPainter>

#include "skin/SkinImages.h"

namespace velomira {

CBitmapButton::CBitmapButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CBitmapButton::SetImages(int normal, int pressed, int focused, int disabled)
{
    m_normalId = normal;
    m_pressedId = pressed;
    m_normal = LoadSkinImage(normal);
    m_pressed = LoadSkinImage(pressed);
    m_focused = LoadSkinImage(focused);
    m_disabled = LoadSkinImage(disabled);
    if (!m_normal.isNull())
        resize(m_normal.size());
    update();
}

const QImage& CBitmapButton::CurrentImage() const
{
    if (isDown() && !m_pressed.isNull())
        return m_pressed;
    if (hasFocus() && !m_focused.isNull())
        return m_focused;
    if (!isEnabled() && !m_disabled.isNull())
        return m_disabled;
    return m_normal;
}

void CBitmapButton::paintEvent(QPaintEvent*)
{
    const QImage& image = CurrentImage();
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image);
}

} // namespace velomira
