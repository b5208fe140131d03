#include "ArtKit.h"

#include <QLinearGradient>

namespace skinart {

QFont ArtFont(double pixelSize, bool bold)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(static_cast<int>(pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void FillRounded(QPainter& p, const QRectF& r, double radius, const QBrush& brush)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    p.fillPath(path, brush);
}

void StrokeRounded(QPainter& p, const QRectF& r, double radius, const QColor& color, double width)
{
    p.save();
    p.setPen(QPen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, radius, radius);
    p.restore();
}

QPen IconPen(const QColor& color, double width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void DrawKeyCap(QPainter& p, QSize size, bool pressed, const QColor& under)
{
    p.fillRect(QRect(QPoint(0, 0), size), under);
    const QRectF cap(1.5, 1.5, size.width() - 3.0, size.height() - 3.0);
    const double radius = std::min(size.width(), size.height()) * 0.22;
    if (pressed) {
        FillRounded(p, cap, radius, colors::kTilePressed);
        StrokeRounded(p, cap, radius, colors::kAccentDeep, 1.0);
        return;
    }
    QLinearGradient gradient(cap.topLeft(), cap.bottomLeft());
    gradient.setColorAt(0, colors::kTileTop);
    gradient.setColorAt(1, colors::kTileBottom);
    FillRounded(p, cap, radius, gradient);
    StrokeRounded(p, cap, radius, QColor(66, 75, 86), 1.0);
    // A thin highlight along the top edge gives the cap its lift.
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.drawLine(QPointF(cap.left() + radius, cap.top() + 1.0),
        QPointF(cap.right() - radius, cap.top() + 1.0));
    p.restore();
}

const ArtTable& FullTable()
{
    static const ArtTable table = [] {
        ArtTable t;
        AddButtonArt(t);
        AddPanelArt(t);
        AddDialArt(t);
        return t;
    }();
    return table;
}

QImage DrawArt(int id)
{
    const ArtTable& table = FullTable();
    const auto it = table.find(id);
    if (it == table.end())
        return {};
    const Art& art = it->second;
    QImage canvas(art.size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(art.alpha ? Qt::transparent : colors::kBackground);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    art.draw(painter, art.size);
    return canvas;
}

} // namespace skinart
