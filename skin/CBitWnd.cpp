#include "skin/CBitWnd.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace velomira {

CBitWnd::CBitWnd(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    resize(0, 0);
    show();
}

CBitWnd::~CBitWnd() = default;

void CBitWnd::SetStrip(int imageId, int frameWidth, int frameHeight)
{
    SetStrip(std::make_unique<ImageStrip>(imageId, frameWidth, frameHeight));
}

void CBitWnd::SetStrip(std::unique_ptr<ImageStrip> strip)
{
    m_strip = std::move(strip);
    if (m_strip)
        setGeometry(0, 0, m_strip->frameWidth(), m_strip->frameHeight());
    update();
}

void CBitWnd::paintEvent(QPaintEvent*)
{
    // A window without a strip paints nothing at all, not even its background.
    if (!m_strip)
        return;
    QPainter painter(this);
    m_strip->DrawFrame(&painter, static_cast<std::uint32_t>(m_frameIndex));
}

void CBitWnd::ShowFrame(int index)
{
    const std::uint32_t count = m_strip ? m_strip->frameCount() : 0;
    m_frameIndex = static_cast<std::uint32_t>(index) < count ? index : 0;
    update();
}

void CBitWnd::enterEvent(QEnterEvent*)
{
    ShowFrame(1);
}

void CBitWnd::leaveEvent(QEvent*)
{
    ShowFrame(0);
}

void CBitWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (m_forwardMouse)
        Forward(event);
}

void CBitWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        ShowFrame(2);
    if (m_forwardMouse)
        Forward(event);
}

void CBitWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        ShowFrame(1);
        emit clicked();
    }
    if (m_forwardMouse)
        Forward(event);
}

void CBitWnd::Forward(QMouseEvent* event)
{
    QWidget* target = parentWidget();
    if (target == nullptr)
        return;
    const QPointF local = mapTo(target, event->position().toPoint());
    QMouseEvent forwarded(event->type(), local, event->globalPosition(), event->button(),
        event->buttons(), event->modifiers());
    QCoreApplication::sendEvent(target, &forwarded);
}

} // namespace velomira
