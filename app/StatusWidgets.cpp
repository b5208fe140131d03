#include "app/StatusWidgets.h"

#include <QPainter>
#include <QPainterPath>

namespace velomira {

TimeLabel::TimeLabel(const QString& text, QColor opaqueFill, QWidget* parent)
    : QLabel(text, parent)
    , m_fill(opaqueFill)
{
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPixelSize(11);
    setFont(labelFont);
}

void TimeLabel::paintEvent(QPaintEvent*)
{
    if (text().isEmpty())
        return;
    QPainter painter(this);
    if (m_fill.isValid())
        painter.fillRect(rect(), m_fill);
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
}

PlayIcon::PlayIcon(QWidget* parent)
    : QWidget(parent)
{ }

void PlayIcon::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(28, 33, 37));
    QPainterPath mark;
    mark.moveTo(2, 1);
    mark.lineTo(width() - 1, height() / 2.0);
    mark.lineTo(2, height() - 1);
    mark.closeSubpath();
    painter.fillPath(mark, QColor(56, 189, 248));
}

BlackFrame::BlackFrame(QWidget* parent)
    : QWidget(parent)
{ }

void BlackFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace velomira
