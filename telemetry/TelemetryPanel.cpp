#include "telemetry/TelemetryPanel.h"

#include <cmath>

#include <QPainter>
#include <QWidget>

#include "skin/SkinImages.h"
#include "telemetry/CTextData.h"

namespace velomira {

namespace {

constexpr std::uint32_t kTextBackground = 0x323232;
constexpr std::uint32_t kLabelBackground = 0x0C0C0C;
constexpr std::uint32_t kNeedleColour = 0xCE981D;
constexpr std::uint32_t kGridColour = 0x5B4D1C;
constexpr std::uint32_t kMarkerColour = 0x09A9FF;
constexpr std::array<std::uint32_t, 3> kAxisColours = { 0xFFFFFF, 0xFFFF00, 0x00FF00 };

constexpr QPoint kSpeedometerFaceAt(219, 459);
constexpr QPoint kCompassFaceAt(339, 466);

// Text line k's rectangle, left and top aligned.
QRect TextLineRect(int k)
{
    return QRect(QPoint(500, 465 + 25 * k), QPoint(750, 485 + 25 * k));
}

QRect StripLabelRect(int k)
{
    return QRect(QPoint(216, 575 + 18 * k), QPoint(255, 615 + 18 * k));
}

QPoint At(PixelPoint p)
{
    return QPoint(p.x, p.y);
}

// Text on an opaque background as wide as the text itself, like text output in opaque
// mode; the rest of the rectangle keeps what was there. With Qt::TextDontClip a text
// wider than its box runs past it.
void DrawOpaqueText(
    QPainter& painter, const QRect& box, int flags, const QString& text, const QColor& background)
{
    QRect used = painter.boundingRect(box, flags, text);
    if ((flags & Qt::TextDontClip) == 0)
        used &= box;
    painter.fillRect(used, background);
    painter.drawText(box, flags, text);
}

QPen LinePen(std::uint32_t bgr, int width)
{
    QPen pen(ColorFromBgr(bgr), width);
    pen.setCapStyle(Qt::FlatCap);
    // One-pixel lines take the raster engine's fast path.
    pen.setCosmetic(width == 1);
    return pen;
}

} // namespace

QFont CellFont(const QString& family, int cellHeight, int averageWidth, bool bold)
{
    // Liberation Sans (Arial's metric twin): ascent + descent = 1.117 em, average
    // character width 0.441 em.
    QFont font(family);
    const int pixelSize = std::max(1, static_cast<int>(std::lround(cellHeight / 1.117)));
    font.setPixelSize(pixelSize);
    if (averageWidth > 0)
        font.setStretch(std::clamp(
            static_cast<int>(std::lround(100.0 * averageWidth / (0.441 * pixelSize))), 50, 200));
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

TelemetryPanel::TelemetryPanel(QWidget& window, const CTextData& store, PanelInputs inputs)
    : m_window(window)
    , m_store(store)
    , m_inputs(std::move(inputs))
    , m_speedometerFace(LoadSkinImage(446))
    , m_compassFace(LoadSkinImage(447))
    , m_textFont(CellFont(QStringLiteral("Arial"), 12, 6))
    , m_labelFont(CellFont(QStringLiteral("Arial"), 13, 6))
    , m_stripLayer(kStripCopyWidth, kStripCopyHeight, QImage::Format_RGB32)
{ }

QRect TelemetryPanel::StripRegion()
{
    // From x 200: the labels may run left of their column.
    return QRect(QPoint(200, kStripWindowTop), QPoint(kStripCopyLeft + kStripCopyWidth - 1, 687));
}

QRect TelemetryPanel::TextRegion()
{
    return TextLineRect(0).united(TextLineRect(3));
}

QRect TelemetryPanel::GaugeRegion()
{
    return QRect(kSpeedometerFaceAt, QSize(177, 178)).united(QRect(kCompassFaceAt, QSize(89, 92)));
}

bool TelemetryPanel::Windowed() const
{
    return !m_inputs.displayMode || m_inputs.displayMode() == 0;
}

void TelemetryPanel::DrawStripGraph(std::uint32_t positionMs, std::uint32_t durationMs)
{
    if (!Windowed())
        return;
    const int unit = m_inputs.speedUnit ? m_inputs.speedUnit() : kUnitKmh;
    const std::uint64_t key = StripContentKey(m_store, durationMs, m_stripMode, unit);
    if (m_strip && key == m_stripKey) {
        const std::optional<int> markerX = StripMarkerX(
            m_store, positionMs, durationMs, m_stripMode, !m_strip->segments.empty());
        if (markerX == m_strip->markerX)
            return; // the same picture: paused, or between two sample columns
        m_strip->markerX = markerX;
    } else {
        m_strip = ComposeStrip(m_store, positionMs, durationMs, m_stripMode, unit);
        m_stripKey = key;
        m_stripLayerStale = true;
    }
    m_window.update(StripRegion());
}

void TelemetryPanel::DrawTelemetryText(std::uint32_t positionMs, std::uint32_t durationMs)
{
    if (!Windowed())
        return;
    TextLines text = ComposeTextLines(m_store, positionMs, durationMs,
        m_inputs.currentDateText ? m_inputs.currentDateText() : std::string());
    if (m_text == text)
        return; // the same lines: no repaint (laying out text is the costly part)
    m_text = std::move(text);
    m_window.update(TextRegion());
}

void TelemetryPanel::DrawGaugeAndCompass(std::uint32_t positionMs, std::uint32_t durationMs)
{
    if (!Windowed())
        return;
    const int unit = m_inputs.speedUnit ? m_inputs.speedUnit() : kUnitKmh;
    const GaugePicture gauge = ComposeGauge(m_store, positionMs, durationMs, unit);
    if (m_gauge == gauge)
        return;
    m_gauge = gauge;
    m_window.update(GaugeRegion());
}

void TelemetryPanel::Clear()
{
    m_strip.reset();
    m_text.reset();
    m_gauge.reset();
    m_window.update(StripRegion().united(TextRegion()).united(GaugeRegion()));
}

void TelemetryPanel::Paint(QPainter& painter) const
{
    if (!Windowed())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    if (m_strip)
        PaintStrip(painter, *m_strip);
    if (m_text)
        PaintText(painter, *m_text);
    if (m_gauge)
        PaintGauge(painter, *m_gauge);
    painter.restore();
}

void TelemetryPanel::PaintStrip(QPainter& painter, const StripPicture& strip) const
{
    // Only the copied part of the surface is ever seen, so only that part is composed:
    // black, then grid and curves, in surface coordinates.
    if (m_stripLayerStale) {
        m_stripLayer.fill(Qt::black);
        QPainter surface(&m_stripLayer);
        surface.translate(-kStripCopyLeft, -kStripCopyTop);
        surface.setPen(LinePen(kGridColour, 1));
        for (const int y : kStripGridYs)
            surface.drawLine(0, y, kStripGridRight, y);
        for (const CurveSegment& segment : strip.segments) {
            surface.setPen(LinePen(kAxisColours[static_cast<std::size_t>(segment.axis)], 1));
            surface.drawLine(At(segment.from), At(segment.to));
        }
        m_stripLayerStale = false;
    }
    painter.drawImage(QPoint(kStripCopyLeft, kStripWindowTop), m_stripLayer);
    if (strip.markerX) {
        // The marker as the copy shows it: surface rows move down by the copy's offset,
        // and nothing outside the copied part is seen.
        painter.save();
        painter.setClipRect(
            QRect(kStripCopyLeft, kStripWindowTop, kStripCopyWidth, kStripCopyHeight),
            Qt::IntersectClip);
        painter.translate(0, kStripWindowTop - kStripCopyTop);
        painter.setPen(LinePen(kMarkerColour, 1));
        painter.drawLine(*strip.markerX, 640, *strip.markerX, 550);
        painter.restore();
    }

    painter.setFont(m_labelFont);
    painter.setPen(Qt::white);
    for (std::size_t k = 0; k < strip.labels.size(); ++k) {
        // The labels' leading spaces are padding: their background stays inside the
        // column, while "160kph", wider than the column, runs into the gap on its left
        // rather than losing its first digit.
        const QRect box = StripLabelRect(static_cast<int>(k));
        const int flags = Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
        const QString padded = QString::fromStdString(strip.labels[k]);
        QString text = padded;
        while (text.startsWith(QLatin1Char(' ')))
            text.remove(0, 1);
        painter.fillRect(
            painter.boundingRect(box, flags, padded) & box, ColorFromBgr(kLabelBackground));
        painter.fillRect(painter.boundingRect(box, flags, text), ColorFromBgr(kLabelBackground));
        painter.drawText(box, flags, text);
    }
}

void TelemetryPanel::PaintText(QPainter& painter, const TextLines& text) const
{
    painter.setFont(m_textFont);
    painter.setPen(Qt::white);
    for (std::size_t k = 0; k < text.lines.size(); ++k) {
        if (!text.lines[k] || text.lines[k]->empty())
            continue;
        DrawOpaqueText(painter, TextLineRect(static_cast<int>(k)),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
            QString::fromStdString(*text.lines[k]), ColorFromBgr(kTextBackground));
    }
}

void TelemetryPanel::PaintGauge(QPainter& painter, const GaugePicture& gauge) const
{
    const QPen needle = LinePen(kNeedleColour, 2);
    painter.drawImage(kSpeedometerFaceAt, m_speedometerFace);
    painter.setPen(needle);
    painter.drawLine(At(kSpeedometerCentre), At(gauge.needleTip));
    painter.drawImage(kCompassFaceAt, m_compassFace);
    if (gauge.compassEnd == kCompassCentre) {
        QPen dot = needle;
        dot.setCapStyle(Qt::SquareCap);
        painter.setPen(dot);
        painter.drawPoint(At(kCompassCentre));
    } else {
        painter.setPen(needle);
        painter.drawLine(At(kCompassCentre), At(gauge.compassEnd));
    }
}

} // namespace velomira
