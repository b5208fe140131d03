#include "playback/views/CPlxVideoView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "playback/views/ZoomGeometry.h"

namespace velomira {

CPlxVideoView::CPlxVideoView(QWidget* panel, const QString& windowName)
    : QWidget(panel)
{
    setWindowTitle(windowName);
    setAccessibleName(windowName);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPlxVideoView::SetViewRect(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
}

void CPlxVideoView::ZoomByWheel(int flags, int amount, QPoint screenPoint)
{
    QWidget* panel = parentWidget();
    if (panel == nullptr || !m_hooks.zoomAllowed || !m_hooks.zoomAllowed())
        return;
    const ZoomStepResult step = ZoomStep(
        m_zoomLevel, geometry(), panel->size(), mapFromGlobal(screenPoint), flags, amount);
    m_zoomLevel = step.level;
    setGeometry(step.view);
    update();
    if (m_hooks.refreshVideo)
        m_hooks.refreshVideo();
}

QSize CPlxVideoView::PictureSize() const
{
    return size();
}

QRect CPlxVideoView::VisibleRect() const
{
    const QWidget* panel = parentWidget();
    if (panel == nullptr)
        return rect();
    // A hidden view (or one in a hidden panel) shows nothing, so nothing is converted
    // for it; showing it again asks for a refresh with its geometry.
    if (!isVisibleTo(panel->window()))
        return {};
    // The panel's client area in view coordinates, cut to the view.
    return QRect(-pos(), panel->size()).intersected(rect());
}

void CPlxVideoView::ShowPicture(const QImage& image, const QRect& part)
{
    m_picture = image;
    m_picturePart = part;
    update(part);
}

void CPlxVideoView::ClearPicture()
{
    m_picture = QImage();
    m_picturePart = QRect();
    update();
}

void CPlxVideoView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!m_picture.isNull() && m_picturePart.isValid()) {
        // Black only where the picture does not reach: a picture covers its whole part.
        for (const QRect& uncovered : QRegion(event->rect()).subtracted(m_picturePart))
            painter.fillRect(uncovered, Qt::black);
        painter.drawImage(m_picturePart, m_picture);
        return;
    }
    painter.fillRect(event->rect(), Qt::black);
    // No picture: a faint camera mark in the middle says what will show here.
    if (width() < 80 || height() < 60)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF c = QRectF(rect()).center();
    const QColor mark(38, 44, 51);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawRoundedRect(QRectF(c.x() - 22, c.y() - 14, 32, 28), 5, 5);
    QPolygonF lens;
    lens << QPointF(c.x() + 13, c.y() - 5) << QPointF(c.x() + 24, c.y() - 12)
         << QPointF(c.x() + 24, c.y() + 12) << QPointF(c.x() + 13, c.y() + 5);
    painter.drawPolygon(lens);
}

void CPlxVideoView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_hooks.refreshVideo)
        m_hooks.refreshVideo();
}

void CPlxVideoView::wheelEvent(QWheelEvent* event)
{
    // One zoom step per notch (120); the finer deltas of touchpads and smooth wheels
    // add up to notches instead of zooming a whole step each.
    constexpr int kNotch = 120;
    const int flags = event->buttons() == Qt::LeftButton ? 1 : 0;
    m_wheelRemainder += event->angleDelta().y();
    while (m_wheelRemainder >= kNotch || m_wheelRemainder <= -kNotch) {
        const int step = m_wheelRemainder > 0 ? kNotch : -kNotch;
        m_wheelRemainder -= step;
        ZoomByWheel(flags, step, event->globalPosition().toPoint());
    }
    event->accept();
}

void CPlxVideoView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (parentWidget() != nullptr)
        parentWidget()->setFocus(Qt::MouseFocusReason);
    m_dragStart = event->position().toPoint();
    m_dragging = true;
}

void CPlxVideoView::mouseMoveEvent(QMouseEvent* event)
{
    QWidget* panel = parentWidget();
    if (!m_dragging || panel == nullptr || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint inPanel = mapTo(panel, event->position().toPoint());
    const QPoint offset = ClampDragOffset(inPanel - m_dragStart, m_zoomLevel, panel->size());
    if (offset == pos())
        return;
    move(offset);
    if (m_hooks.refreshVideo)
        m_hooks.refreshVideo();
}

void CPlxVideoView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    update();
}

void CPlxVideoView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (FocusBeforeSwap())
        setFocus(Qt::MouseFocusReason);
    if (m_hooks.swapRequested)
        m_hooks.swapRequested();
}

} // namespace velomira
