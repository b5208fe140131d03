#pragma once

#include <QWidget>

#include "playback/views/CPlxVideoView.h"

namespace velomira {

// A black panel that holds one video view and clips it when it is zoomed. Enter and
// Escape are swallowed, as in the main window.
class VideoPanel : public QWidget {
    Q_OBJECT
public:
    CPlxVideoView* view() const { return m_view; }

protected:
    VideoPanel(QWidget* parent, const QString& name);
    void SetView(CPlxVideoView* view) { m_view = view; }
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CPlxVideoView* m_view = nullptr;
};

// The front panel with the front video view.
class CZoomDlg : public VideoPanel {
    Q_OBJECT
public:
    explicit CZoomDlg(QWidget* parent);
};

// The rear panel with the rear video view.
class CRearViewDlg : public VideoPanel {
    Q_OBJECT
public:
    explicit CRearViewDlg(QWidget* parent);
};

} // namespace velomira
