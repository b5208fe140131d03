#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

#include "playback/VideoWindow.h"

namespace velomira {

class X11PictureOutput;

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
//
// On an X display the player's threads draw the pictures themselves, into a child X
// window over the view's visible part (X11PictureOutput); the view still keeps the
// picture shown last, for its own paint (a grab of the window, or the fallback when the
// X server cannot take the pictures).
class CPlxVideoView : public QWidget, public VideoWindow {
    Q_OBJECT
public:
    explicit CPlxVideoView(
        QWidget* panel, const QString& windowName = QStringLiteral("Video window1"));
    ~CPlxVideoView() override;

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
    bool ShowPictureNow(const QImage& image, const QRect& part) override;
    QImage NewPictureImage(QSize size, QSize padded) override;
    void RepairPicture() override;
    // True while a picture is shown (false: the empty look).
    bool HasPicture() const;
    // True while the view's own X window shows the picture.
    bool ShowsPicturesDirectly() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
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
    // Places the X window over the visible part after the view or one of the widgets
    // around it moved, changed size, or was shown or hidden.
    void QueueOutputPlace();
    void PlaceOutput();

    VideoViewHooks m_hooks;
    int m_zoomLevel = 1;
    QPoint m_dragStart;
    int m_wheelRemainder = 0; // wheel delta not yet turned into a zoom step
    bool m_dragging = false;
    // Written by a player thread too (ShowPictureNow), so guarded by m_pictureMutex.
    mutable std::mutex m_pictureMutex;
    QImage m_picture;
    QRect m_picturePart;
    std::unique_ptr<X11PictureOutput> m_output;
    // User-interface thread only.
    WId m_outputRefusedBy = 0; // the window whose X server could not take the pictures
    bool m_placeQueued = false;
    QList<QPointer<QWidget>> m_watched; // the widgets around the view, up to its window
    QRect m_placedVisible;
    QSize m_placedSize;
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
