// The picture buttons: transport, tool row, window buttons, list window buttons.
#include <QtMath>

#include "ArtKit.h"

namespace skinart {

namespace {

using Glyph = std::function<void(QPainter&, QPointF centre, const QColor& ink)>;

void Triangle(QPainter& p, QPointF c, double w, double h, bool right, const QColor& ink)
{
    QPainterPath path;
    const double dx = right ? w / 2 : -w / 2;
    path.moveTo(c.x() - dx, c.y() - h / 2);
    path.lineTo(c.x() + dx, c.y());
    path.lineTo(c.x() - dx, c.y() + h / 2);
    path.closeSubpath();
    p.save();
    p.setPen(IconPen(ink, 1.5));
    p.setBrush(ink);
    p.drawPath(path);
    p.restore();
}

void Play(QPainter& p, QPointF c, const QColor& ink)
{
    Triangle(p, c + QPointF(1.5, 0), 13, 15, true, ink);
}

void Pause(QPainter& p, QPointF c, const QColor& ink)
{
    FillRounded(p, QRectF(c.x() - 6.5, c.y() - 7.5, 4.5, 15), 1.2, ink);
    FillRounded(p, QRectF(c.x() + 2, c.y() - 7.5, 4.5, 15), 1.2, ink);
}

void Stop(QPainter& p, QPointF c, const QColor& ink)
{
    FillRounded(p, QRectF(c.x() - 6.5, c.y() - 6.5, 13, 13), 2, ink);
}

void Skip(QPainter& p, QPointF c, const QColor& ink, bool forward)
{
    const double s = forward ? 1 : -1;
    Triangle(p, c + QPointF(-2 * s, 0), 10, 13, forward, ink);
    FillRounded(p, QRectF(c.x() + 4.5 * s - 1.5, c.y() - 6.5, 3, 13), 1, ink);
}

void Caption(QPainter& p, const QRectF& r, const QString& text, const QColor& ink, double size,
    bool bold = true)
{
    p.save();
    p.setPen(ink);
    p.setFont(ArtFont(size, bold));
    p.drawText(r, Qt::AlignCenter, text);
    p.restore();
}

void Speed(QPainter& p, QPointF c, const QColor& ink, const QString& label)
{
    Triangle(p, c + QPointF(-7, -4), 6, 7, true, ink);
    Triangle(p, c + QPointF(-1.5, -4), 6, 7, true, ink);
    Caption(p, QRectF(c.x() - 14, c.y() - 1, 28, 12), label, ink, 11);
}

void Folder(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.8));
    QPainterPath path;
    path.moveTo(c.x() - 9, c.y() + 7);
    path.lineTo(c.x() - 9, c.y() - 7);
    path.lineTo(c.x() - 3, c.y() - 7);
    path.lineTo(c.x() - 1, c.y() - 4.5);
    path.lineTo(c.x() + 9, c.y() - 4.5);
    path.lineTo(c.x() + 9, c.y() + 7);
    path.closeSubpath();
    p.drawPath(path);
    p.drawLine(QPointF(c.x() - 9, c.y() - 1.5), QPointF(c.x() + 9, c.y() - 1.5));
    p.restore();
}

void SdCard(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.8));
    QPainterPath path;
    path.moveTo(c.x() - 7, c.y() + 9);
    path.lineTo(c.x() - 7, c.y() - 4);
    path.lineTo(c.x() - 2, c.y() - 9);
    path.lineTo(c.x() + 7, c.y() - 9);
    path.lineTo(c.x() + 7, c.y() + 9);
    path.closeSubpath();
    p.drawPath(path);
    p.setPen(IconPen(ink, 1.5));
    for (int i = 0; i < 3; ++i)
        p.drawLine(
            QPointF(c.x() - 0.5 + 2.8 * i, c.y() - 6), QPointF(c.x() - 0.5 + 2.8 * i, c.y() - 3));
    p.restore();
}

void Magnifier(QPainter& p, QPointF c, const QColor& ink, bool plus)
{
    p.save();
    p.setPen(IconPen(ink, 2));
    const QPointF lens = c + QPointF(-2, -2);
    p.drawEllipse(lens, 6.5, 6.5);
    p.drawLine(lens + QPointF(4.8, 4.8), lens + QPointF(10, 10));
    p.setPen(IconPen(ink, 1.8));
    p.drawLine(lens + QPointF(-3, 0), lens + QPointF(3, 0));
    if (plus)
        p.drawLine(lens + QPointF(0, -3), lens + QPointF(0, 3));
    p.restore();
}

void Swap(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.6));
    p.drawRoundedRect(QRectF(c.x() - 10, c.y() - 8, 11, 8), 1.5, 1.5);
    p.drawRoundedRect(QRectF(c.x() + 1, c.y() + 1, 9, 7), 1.5, 1.5);
    p.drawArc(QRectF(c.x() + 1, c.y() - 11, 10, 10), 0, 90 * 16);
    Triangle(p, QPointF(c.x() + 11, c.y() - 4), 5, 5, false, ink);
    p.setPen(IconPen(ink, 1.6));
    p.drawArc(QRectF(c.x() - 11, c.y() + 0, 10, 10), 180 * 16, 90 * 16);
    p.restore();
}

void Format(QPainter& p, QPointF c, const QColor& ink)
{
    SdCard(p, c + QPointF(-3, 0), ink);
    p.save();
    p.setPen(IconPen(colors::kAccent, 1.8));
    const QPointF r = c + QPointF(6, 4);
    p.setBrush(colors::kTilePressed);
    p.drawEllipse(r, 5, 5);
    p.drawArc(QRectF(r.x() - 2.5, r.y() - 2.5, 5, 5), 30 * 16, 280 * 16);
    p.restore();
}

void Gear(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a = M_PI * i / teeth - M_PI / (teeth * 2);
        const double r1 = (i % 2 == 0) ? 10 : 7.5;
        const QPointF a1 = c + QPointF(r1 * std::cos(a), r1 * std::sin(a));
        const QPointF a2
            = c + QPointF(r1 * std::cos(a + M_PI / teeth), r1 * std::sin(a + M_PI / teeth));
        if (i == 0)
            gear.moveTo(a1);
        else
            gear.lineTo(a1);
        gear.lineTo(a2);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 3.5, 3.5);
    p.fillPath(gear.subtracted(hole), ink);
    p.restore();
}

void Printer(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.7));
    p.drawRect(QRectF(c.x() - 5, c.y() - 9, 10, 5));
    p.drawRoundedRect(QRectF(c.x() - 10, c.y() - 4, 20, 9), 2, 2);
    p.setBrush(colors::kTileBottom);
    p.drawRect(QRectF(c.x() - 6, c.y() + 1, 12, 8));
    p.drawLine(QPointF(c.x() - 3.5, c.y() + 4), QPointF(c.x() + 3.5, c.y() + 4));
    p.restore();
}

void Chart(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.6));
    p.drawLine(QPointF(c.x() - 10, c.y() - 9), QPointF(c.x() - 10, c.y() + 8));
    p.drawLine(QPointF(c.x() - 10, c.y() + 8), QPointF(c.x() + 10, c.y() + 8));
    p.setPen(IconPen(colors::kAccent, 2));
    QPainterPath line;
    line.moveTo(c.x() - 7, c.y() + 3);
    line.lineTo(c.x() - 2, c.y() - 3);
    line.lineTo(c.x() + 2, c.y() + 1);
    line.lineTo(c.x() + 8, c.y() - 7);
    p.drawPath(line);
    p.restore();
}

void GraphMode(QPainter& p, QPointF c, const QColor& ink, int mode)
{
    p.save();
    const QColor waves[3] = { QColor(240, 240, 240), QColor(255, 230, 80), colors::kGood };
    if (mode < 2) {
        for (int k = 0; k < 3; ++k) {
            p.setPen(IconPen(waves[k], 1.4));
            QPainterPath wave;
            for (int x = 0; x <= 20; ++x) {
                const double y
                    = c.y() - 4 + 3.2 * k + 2.2 * std::sin((x + 5 * k + 4 * mode) * 0.55);
                if (x == 0)
                    wave.moveTo(c.x() - 10 + x, y);
                else
                    wave.lineTo(c.x() - 10 + x, y);
            }
            p.drawPath(wave);
        }
    } else {
        p.setPen(IconPen(colors::kGood, 1.8));
        p.drawArc(QRectF(c.x() - 9, c.y() - 9, 18, 18), -30 * 16, 240 * 16);
        p.drawLine(c + QPointF(0, 0), c + QPointF(5, -5));
    }
    Caption(p, QRectF(c.x() - 14, c.y() + 5, 28, 11),
        mode == 0       ? "G1"
            : mode == 1 ? "G2"
                        : "SPD",
        ink, 9);
    p.restore();
}

void Download(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.9));
    p.drawLine(QPointF(c.x(), c.y() - 9), QPointF(c.x(), c.y() + 3));
    p.drawLine(QPointF(c.x() - 5, c.y() - 2), QPointF(c.x(), c.y() + 3));
    p.drawLine(QPointF(c.x() + 5, c.y() - 2), QPointF(c.x(), c.y() + 3));
    QPainterPath tray;
    tray.moveTo(c.x() - 10, c.y() + 2);
    tray.lineTo(c.x() - 10, c.y() + 8);
    tray.lineTo(c.x() + 10, c.y() + 8);
    tray.lineTo(c.x() + 10, c.y() + 2);
    p.drawPath(tray);
    p.restore();
}

void Info(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.8));
    p.drawEllipse(c, 10, 10);
    p.setPen(IconPen(ink, 2.4));
    p.drawPoint(c + QPointF(0, -5));
    p.drawLine(c + QPointF(0, -1), c + QPointF(0, 5.5));
    p.restore();
}

void MapFold(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.6));
    QPainterPath path;
    path.moveTo(c.x() - 10, c.y() - 6);
    path.lineTo(c.x() - 3.5, c.y() - 9);
    path.lineTo(c.x() + 3.5, c.y() - 6);
    path.lineTo(c.x() + 10, c.y() - 9);
    path.lineTo(c.x() + 10, c.y() + 6);
    path.lineTo(c.x() + 3.5, c.y() + 9);
    path.lineTo(c.x() - 3.5, c.y() + 6);
    path.lineTo(c.x() - 10, c.y() + 9);
    path.closeSubpath();
    p.drawPath(path);
    p.drawLine(QPointF(c.x() - 3.5, c.y() - 9), QPointF(c.x() - 3.5, c.y() + 6));
    p.drawLine(QPointF(c.x() + 3.5, c.y() - 6), QPointF(c.x() + 3.5, c.y() + 9));
    p.restore();
}

void List(QPainter& p, QPointF c, const QColor& ink)
{
    p.save();
    p.setPen(IconPen(ink, 1.8));
    for (int i = -1; i <= 1; ++i) {
        p.drawPoint(QPointF(c.x() - 8, c.y() + 6 * i));
        p.drawLine(QPointF(c.x() - 4, c.y() + 6 * i), QPointF(c.x() + 9, c.y() + 6 * i));
    }
    p.restore();
}

void Seconds(QPainter& p, QPointF c, const QColor& ink, bool forward)
{
    Triangle(p, c + QPointF(forward ? 6 : -6, -5), 6, 8, forward, ink);
    Caption(p, QRectF(c.x() - 14, c.y() - 1, 28, 12), forward ? "+1s" : "-1s", ink, 10);
}

// A 40 x 39 tool button: raised cap with a light glyph; pressed: sunken cap, the
// glyph in the accent colour and one pixel lower right.
void AddTool(ArtTable& t, int normal, int pressed, Glyph glyph)
{
    const QSize size(40, 39);
    for (const bool down : { false, true }) {
        const int id = down ? pressed : normal;
        if (id == 0 || t.count(id) != 0)
            continue;
        t[id] = Art { size, [glyph, down](QPainter& p, QSize s) {
                         DrawKeyCap(p, s, down, colors::kBar);
                         const QPointF centre(
                             s.width() / 2.0 + (down ? 1 : 0), s.height() / 2.0 + (down ? 1 : 0));
                         glyph(p, centre, down ? colors::kAccent : colors::kIcon);
                     } };
    }
}

// A 26 x 24 window button on the title strip.
void AddWindowButton(ArtTable& t, int id, bool pressed, Glyph glyph, const QColor& hot)
{
    t[id] = Art { QSize(26, 24), [glyph, pressed, hot](QPainter& p, QSize s) {
                     p.fillRect(QRect(QPoint(0, 0), s), colors::kStrip);
                     if (pressed)
                         FillRounded(p, QRectF(2, 2, s.width() - 4, s.height() - 4), 4, hot);
                     glyph(p, QPointF(s.width() / 2.0, s.height() / 2.0), colors::kIcon);
                 } };
}

void Minimise(QPainter& p, QPointF c, const QColor& ink)
{
    p.setPen(IconPen(ink, 1.8));
    p.drawLine(c + QPointF(-5, 4), c + QPointF(5, 4));
}

void Expand(QPainter& p, QPointF c, const QColor& ink)
{
    p.setPen(IconPen(ink, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawLine(c + QPointF(-6, -2), c + QPointF(-6, -6));
    p.drawLine(c + QPointF(-6, -6), c + QPointF(-2, -6));
    p.drawLine(c + QPointF(6, 2), c + QPointF(6, 6));
    p.drawLine(c + QPointF(6, 6), c + QPointF(2, 6));
    p.drawLine(c + QPointF(2, -6), c + QPointF(6, -6));
    p.drawLine(c + QPointF(6, -6), c + QPointF(6, -2));
    p.drawLine(c + QPointF(-6, 2), c + QPointF(-6, 6));
    p.drawLine(c + QPointF(-6, 6), c + QPointF(-2, 6));
}

void Cross(QPainter& p, QPointF c, const QColor& ink)
{
    p.setPen(IconPen(ink, 1.8));
    p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
    p.drawLine(c + QPointF(-5, 5), c + QPointF(5, -5));
}

void Speaker(QPainter& p, QSize s, bool muted)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBar);
    FillRounded(p, QRectF(0.5, 0.5, s.width() - 1.0, s.height() - 1.0), 5,
        muted ? colors::kTilePressed : colors::kTileBottom);
    const QColor ink = muted ? colors::kIconDim : colors::kIcon;
    QPainterPath body;
    body.moveTo(4.5, 9);
    body.lineTo(7.5, 9);
    body.lineTo(11.5, 5);
    body.lineTo(11.5, 18);
    body.lineTo(7.5, 14);
    body.lineTo(4.5, 14);
    body.closeSubpath();
    p.fillPath(body, ink);
    p.save();
    if (muted) {
        p.setPen(IconPen(colors::kDanger, 1.7));
        p.drawLine(QPointF(14, 8.5), QPointF(19, 14.5));
        p.drawLine(QPointF(14, 14.5), QPointF(19, 8.5));
    } else {
        p.setPen(IconPen(colors::kAccent, 1.5));
        p.drawArc(QRectF(9.5, 8, 6, 7), -60 * 16, 120 * 16);
        p.drawArc(QRectF(8.5, 5, 10, 13), -60 * 16, 120 * 16);
    }
    p.restore();
}

void ListTab(QPainter& p, QSize s, bool pointsLeft)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBackground);
    FillRounded(p, QRectF(1, 0.5, s.width() - 1.5, s.height() - 1.0), 3, colors::kTileBottom);
    StrokeRounded(p, QRectF(1, 0.5, s.width() - 1.5, s.height() - 1.0), 3, colors::kCardEdge);
    p.setPen(IconPen(colors::kAccent, 1.7));
    const double cx = s.width() / 2.0 + 0.5;
    const double cy = s.height() / 2.0;
    const double d = pointsLeft ? -1.5 : 1.5;
    p.drawLine(QPointF(cx - d, cy - 5), QPointF(cx + d, cy));
    p.drawLine(QPointF(cx + d, cy), QPointF(cx - d, cy + 5));
    p.setPen(IconPen(colors::kIconDim, 1.2));
    for (int i = -1; i <= 1; i += 2)
        p.drawLine(QPointF(cx, cy + i * 24), QPointF(cx, cy + i * 34));
}

void FilterPill(ArtTable& t, int id, const QString& label, bool active)
{
    t[id] = Art { QSize(60, 15), [label, active](QPainter& p, QSize s) {
                     p.fillRect(QRect(QPoint(0, 0), s), colors::kStrip);
                     const QRectF r(0.5, 0.5, s.width() - 1.0, s.height() - 1.0);
                     FillRounded(p, r, 7, active ? colors::kAccentDeep : colors::kTilePressed);
                     StrokeRounded(p, r, 7, active ? colors::kAccent : colors::kCardEdge);
                     Caption(p, r, label, active ? QColor(255, 255, 255) : colors::kIconDim, 9);
                 } };
}

void SortBar(ArtTable& t, int id, bool descending)
{
    t[id] = Art { QSize(256, 12), [descending](QPainter& p, QSize s) {
                     p.fillRect(QRect(QPoint(0, 0), s), colors::kBar);
                     p.setPen(colors::kIconDim);
                     p.setFont(ArtFont(9));
                     p.drawText(QRectF(18, 0, 200, 12), Qt::AlignVCenter | Qt::AlignLeft,
                         descending ? "NEWEST FIRST" : "OLDEST FIRST");
                     Triangle(p, QPointF(9, 6), 7, 5, true, colors::kAccent);
                     p.save();
                     p.translate(9, 6);
                     p.rotate(descending ? 90 : -90);
                     p.fillRect(QRectF(-4, -4, 8, 8), colors::kBar);
                     Triangle(p, QPointF(0, 0), 5, 7, true, colors::kAccent);
                     p.restore();
                 } };
}

} // namespace

void AddButtonArt(ArtTable& t)
{
    AddTool(t, 412, 413, Stop);
    AddTool(t, 414, 415, [](QPainter& p, QPointF c, const QColor& i) { Skip(p, c, i, false); });
    AddTool(t, 416, 417, Play);
    AddTool(t, 426, 440, Pause);
    AddTool(t, 418, 419, [](QPainter& p, QPointF c, const QColor& i) { Skip(p, c, i, true); });
    AddTool(t, 420, 441, [](QPainter& p, QPointF c, const QColor& i) { Speed(p, c, i, "1x"); });
    // At double speed the button stays lit in the accent colour.
    AddTool(t, 421, 442,
        [](QPainter& p, QPointF c, const QColor&) { Speed(p, c, colors::kAccent, "2x"); });
    AddTool(t, 424, 425, MapFold);
    AddTool(t, 8388, 389, Folder);
    AddTool(t, 390, 3391, SdCard);
    AddTool(t, 468, 469, [](QPainter& p, QPointF c, const QColor& i) { Magnifier(p, c, i, true); });
    AddTool(
        t, 470, 471, [](QPainter& p, QPointF c, const QColor& i) { Magnifier(p, c, i, false); });
    AddTool(t, 394, 395, Swap);
    AddTool(t, 396, 397, Format);
    AddTool(t, 398, 399, Gear);
    AddTool(t, 400, 401, Printer);
    AddTool(t, 402, 403, Chart);
    AddTool(t, 405, 430, [](QPainter& p, QPointF c, const QColor& i) { GraphMode(p, c, i, 0); });
    AddTool(t, 404, 429, [](QPainter& p, QPointF c, const QColor& i) { GraphMode(p, c, i, 1); });
    AddTool(t, 406, 431, [](QPainter& p, QPointF c, const QColor& i) { GraphMode(p, c, i, 2); });
    AddTool(t, 407, 408, Download);
    AddTool(t, 409, 410, Info);
    AddTool(t, 331, 337, [](QPainter& p, QPointF c, const QColor& i) { Seconds(p, c, i, false); });
    AddTool(t, 330, 335, [](QPainter& p, QPointF c, const QColor& i) { Seconds(p, c, i, true); });
    AddTool(t, 350, 355, List);

    const QColor hover(60, 68, 78);
    AddWindowButton(t, 432, false, Minimise, hover);
    AddWindowButton(t, 445, true, Minimise, hover);
    AddWindowButton(t, 434, false, Expand, hover);
    AddWindowButton(t, 435, true, Expand, hover);
    AddWindowButton(t, 438, false, Cross, colors::kDanger);
    AddWindowButton(t, 439, true, Cross, colors::kDanger);

    t[267] = Art { QSize(23, 23), [](QPainter& p, QSize s) { Speaker(p, s, false); } };
    t[293] = Art { QSize(23, 23), [](QPainter& p, QSize s) { Speaker(p, s, true); } };
    t[340] = Art { QSize(12, 145), [](QPainter& p, QSize s) { ListTab(p, s, false); } };
    t[342] = Art { QSize(12, 145), [](QPainter& p, QSize s) { ListTab(p, s, true); } };

    t[265] = Art { QSize(25, 25), [](QPainter& p, QSize s) {
                      p.fillRect(QRect(QPoint(0, 0), s), colors::kStrip);
                      Cross(p, QPointF(s.width() / 2.0, s.height() / 2.0), colors::kIcon);
                  } };
    FilterPill(t, 460, "NORMAL", true);
    FilterPill(t, 465, "NORMAL", false);
    FilterPill(t, 461, "EVENT", true);
    FilterPill(t, 466, "EVENT", false);
    FilterPill(t, 462, "MOTION", true);
    FilterPill(t, 467, "MOTION", false);
    FilterPill(t, 473, "ALL", true);
    FilterPill(t, 474, "ALL", false);
    FilterPill(t, 362, "MANUAL", false);
    FilterPill(t, 478, "TRIPS", true);
    FilterPill(t, 479, "TRIPS", false);
    SortBar(t, 476, true);
    SortBar(t, 477, false);
}

} // namespace skinart
