// The speedometer and compass faces and the twelve speed-box pictures.
#include <QRadialGradient>
#include <QtMath>

#include "ArtKit.h"

namespace skinart {

namespace {

// Dial angle of a speed: 0 at the lower left, 80 straight up, 160 at the lower right.
QPointF DialPoint(QPointF centre, double speed, double radius)
{
    const double degrees = 225.0 - speed * 1.6875;
    const double a = qDegreesToRadians(degrees);
    return centre + QPointF(std::cos(a) * radius, -std::sin(a) * radius);
}

// 106 x 106: the needle's centre is (53, 52), where the panel draws it.
void Speedometer(QPainter& p, QSize s)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBar);
    const QPointF c(53, 52);
    QRadialGradient face(c, 50);
    face.setColorAt(0, QColor(30, 36, 42));
    face.setColorAt(1, QColor(16, 19, 23));
    p.setBrush(face);
    p.setPen(QPen(colors::kCardEdge, 1.5));
    p.drawEllipse(c, 50, 50);
    p.setPen(QPen(colors::kAccentDeep, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(c.x() - 45, c.y() - 45, 90, 90), -45 * 16, 270 * 16);
    p.setFont(ArtFont(8, true));
    for (int v = 0; v <= 160; v += 10) {
        const bool major = v % 40 == 0;
        p.setPen(QPen(major ? colors::kIcon : colors::kIconDim, major ? 1.6 : 1.0));
        p.drawLine(DialPoint(c, v, major ? 36 : 39), DialPoint(c, v, 43));
        if (major) {
            const QPointF at = DialPoint(c, v, 27);
            p.drawText(
                QRectF(at.x() - 10, at.y() - 6, 20, 12), Qt::AlignCenter, QString::number(v));
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colors::kIcon);
    p.drawEllipse(c, 3, 3);
}

// 89 x 92: the needle's centre is (45, 44).
void Compass(QPainter& p, QSize s)
{
    p.fillRect(QRect(QPoint(0, 0), s), colors::kBar);
    const QPointF c(45, 44);
    p.setBrush(QColor(18, 22, 26));
    p.setPen(QPen(colors::kCardEdge, 1.5));
    p.drawEllipse(c, 40, 40);
    for (int d = 0; d < 360; d += 15) {
        const double a = qDegreesToRadians(double(d));
        const bool cardinal = d % 90 == 0;
        p.setPen(QPen(cardinal ? colors::kIcon : colors::kIconDim, cardinal ? 1.5 : 0.8));
        const double inner = cardinal ? 31 : 34;
        p.drawLine(c + QPointF(std::sin(a) * inner, -std::cos(a) * inner),
            c + QPointF(std::sin(a) * 37, -std::cos(a) * 37));
    }
    p.setFont(ArtFont(9, true));
    const struct {
        const char* letter;
        QPointF offset;
        QColor ink;
    } points[] = { { "N", { 0, -23 }, colors::kDanger }, { "E", { 23, 0 }, colors::kIcon },
        { "S", { 0, 23 }, colors::kIcon }, { "W", { -23, 0 }, colors::kIcon } };
    for (const auto& point : points) {
        p.setPen(point.ink);
        const QPointF at = c + point.offset;
        p.drawText(QRectF(at.x() - 6, at.y() - 6, 12, 12), Qt::AlignCenter, point.letter);
    }
}

void Car(QPainter& p, QPointF centre, double width, const QColor& body)
{
    const double h = width * 0.8;
    const QRectF r(centre.x() - width / 2, centre.y() - h / 2, width, h);
    FillRounded(p, r, width * 0.18, body);
    FillRounded(p, QRectF(r.left() + width * 0.15, r.top() + h * 0.12, width * 0.7, h * 0.3), 2,
        QColor(20, 24, 28, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 120));
    p.drawEllipse(
        QPointF(r.left() + width * 0.18, r.bottom() - h * 0.2), width * 0.07, width * 0.07);
    p.drawEllipse(
        QPointF(r.right() - width * 0.18, r.bottom() - h * 0.2), width * 0.07, width * 0.07);
}

// 180 x 165: a read-out panel on top where the speed is written in dark text, and a
// road seen from behind with the two lane lines and the vehicle ahead.
// lane: 0 not detected, 1 kept (green), 2 departing (red); ahead: 0 none, 1 grey, 2 red.
void SpeedBox(QPainter& p, QSize s, int ahead, int left, int right)
{
    p.fillRect(QRect(QPoint(0, 0), s), QColor(14, 17, 20));
    const QRectF readout(6, 14, 168, 58);
    QLinearGradient lcd(readout.topLeft(), readout.bottomLeft());
    lcd.setColorAt(0, QColor(176, 192, 200));
    lcd.setColorAt(1, QColor(146, 164, 174));
    FillRounded(p, readout, 8, lcd);
    p.setPen(QColor(90, 104, 114));
    p.setFont(ArtFont(8, true));
    p.drawText(QRectF(14, 2, 100, 12), Qt::AlignLeft | Qt::AlignVCenter, "SPEED");
    p.drawText(QRectF(60, 2, 112, 12), Qt::AlignRight | Qt::AlignVCenter, "LANE  ·  FCW");

    // Road in perspective.
    const double top = 82;
    const double bottom = 162;
    QPainterPath road;
    road.moveTo(72, top);
    road.lineTo(108, top);
    road.lineTo(172, bottom);
    road.lineTo(8, bottom);
    road.closeSubpath();
    QLinearGradient asphalt(0, top, 0, bottom);
    asphalt.setColorAt(0, QColor(32, 37, 43));
    asphalt.setColorAt(1, QColor(50, 57, 65));
    p.fillPath(road, asphalt);
    const auto laneColour = [](int state) {
        return state == 1 ? colors::kGood : state == 2 ? colors::kDanger : QColor(80, 88, 98);
    };
    const auto drawLane = [&](int state, QPointF from, QPointF to) {
        QPen pen(laneColour(state), state == 0 ? 2.0 : 4.0,
            state == 0 ? Qt::DashLine : Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(from, to);
    };
    drawLane(left, QPointF(78, top + 2), QPointF(34, bottom - 2));
    drawLane(right, QPointF(102, top + 2), QPointF(146, bottom - 2));
    if (ahead != 0)
        Car(p, QPointF(90, top + 18), 22, ahead == 2 ? colors::kDanger : QColor(150, 160, 170));
    Car(p, QPointF(90, bottom - 14), 36, colors::kAccentDeep);
}

} // namespace

void AddDialArt(ArtTable& t)
{
    t[446] = Art { QSize(106, 106), Speedometer };
    t[447] = Art { QSize(89, 92), Compass };
    // Pictures by (ahead, left, right): ahead selects the row, the lane pair the column.
    const int lanes[4][2] = { { 0, 0 }, { 1, 1 }, { 1, 2 }, { 2, 1 } };
    for (int column = 0; column < 4; ++column) {
        for (int ahead = 0; ahead < 3; ++ahead) {
            const int id = 448 + column * 3 + ahead;
            const int left = lanes[column][0];
            const int right = lanes[column][1];
            t[id] = Art { QSize(180, 165), [ahead, left, right](QPainter& p, QSize s) {
                             SpeedBox(p, s, ahead, left, right);
                         } };
        }
    }
}

} // namespace skinart
