// The window backgrounds, the slider tracks and thumb, and the map marker.
#include <QLinearGradient>
#include <QRadialGradient>

#include "ArtKit.h"

namespace skinart {

namespace {

void Card(QPainter& p, const QRectF& r, const QColor& fill, double radius = 6)
{
    FillRounded(p, r, radius, fill);
    StrokeRounded(p, r.adjusted(0.5, 0.5, -0.5, -0.5), radius, colors::kCardEdge);
}

// A black picture well with a thin edge, slightly larger than the video it frames.
void VideoWell(QPainter& p, const QRect& video)
{
    const QRectF frame = QRectF(video).adjusted(-3, -3, 3, 3);
    Card(p, frame, QColor(0, 0, 0), 4);
    p.fillRect(video, QColor(0, 0, 0));
}

void SmallLabel(QPainter& p, const QPointF& at, const QString& text, const QColor& ink)
{
    p.save();
    p.setPen(ink);
    QFont font = ArtFont(9, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(font);
    p.drawText(at, text);
    p.restore();
}

void Logo(QPainter& p, const QPointF& at)
{
    // A lens ring and the product name.
    p.save();
    QRadialGradient lens(at + QPointF(9, 8), 9);
    lens.setColorAt(0, colors::kAccent);
    lens.setColorAt(0.55, colors::kAccentDeep);
    lens.setColorAt(1, QColor(10, 40, 60));
    p.setBrush(lens);
    p.setPen(QPen(colors::kAccent, 1.4));
    p.drawEllipse(at + QPointF(9, 8), 7.5, 7.5);
    p.setBrush(QColor(230, 250, 255));
    p.setPen(Qt::NoPen);
    p.drawEllipse(at + QPointF(6.5, 5.5), 1.8, 1.8);
    p.setPen(colors::kIcon);
    QFont name = ArtFont(14, true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(name);
    p.drawText(at + QPointF(24, 13), "VELOMIRA");
    p.setPen(colors::kAccent);
    p.drawText(at + QPointF(113, 13), "6");
    p.setPen(colors::kIconDim);
    QFont sub = ArtFont(11);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(sub);
    p.drawText(at + QPointF(130, 13), "VIEWER");
    p.restore();
}

void Background(QPainter& p, QSize s)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBackground);
    // Title strip: the window is moved by it.
    p.fillRect(QRect(0, 0, s.width(), 33), colors::kStrip);
    p.fillRect(QRect(0, 33, s.width(), 1), colors::kCardEdge);
    p.fillRect(QRect(0, 33, 170, 1), colors::kAccent);
    Logo(p, QPointF(14, 8));

    VideoWell(p, QRect(16, 37, 640, 360));
    VideoWell(p, QRect(684, 37, 320, 240));
    SmallLabel(p, QPointF(22, 391), "FRONT", QColor(60, 68, 78));
    SmallLabel(p, QPointF(690, 271), "REAR", QColor(60, 68, 78));

    // Transport deck under the rear picture.
    Card(p, QRectF(673, 289, 334, 56), colors::kBar);
    SmallLabel(p, QPointF(912, 314), "PLAYBACK", colors::kIconDim);
    SmallLabel(p, QPointF(912, 328), "CONTROL", QColor(70, 80, 90));

    // Map area: the map pane lies over it (an empty pane shows the same colour).
    Card(p, QRectF(676, 350, 334, 361), QColor(18, 22, 27));

    // Position row, telemetry panel, tool row.
    Card(p, QRectF(8, 404, 660, 46), colors::kBar);
    Card(p, QRectF(8, 454, 660, 211), colors::kBar);
    Card(p, QRectF(8, 668, 660, 50), colors::kBar);
    // Text lines and strip graph surfaces the telemetry panel writes onto.
    FillRounded(p, QRectF(494, 460, 168, 106), 4, colors::kTextPanel);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    for (const int y : { 487, 512, 537 })
        p.drawLine(QPointF(500, y + 0.5), QPointF(656, y + 0.5));
    FillRounded(p, QRectF(211, 570, 445, 92), 4, colors::kGraphPanel);
    // The strip graph's own grid lines, so the strip looks the same before the first
    // recording is drawn into it.
    p.setPen(QPen(QColor(28, 77, 91), 1));
    for (const int y : { 579, 599, 619, 639, 659 })
        p.drawLine(QPointF(216, y + 0.5), QPointF(647, y + 0.5));
    // The gauge faces, also drawn by the panel at these places.
    p.drawImage(QPoint(219, 459), DrawArt(446));
    p.drawImage(QPoint(339, 466), DrawArt(447));
    // Frame of the speed box (the picture covers the inside).
    p.fillRect(QRect(16, 494, 182, 167), QColor(0, 0, 0));
    // Thin separators between the tool groups of the bottom row.
    p.setPen(QPen(colors::kCardEdge, 1));
    for (const int x : { 117, 417, 537 })
        p.drawLine(QPointF(x + 0.5, 678), QPointF(x + 0.5, 708));
}

void ListBackground(QPainter& p, QSize s)
{
    p.fillRect(QRect(QPoint(0, 0), s), QColor(51, 51, 51));
    p.fillRect(QRect(0, 0, s.width(), 36), colors::kStrip);
    p.fillRect(QRect(0, 35, s.width(), 1), colors::kAccent);
    p.setPen(colors::kIcon);
    QFont title = ArtFont(12, true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(title);
    p.drawText(QRectF(12, 0, 200, 36), Qt::AlignVCenter | Qt::AlignLeft, "RECORDINGS");
    p.fillRect(QRect(0, 36, s.width(), 12), colors::kBar);
    p.fillRect(QRect(0, 683, s.width(), s.height() - 683), colors::kStrip);
    p.fillRect(QRect(0, 683, s.width(), 1), colors::kCardEdge);
}

// `grooveY`: the groove's centre line. The position track keeps it low, under the
// time labels that share its row.
void Track(QPainter& p, QSize s, const QColor& fill, double grooveY)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBar);
    const double y = grooveY;
    FillRounded(p, QRectF(2, y - 2.5, s.width() - 4, 5), 2.5, QColor(10, 12, 14));
    FillRounded(p, QRectF(2.5, y - 1.5, s.width() - 5, 3), 1.5, fill);
}

// The volume wedge: a ramp that grows to the right.
void Wedge(QPainter& p, QSize s, bool filled)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBar);
    QPainterPath ramp;
    ramp.moveTo(4, s.height() - 5);
    ramp.lineTo(s.width() - 4, 4);
    ramp.lineTo(s.width() - 4, s.height() - 5);
    ramp.closeSubpath();
    if (filled) {
        QLinearGradient g(0, 0, s.width(), 0);
        g.setColorAt(0, colors::kAccentDeep);
        g.setColorAt(1, colors::kAccent);
        p.fillPath(ramp, g);
    } else {
        p.fillPath(ramp, QColor(46, 53, 61));
    }
}

void Thumb(QPainter& p, QSize s)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBar);
    QLinearGradient g(0, 0, s.width(), 0);
    g.setColorAt(0, QColor(255, 255, 255));
    g.setColorAt(1, QColor(190, 200, 210));
    FillRounded(p, QRectF(0, 0, s.width(), s.height()), 2, g);
}

void Marker(QPainter& p, QSize s)
{
    // An arrow pointing north, the direction of travel is drawn by the map.
    QPainterPath arrow;
    const double w = s.width();
    arrow.moveTo(w / 2, 1);
    arrow.lineTo(w - 1, s.height() - 2);
    arrow.lineTo(w / 2, s.height() - 9);
    arrow.lineTo(1, s.height() - 2);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(255, 255, 255), 1.5));
    p.setBrush(QColor(14, 116, 178));
    p.drawPath(arrow);
}

// The application icon: a dashcam body with its lens and a play mark.
// The camera and its lens, without a background (the desktop's icons are transparent).
void AppIconBody(QPainter& p, QSize s)
{
    const double u = s.width() / 256.0;
    QLinearGradient body(0, 40 * u, 0, 216 * u);
    body.setColorAt(0, QColor(58, 65, 72));
    body.setColorAt(1, QColor(28, 33, 37));
    p.setPen(QPen(QColor(11, 13, 15), 6 * u));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(16 * u, 40 * u, 224 * u, 176 * u), 36 * u, 36 * u);
    p.setPen(Qt::NoPen);
    p.setBrush(colors::kDanger);
    p.drawRoundedRect(QRectF(36 * u, 56 * u, 40 * u, 14 * u), 7 * u, 7 * u);
    const QPointF centre(128 * u, 132 * u);
    p.setBrush(QColor(11, 13, 15));
    p.drawEllipse(centre, 64 * u, 64 * u);
    QRadialGradient lens(QPointF(102 * u, 104 * u), 76 * u);
    lens.setColorAt(0, QColor(79, 195, 247));
    lens.setColorAt(0.55, QColor(13, 71, 161));
    lens.setColorAt(1, QColor(6, 22, 46));
    p.setBrush(lens);
    p.drawEllipse(centre, 54 * u, 54 * u);
    QPainterPath play;
    play.moveTo(112 * u, 104 * u);
    play.lineTo(156 * u, 132 * u);
    play.lineTo(112 * u, 160 * u);
    play.closeSubpath();
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawPath(play);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawEllipse(QPointF(104 * u, 108 * u), 9 * u, 9 * u);
}

void AppIcon(QPainter& p, QSize s)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBackground);
    AppIconBody(p, s);
}

} // namespace

QImage DrawDesktopIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    AppIconBody(p, QSize(size, size));
    return image;
}

void AddPanelArt(ArtTable& t)
{
    t[411] = Art { QSize(1020, 720), Background };
    t[464] = Art { QSize(256, 720), ListBackground };
    t[236] = Art { QSize(541, 17),
        [](QPainter& p, QSize s) { Track(p, s, QColor(70, 80, 92), 13.5); } };
    t[250]
        = Art { QSize(92, 20), [](QPainter& p, QSize s) { Track(p, s, QColor(70, 80, 92), 10); } };
    t[251] = Art { QSize(92, 20), [](QPainter& p, QSize s) { Track(p, s, colors::kAccent, 10); } };
    t[252] = Art { QSize(92, 20), [](QPainter& p, QSize s) { Wedge(p, s, false); } };
    t[253] = Art { QSize(92, 20), [](QPainter& p, QSize s) { Wedge(p, s, true); } };
    t[233] = Art { QSize(5, 20), Thumb };
    t[484] = Art { QSize(17, 35), Marker, true };
    t[472] = Art { QSize(256, 256), AppIcon };
}

} // namespace skinart
