// The panel as painted: offscreen grabs of a window that paints it over a backdrop, at
// the worked needle, compass, text and strip cases.
#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>

#include "skin/CBitmapButton.h"
#include "telemetry-panel/PanelTestStore.h"
#include "telemetry/SmartBox.h"
#include "telemetry/TelemetryPanel.h"

namespace velomira {
namespace {

using test::LoadRecording;
using test::SteadySamples;

const QColor kBackdrop(255, 0, 255);
const QColor kNeedle(0x1D, 0x98, 0xCE);
const QColor kWhite(255, 255, 255);
const QColor kCyan(0, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kMarker(0xFF, 0xA9, 0x09);
const QColor kStripGrid(0x1C, 0x4D, 0x5B);
const QColor kTextBackground(0x32, 0x32, 0x32);

// A window that paints a backdrop and the panel over it, as the main window does.
class PanelHost : public QWidget {
public:
    PanelHost() { resize(1020, 720); }
    TelemetryPanel* panel = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), kBackdrop);
        if (panel != nullptr)
            panel->Paint(painter);
    }
};

struct PanelRig {
    CTextData store;
    int displayMode = 0;
    int unit = kUnitKmh;
    PanelHost host;
    TelemetryPanel panel { host, store,
        { [this] { return displayMode; }, [this] { return unit; },
            [] { return std::string("2024-03-15"); } } };

    PanelRig() { host.panel = &panel; }
    QImage Grab() { return host.grab().toImage(); }
    void DrawAll(std::uint32_t positionMs, std::uint32_t durationMs)
    {
        panel.DrawStripGraph(positionMs, durationMs);
        panel.DrawTelemetryText(positionMs, durationMs);
        panel.DrawGaugeAndCompass(positionMs, durationMs);
    }
};

bool Is(const QImage& image, int x, int y, const QColor& colour)
{
    return image.pixelColor(x, y).rgb() == colour.rgb();
}

// Whether `colour` is within `radius` pixels of (x, y).
bool Near(const QImage& image, int x, int y, const QColor& colour, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (Is(image, x + dx, y + dy, colour))
                return true;
        }
    }
    return false;
}

int Count(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            n += Is(image, x, y, colour) ? 1 : 0;
    }
    return n;
}

TEST(PanelPaint, SpeedNeedleEndsAtItsTip)
{
    struct Case {
        const char* name;
        std::uint16_t speed;
        int unit;
        QPoint tip;
    };
    const Case cases[] = {
        { "100 km/h", 100, kUnitKmh, { 297, 473 } },
        { "0", 0, kUnitKmh, { 240, 542 } },
        { "160", 160, kUnitKmh, { 303, 542 } },
        { "80", 80, kUnitKmh, { 271, 466 } },
        { "100 km/h as 62 mph", 100, kUnitMph, { 249, 472 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PanelRig rig;
        rig.unit = c.unit;
        LoadRecording(rig.store, { 10000, SteadySamples(100, c.speed), {} });
        rig.panel.DrawGaugeAndCompass(5000, 10000);
        const QImage image = rig.Grab();
        EXPECT_TRUE(Near(image, c.tip.x(), c.tip.y(), kNeedle));
        // Four pixels further out along the needle there is none.
        const QPointF along = QPointF(c.tip - QPoint(272, 511)) / 45.0 * 4.0;
        const QPoint beyond = c.tip + along.toPoint();
        EXPECT_FALSE(Is(image, beyond.x(), beyond.y(), kNeedle));
        EXPECT_TRUE(Near(image, 272, 511, kNeedle));
    }
}

TEST(PanelPaint, CompassShowsADotBelowTwoKmh)
{
    struct Case {
        std::uint16_t speed;
        bool needleEast;
    };
    for (const Case c : { Case { 1, false }, Case { 50, true } }) {
        SCOPED_TRACE(c.speed);
        PanelRig rig;
        LoadRecording(rig.store, { 10000, SteadySamples(100, c.speed), test::EastboundLines(10) });
        rig.panel.DrawGaugeAndCompass(5000, 10000);
        const QImage image = rig.Grab();
        EXPECT_TRUE(Near(image, 384, 510, kNeedle));
        EXPECT_EQ(Near(image, 400, 510, kNeedle), c.needleEast);
    }
}

TEST(PanelPaint, TextLinesOnTheirBackground)
{
    PanelRig rig;
    test::RecordingSamples plan { 10000, SteadySamples(100, 50), {} };
    plan.rmcLines = { test::RmcLine(3733.1234, 'S', 12700.5, 'E') };
    LoadRecording(rig.store, plan);
    rig.panel.DrawTelemetryText(0, 10000);
    ASSERT_TRUE(rig.panel.text());
    EXPECT_EQ(rig.panel.text()->lines[2], "037 033 7.4 S   ");
    EXPECT_EQ(rig.panel.text()->lines[3], "127 000 30.0 E    ");
    const QImage image = rig.Grab();
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const QRect line(500, 465 + 25 * k, 120, 20);
        EXPECT_GT(Count(image, line, kWhite), 20);
        EXPECT_GT(Count(image, line, kTextBackground), 100);
        // Only the text's own extent is filled.
        EXPECT_TRUE(Is(image, 745, 470 + 25 * k, kBackdrop));
    }
}

TEST(PanelPaint, StripFirstTripleIsCutAtTheCopiedPart)
{
    PanelRig rig;
    LoadRecording(rig.store, { 60000, SteadySamples(600, 0, 1.0, -1.0, 0), {} });
    rig.panel.DrawStripGraph(30000, 60000);
    const QImage image = rig.Grab();
    // Surface row r shows at window row r + 19.
    EXPECT_TRUE(Is(image, 300, 579 + 19, kWhite));
    EXPECT_TRUE(Is(image, 300, 625 + 19, kCyan));
    EXPECT_TRUE(Is(image, 300, 602 + 19, kGreen));
    EXPECT_TRUE(Is(image, 300, 580 + 19, kStripGrid));
    EXPECT_TRUE(Is(image, 453, 610, kMarker));
    EXPECT_TRUE(Is(image, 646, 579 + 19, kWhite));
    for (int x = 647; x <= 651; ++x)
        EXPECT_TRUE(Is(image, x, 579 + 19, kBackdrop)) << x;
    // The labels' column lies over the strip.
    EXPECT_GT(Count(image, QRect(216, 575, 40, 18), kWhite), 5);
}

TEST(PanelPaint, StripFollowsANewRecordingOfTheSameLength)
{
    PanelRig rig;
    LoadRecording(rig.store, { 60000, SteadySamples(600, 0, 1.0, 0, 0), {} });
    rig.panel.DrawStripGraph(10000, 60000);
    EXPECT_TRUE(Is(rig.Grab(), 300, 579 + 19, kWhite));
    LoadRecording(rig.store, { 60000, SteadySamples(600, 0, -1.0, 0, 0), {} });
    rig.panel.DrawStripGraph(20000, 60000);
    const QImage image = rig.Grab();
    EXPECT_FALSE(Is(image, 300, 579 + 19, kWhite));
    EXPECT_TRUE(Is(image, 300, 625 + 19, kWhite));
    EXPECT_TRUE(Is(image, 387, 610, kMarker)); // 20000 / 60000 x 397 + 255
    EXPECT_FALSE(Is(image, 321, 610, kMarker));
}

TEST(PanelPaint, StripSpeedModeAndItsAbsences)
{
    struct Case {
        const char* name;
        std::uint16_t speedKmh;
        bool gps;
        std::uint32_t positionMs;
        int curveY; // window row, -1 none visible
        int markerX; // -1 none visible
    };
    const Case cases[] = {
        { "120 km/h, 60 pixels above zero", 120, true, 30000, 580 + 19, 453 },
        { "250 km/h on the 200 line, above the copied part", 250, true, 30000, -1, 453 },
        { "the end's marker at 647, right of the copied part", 120, true, 60000, 580 + 19, -1 },
        { "no GPS records: only grid and labels", 120, false, 30000, -1, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PanelRig rig;
        rig.panel.SetStripMode(2);
        LoadRecording(rig.store,
            { 60000, SteadySamples(600, c.speedKmh),
                c.gps ? test::EastboundLines(60) : std::vector<std::string> {} });
        rig.panel.DrawStripGraph(c.positionMs, 60000);
        const QImage image = rig.Grab();
        const QRect strip(256, 575, 391, 85);
        EXPECT_EQ(Count(image, strip, kGreen) > 0, c.curveY > 0);
        if (c.curveY > 0) {
            EXPECT_TRUE(Is(image, 300, c.curveY, kGreen));
        }
        EXPECT_EQ(Count(image, strip, kMarker) > 0, c.markerX > 0);
        if (c.markerX > 0) {
            EXPECT_TRUE(Is(image, c.markerX, 600, kMarker));
        }
        EXPECT_GT(Count(image, strip, kStripGrid), 100);
        EXPECT_GT(Count(image, QRect(216, 575, 40, 18), kWhite), 5);
    }
}

TEST(PanelPaint, FullScreenDrawsNothing)
{
    PanelRig rig;
    LoadRecording(rig.store, { 10000, SteadySamples(100, 100), test::EastboundLines(10) });
    rig.displayMode = 1;
    rig.DrawAll(5000, 10000);
    EXPECT_FALSE(rig.panel.strip() || rig.panel.text() || rig.panel.gauge());
    QImage image = rig.Grab();
    EXPECT_EQ(Count(image, QRect(0, 440, 1020, 280), kBackdrop), 1020 * 280);
    // Drawn while windowed, then full screen: the pictures are not painted there.
    rig.displayMode = 0;
    rig.DrawAll(5000, 10000);
    rig.displayMode = 1;
    image = rig.Grab();
    EXPECT_EQ(Count(image, QRect(0, 440, 1020, 280), kBackdrop), 1020 * 280);
}

TEST(PanelPaint, ANewRecordingWithoutTelemetryDrawsTheEmptyPanel)
{
    PanelRig rig;
    LoadRecording(rig.store, { 10000, SteadySamples(100, 100), test::EastboundLines(10) });
    rig.DrawAll(5000, 10000);
    LoadRecording(rig.store, { 10000, {}, {} });
    rig.DrawAll(5000, 10000);
    EXPECT_EQ(rig.panel.gauge()->needleTip, (PixelPoint { 240, 542 }));
    EXPECT_EQ(rig.panel.text()->lines[1], std::nullopt);
    EXPECT_EQ(rig.panel.text()->lines[2], "000 000 0.0     ");
    EXPECT_TRUE(rig.panel.strip()->segments.empty());
    const QImage image = rig.Grab();
    EXPECT_FALSE(Near(image, 297, 473, kNeedle));
    EXPECT_TRUE(Near(image, 240, 542, kNeedle));
}

TEST(SmartBoxPaint, PicturesFollowTheStatusAndAnUnknownStateKeepsThePrevious)
{
    struct Step {
        std::array<std::uint16_t, 11> words;
        int picture;
        const char* speed;
    };
    // speed, -, holdL, holdR, laneL, laneR, depL, depR, -, ahead
    const Step steps[] = {
        { { 80, 0, 0, 0, 1, 1, 0, 0, 0, 2, 0 }, 453, " 80" },
        { { 90, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0 }, 453, " 90" }, // right lane only: keep
        { { 100, 0, 0, 0, 1, 1, 1, 0, 0, 1, 0 }, 458, "100" },
        { { 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, 448, "  5" },
    };
    QWidget window;
    window.resize(400, 400);
    CBitmapButton button(&window);
    button.SetImages(448, 448, 448);
    CTextData store;
    int unit = kUnitKmh;
    SmartBox box(button, store, [&unit] { return unit; });
    for (const Step& step : steps) {
        SCOPED_TRACE(step.picture);
        test::RecordingSamples plan { 10000, SteadySamples(10, 0), {} };
        for (auto& s : plan.samples)
            s.words = step.words;
        LoadRecording(store, plan);
        box.RefreshSpeed(5000, 10000);
        EXPECT_EQ(box.pictureId(), step.picture);
        EXPECT_EQ(button.pressedImageId(), step.picture);
        EXPECT_EQ(box.text().speedText(), step.speed);
        EXPECT_EQ(box.text().unitText(), "km/h");
    }
    unit = kUnitMph;
    box.UpdateSmartBox(0, 10000);
    EXPECT_EQ(box.text().speedText(), "  3");
    EXPECT_EQ(box.text().unitText(), "mph");
    // The speed is drawn over the picture in the default text colour.
    const QImage image = button.grab().toImage();
    EXPECT_GT(Count(image, QRect(30, 25, 120, 125), QColor(Qt::black)), 20);
}

} // namespace
} // namespace velomira
