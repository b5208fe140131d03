#pragma once

#include <functional>
#include <map>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

// Shared palette and helpers of the skin artwork. Every picture is drawn with
// antialiasing on an opaque canvas and saved as a 24-bit PNG.
namespace skinart {

namespace colors {
inline const QColor kBackground(13, 16, 19);
inline const QColor kStrip(22, 26, 31);
inline const QColor kBar(28, 33, 37); // under the position label, which fills with it
inline const QColor kCardEdge(44, 51, 59);
inline const QColor kTileTop(50, 57, 66);
inline const QColor kTileBottom(36, 42, 49);
inline const QColor kTilePressed(18, 22, 26);
inline const QColor kIcon(222, 228, 234);
inline const QColor kIconDim(120, 130, 140);
inline const QColor kAccent(56, 189, 248);
inline const QColor kAccentDeep(14, 116, 178);
inline const QColor kDanger(239, 83, 80);
inline const QColor kGood(52, 211, 120);
inline const QColor kTextPanel(50, 50, 50); // the telemetry text lines fill with it
inline const QColor kGraphPanel(12, 12, 12); // the strip graph labels fill with it
} // namespace colors

// A named picture: its size and the function that draws it.
struct Art {
    QSize size;
    std::function<void(QPainter&, QSize)> draw;
    bool alpha = false; // kept with transparency (the map marker only)
};

using ArtTable = std::map<int, Art>;

QFont ArtFont(double pixelSize, bool bold = false);
void FillRounded(QPainter& p, const QRectF& r, double radius, const QBrush& brush);
void StrokeRounded(
    QPainter& p, const QRectF& r, double radius, const QColor& color, double width = 1);
QPen IconPen(const QColor& color, double width = 2.0);

// A rounded key cap filling a button image: raised when `pressed` is false.
void DrawKeyCap(QPainter& p, QSize size, bool pressed, const QColor& under);

// Every picture of the skin by id.
const ArtTable& FullTable();
// Draws picture `id` of the full table (for pictures that reuse others).
QImage DrawArt(int id);

// The application icon at `size` pixels square on a transparent background.
QImage DrawDesktopIcon(int size);

void AddButtonArt(ArtTable& table);
void AddPanelArt(ArtTable& table);
void AddDialArt(ArtTable& table);

} // namespace skinart
