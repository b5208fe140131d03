// The main window's background and its moving by the top strip.
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"

namespace velomira {

void CSamplePlayerDlg::paintEvent(QPaintEvent* event)
{
    // The skin 1:1 at the top-left corner, black beyond it on a larger client. Rectangle
    // by rectangle, each under a clip of its own: under a clip of several rectangles the
    // painter copies an image span by span and hands tall copies to the thread pool,
    // which wakes two more threads for every repaint of a slider or label.
    QPainter painter(this);
    const QRect skin = m_skin.isNull() ? QRect() : m_skin.rect();
    for (const QRect& rect : event->region()) {
        painter.setClipRect(rect);
        const QRect part = rect.intersected(skin);
        if (part != rect)
            painter.fillRect(rect, Qt::black);
        if (!part.isEmpty())
            painter.drawImage(part.topLeft(), m_skin, part);
    }
    painter.setClipping(false);
    if (m_screenMode == kFullScreen) {
        // Full screen has no skin: a dark strip at the top and a control bar at the
        // bottom, in the skin's colours, carry the buttons.
        const int w = width();
        const int h = height();
        painter.fillRect(QRect(0, 0, w, 27), QColor(22, 26, 31));
        painter.fillRect(QRect(0, h - 76, w, 76), QColor(28, 33, 37));
        painter.fillRect(QRect(0, h - 76, w, 1), QColor(44, 51, 59));
    }
    // The panel paints what the tick last composed while a recording plays or is paused,
    // so an uncovered window shows the same telemetry as before; a stopped or closed
    // player leaves the empty gauges, as it leaves the empty video views.
    const int state = PlayerState();
    if (m_hooks.paintTelemetry && (state == 0 || state == 1))
        m_hooks.paintTelemetry(painter);
}

bool CSamplePlayerDlg::InMoveStrip(QPoint point) const
{
    return m_screenMode == kWindowed && point.x() >= 0 && point.x() <= 1023 && point.y() >= 0
        && point.y() <= 32;
}

void CSamplePlayerDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && InMoveStrip(event->position().toPoint())) {
        // The strip acts as a caption bar: the window system moves the window.
        if (QWindow* window = windowHandle())
            window->startSystemMove();
        FocusList();
        return;
    }
    if (event->button() == Qt::LeftButton && m_hooks.leftButtonOnWindow)
        m_hooks.leftButtonOnWindow(event->position().toPoint());
    QDialog::mousePressEvent(event);
}

void CSamplePlayerDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton && InMoveStrip(event->position().toPoint())) {
        if (QWindow* window = windowHandle())
            window->startSystemMove();
        FocusList();
        return;
    }
    if (event->buttons() == Qt::LeftButton && m_hooks.leftButtonOnWindow)
        m_hooks.leftButtonOnWindow(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void CSamplePlayerDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FocusList();
    QDialog::mouseReleaseEvent(event);
}

} // namespace velomira
