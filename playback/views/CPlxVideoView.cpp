#include "playback/views/CPlxVideoView.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "platform/X11PictureOutput.h"
#include "playback/views/ZoomGeometry.h"

namespace velomira {

namespace {

// Pictures go to X windows of the views' own on an X display, unless
// VELOMIRA_VIDEO_OUTPUT=qt asks for Qt's painting (for comparing the two).
bool UseX11Output()
{
    static const bool use = QGuiApplication::platformName() == QLatin1String("xcb")
        && qEnvironmentVariable("VELOMIRA_VIDEO_OUTPUT") != QLatin1String("qt");
    return use;
}

} // namespace

CPlxVideoView::CPlxVideoView(QWidget* panel, const QString& windowName)
    : QWidget(panel)
{
    setWindowTitle(windowName);
    setAccessibleName(windowName);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CPlxVideoView::~CPlxVideoView()
{
    std::lock_guard lock(m_pictureMutex);
    m_output.reset();
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
    {
        std::lock_guard lock(m_pictureMutex);
        m_picture = image;
        m_picturePart = part;
        // Qt draws this one: the X window must not cover it.
        if (m_output)
            m_output->Hide();
    }
    update(part);
}

void CPlxVideoView::ClearPicture()
{
    {
        std::lock_guard lock(m_pictureMutex);
        m_picture = QImage();
        m_picturePart = QRect();
        if (m_output)
            m_output->Hide();
    }
    update();
}

bool CPlxVideoView::ShowPictureNow(const QImage& image, const QRect& part)
{
    std::lock_guard lock(m_pictureMutex);
    if (!m_output || !m_output->Show(image, part))
        return false;
    m_picture = image;
    m_picturePart = part;
    return true;
}

QImage CPlxVideoView::NewPictureImage(QSize size, QSize padded)
{
    std::lock_guard lock(m_pictureMutex);
    return m_output ? m_output->NewImage(size, padded.width() * 4, padded.height()) : QImage();
}

void CPlxVideoView::RepairPicture()
{
    std::lock_guard lock(m_pictureMutex);
    if (m_output)
        m_output->Refresh();
}

bool CPlxVideoView::HasPicture() const
{
    std::lock_guard lock(m_pictureMutex);
    return !m_picture.isNull();
}

bool CPlxVideoView::ShowsPicturesDirectly() const
{
    std::lock_guard lock(m_pictureMutex);
    return m_output && m_output->Showing();
}

void CPlxVideoView::QueueOutputPlace()
{
    if (!UseX11Output() || m_placeQueued)
        return;
    m_placeQueued = true;
    QMetaObject::invokeMethod(
        this, [this] { PlaceOutput(); }, Qt::QueuedConnection);
}

void CPlxVideoView::PlaceOutput()
{
    m_placeQueued = false;
    QWidget* top = window();
    const WId parent = top->internalWinId();
    // Logical and device pixels must be the same: the pictures are converted at the
    // view's logical size.
    const bool wanted = parent != 0 && isVisible() && devicePixelRatioF() == 1.0;
    const QRect visible = wanted ? VisibleRect() : QRect();
    bool placeChanged = false;
    {
        std::lock_guard lock(m_pictureMutex);
        // Made when first needed: a view that never shows a picture costs no X connection.
        if (!visible.isEmpty() && (!m_output || m_output->Parent() != parent)) {
            m_output.reset();
            if (parent != m_outputRefusedBy) {
                m_output = X11PictureOutput::Create(static_cast<uint32_t>(parent));
                if (!m_output)
                    m_outputRefusedBy = parent;
            }
        }
        if (!m_output)
            return;
        m_output->SetPlace(QRect(mapTo(top, visible.topLeft()), visible.size()), visible.topLeft());
        placeChanged = visible != m_placedVisible || size() != m_placedSize;
        m_placedVisible = visible;
        m_placedSize = size();
    }
    // The player converts for the new size and visible part; no picture comes through
    // the user-interface thread to tell it.
    if (placeChanged && m_hooks.refreshVideo)
        m_hooks.refreshVideo();
}

bool CPlxVideoView::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::WinIdChange:
        QueueOutputPlace();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CPlxVideoView::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    QueueOutputPlace();
}

void CPlxVideoView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QueueOutputPlace();
}

void CPlxVideoView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    QueueOutputPlace();
}

void CPlxVideoView::paintEvent(QPaintEvent* event)
{
    QImage picture;
    QRect picturePart;
    {
        std::lock_guard lock(m_pictureMutex);
        picture = m_picture;
        picturePart = m_picturePart;
        if (m_output)
            m_output->Refresh();
    }
    QPainter painter(this);
    if (!picture.isNull() && picturePart.isValid()) {
        // Black only where the picture does not reach: a picture covers its whole part.
        for (const QRect& uncovered : QRegion(event->rect()).subtracted(picturePart))
            painter.fillRect(uncovered, Qt::black);
        painter.drawImage(picturePart, picture);
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
    if (UseX11Output()) {
        // The X window follows every widget between the view and its window.
        for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
            if (!m_watched.contains(w)) {
                m_watched.append(w);
                w->installEventFilter(this);
            }
            if (w->isWindow())
                break;
        }
        QueueOutputPlace();
    }
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
