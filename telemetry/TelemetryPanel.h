#pragma once

#include <functional>
#include <optional>
#include <string>

#include <QFont>
#include <QImage>

#include "telemetry/PanelGeometry.h"
#include "telemetry/TelemetryDisplays.h"

class QPainter;
class QRect;
class QWidget;

namespace velomira {

class CTextData;

// A font given as the window system's cell height and average character width (0: the
// face's own), through fontconfig ("Arial" is Liberation Sans here).
QFont CellFont(const QString& family, int cellHeight, int averageWidth = 0, bool bold = false);

// What the panel reads from the main window at each drawing.
struct PanelInputs {
    std::function<int()> displayMode; // 0 windowed; the panel draws only then
    std::function<int()> speedUnit; // 0 km/h, 1 mph
    std::function<std::string()> currentDateText;
};

// The telemetry panel below the video: strip graph, four text lines, speedometer and
// compass. Each Draw call composes its picture from the store at the given position and
// asks the window to repaint that region; the window's paint event calls Paint, which
// paints the pictures last composed. So nothing is drawn outside a paint event and an
// uncovered window shows what the last tick showed. Until the first Draw the window's
// own background shows.
class TelemetryPanel : public TelemetryDrawing {
public:
    TelemetryPanel(QWidget& window, const CTextData& store, PanelInputs inputs);

    void DrawStripGraph(std::uint32_t positionMs, std::uint32_t durationMs) override;
    void DrawTelemetryText(std::uint32_t positionMs, std::uint32_t durationMs) override;
    void DrawGaugeAndCompass(std::uint32_t positionMs, std::uint32_t durationMs) override;

    // Paints the composed pictures; nothing outside the windowed display.
    void Paint(QPainter& painter) const;
    // Forgets the pictures (the window shows its background there again).
    void Clear();

    // What the strip shows: 0 first triple, 1 second triple, 2 speed. Takes effect at the
    // next DrawStripGraph.
    int stripMode() const { return m_stripMode; }
    void SetStripMode(int mode) { m_stripMode = mode; }

    // The window regions each drawing covers.
    static QRect StripRegion();
    static QRect TextRegion();
    static QRect GaugeRegion();

    const std::optional<StripPicture>& strip() const { return m_strip; }
    const std::optional<TextLines>& text() const { return m_text; }
    const std::optional<GaugePicture>& gauge() const { return m_gauge; }

private:
    bool Windowed() const;
    void PaintStrip(QPainter& painter, const StripPicture& strip) const;
    void PaintText(QPainter& painter, const TextLines& text) const;
    void PaintGauge(QPainter& painter, const GaugePicture& gauge) const;

    QWidget& m_window;
    const CTextData& m_store;
    PanelInputs m_inputs;
    int m_stripMode = 0;
    std::optional<StripPicture> m_strip;
    std::optional<TextLines> m_text;
    std::optional<GaugePicture> m_gauge;
    QImage m_speedometerFace;
    QImage m_compassFace;
    QFont m_textFont;
    QFont m_labelFont;
    // The strip's grid and curves, drawn again only when their content key changes;
    // the marker is drawn over them at each paint.
    std::uint64_t m_stripKey = 0;
    mutable bool m_stripLayerStale = true;
    mutable QImage m_stripLayer;
};

} // namespace velomira
