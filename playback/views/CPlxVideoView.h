#pragma once

#include <functional>

#include <QImage>
#include <QWidget>

#include "playback/VideoWindow.h"

namespace velomira {

// What a video view asks of the window around it. Unset functions mean: no zoom, no
// refresh, no swap.
struct VideoViewHooks {
    // True while a recording is listed and the player runs or is paused.
    std::function<bool()> zoomAllowed;
    // Asks the player to redraw into the view's new rectangle.
    std::function<void()> refreshVideo;
    // Swaps the front and rear places (double click on a video).
    std::function<void()> swapRequested;
};

// The front video view: a child of its panel that the player draws into. It is
// zoomed by making it larger than its panel (the panel clips it), moved by dragging,
// and a double click swaps the front and rear places.
class CPlxVideoView : public QWidget, public VideoWindow {
    Q_OBJECT
public:
    explicit CPlxVideoView(
        QWidget* panel, const QString& windowName = QStringLiteral("Video window1"));

    void SetHooks(VideoViewHooks hooks) { m_hooks = std::move(hooks); }

    // Moves and sizes the view inside its panel.
    void SetViewRect(int x, int y, int width, int height);
    // One wheel step: `flags` are the held buttons (1 = left only), `amount` the signed
    // wheel amount, `screenPoint` the cursor in screen coordinates.
    void ZoomByWheel(int flags, int amount, QPoint screenPoint);
    int zoomLevel() const { return m_zoomLevel; }
    // Back to level 1; the view is re-laid out by the next zoom or layout step.
    void ResetZoom() { m_zoomLevel = 1; }

    // VideoWindow
    QSize PictureSize() const override;
    QRect VisibleRect() const override;
    void ShowPicture(const QImage& image, const QRect& part) override;
    void ClearPicture() override;
    // True while a picture is shown (false: the empty look).
    bool HasPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // A view shown again asks for its picture: nothing was converted while it was hidden.
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The front view takes the focus before it asks for the swap; the rear does not.
    virtual bool FocusBeforeSwap() const { return true; }

private:
    VideoViewHooks m_hooks;
    int m_zoomLevel = 1;
    QPoint m_dragStart;
    int m_wheelRemainder = 0; // wheel delta not yet turned into a zoom step
    bool m_dragging = false;
    QImage m_picture;
    QRect m_picturePart;
};

// The rear video view: the same behaviour in the rear panel.
class CPlxVideoRearView : public CPlxVideoView {
    Q_OBJECT
public:
    explicit CPlxVideoRearView(QWidget* panel)
        : CPlxVideoView(panel, QStringLiteral("Video window2"))
    { }

protected:
    bool FocusBeforeSwap() const override { return false; }
};

} // namespace velomira
