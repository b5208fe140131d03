#include "playback/views/VideoPanels.h"

#include <QKeyEvent>
#include <QPainter>

namespace velomira {

VideoPanel::VideoPanel(QWidget* parent, const QString& name)
    : QWidget(parent)
{
    setObjectName(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void VideoPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
}

void VideoPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

CZoomDlg::CZoomDlg(QWidget* parent)
    : VideoPanel(parent, QStringLiteral("227"))
{
    auto* view = new CPlxVideoView(this);
    view->setGeometry(0, 0, 633, 354);
    view->show();
    SetView(view);
}

CRearViewDlg::CRearViewDlg(QWidget* parent)
    : VideoPanel(parent, QStringLiteral("320"))
{
    auto* view = new CPlxVideoRearView(this);
    view->setGeometry(0, 0, 310, 233);
    view->show();
    SetView(view);
}

} // namespace velomira
