// The graph window as a user meets it: placement, grid lines counted on a grab, the
// three modes' curves, the pointer read-out and Change Graph; and the main window's
// GRAPH, GMode and SMART commands.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>

#include "app/CSamplePlayerDlg.h"
#include "app/commands/GraphCommands.h"
#include "library/CListDlg.h"
#include "playback/TransportState.h"
#include "skin/CBitmapButton.h"
#include "support/ScriptedMessageBoxService.h"
#include "telemetry-panel/PanelTestStore.h"
#include "telemetry/CGraphDlg.h"
#include "telemetry/SmartBox.h"
#include "telemetry/TelemetryPanel.h"

namespace velomira {
namespace {

using test::LoadRecording;
using test::SteadySamples;

const QColor kGrid(28, 77, 91);

struct GraphRig {
    CTextData store;
    std::uint32_t durationMs = 20000;
    CGraphDlg dialog { store, { [this] { return durationMs; }, 0, kUnitKmh } };
    QImage Grab() { return dialog.grab().toImage(); }
    void MovePointer(int y)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(300, y), QPointF(300, y), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&dialog, &move);
    }
};

// Vertical grid lines strictly inside the frame, counted along one row.
int InnerGridLines(const QImage& image, int y)
{
    int lines = 0;
    bool inLine = false;
    for (int x = 63; x <= 957; ++x) {
        const bool grid = image.pixelColor(x, y).rgb() == kGrid.rgb();
        lines += grid && !inLine ? 1 : 0;
        inLine = grid;
    }
    return lines;
}

TEST(GraphWindow, OpensAtTheCornerWithItsButtons)
{
    GraphRig rig;
    EXPECT_EQ(rig.dialog.pos(), QPoint(0, 0));
    EXPECT_EQ(rig.dialog.size(), QSize(990, 600));
    EXPECT_EQ(rig.dialog.windowTitle(), "Graph");
    EXPECT_EQ(rig.dialog.graphMode(), 0);
    EXPECT_EQ(rig.dialog.changeButton()->geometry(), QRect(920, 530, 40, 39));
    EXPECT_EQ(rig.dialog.changeButton()->normalImageId(), 405);
    EXPECT_EQ(rig.dialog.changeButton()->pressedImageId(), 430);
    auto* test = rig.dialog.findChild<QPushButton*>("1252");
    ASSERT_NE(test, nullptr);
    EXPECT_TRUE(test->isHidden());
    CGraphDlg small(rig.store, { [] { return 0u; }, 2, kUnitKmh });
    EXPECT_EQ(small.size(), QSize(800, 540));
}

TEST(GraphWindow, GridLinesOneASecondTheLastFromThirtySeconds)
{
    // Recordings that end half a second after a whole second, so the last second's line
    // does not fall on the frame.
    struct Case {
        std::uint32_t durationMs;
        int inner; // lines 1 .. last
    };
    for (const Case c : { Case { 20500, 19 }, Case { 40500, 40 } }) {
        SCOPED_TRACE(c.durationMs);
        GraphRig rig;
        rig.durationMs = c.durationMs;
        const QImage image = rig.Grab();
        EXPECT_EQ(InnerGridLines(image, 510), c.inner);
        EXPECT_EQ(image.pixelColor(500, 496).rgb(), kGrid.rgb()); // a row line
    }
}

TEST(GraphWindow, CurvesOfTheThreeModes)
{
    GraphRig rig;
    test::RecordingSamples plan { 20000, SteadySamples(200, 0, 1.0, 0, 0), {} };
    for (auto& s : plan.samples)
        s.x2 = 0.5;
    for (int i = 0; i < 20; ++i)
        plan.rmcLines.push_back(test::RmcLine(3733.0, 'N', 12700.0 + i, 'E', 135.0)); // 250 km/h
    LoadRecording(rig.store, plan);
    struct Case {
        int mode;
        QColor colour;
        int y;
    };
    for (const Case c : { Case { 0, QColor(255, 255, 255), 160 },
             Case { 1, QColor(255, 255, 255), 400 }, Case { 2, QColor(0, 255, 0), 40 } }) {
        SCOPED_TRACE(c.mode);
        while (rig.dialog.graphMode() != c.mode)
            rig.dialog.OnChangeGraph();
        const QImage image = rig.Grab();
        EXPECT_EQ(image.pixelColor(500, c.y).rgb(), c.colour.rgb());
    }
}

TEST(GraphWindow, PointerReadoutInEveryModeAndChangeGraphCycles)
{
    GraphRig rig;
    const char* expected[3][2]
        = { { "-2.00 G", " 2.00 G" }, { " 0.00 G", " 2.00 G" }, { "000 kph", "200 kph" } };
    for (int mode = 0; mode < 3; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_EQ(rig.dialog.graphMode(), mode);
        rig.MovePointer(520);
        EXPECT_EQ(rig.dialog.readout(), expected[mode][0]);
        rig.MovePointer(40);
        EXPECT_EQ(rig.dialog.readout(), expected[mode][1]);
        rig.dialog.changeButton()->click();
    }
    EXPECT_EQ(rig.dialog.graphMode(), 0);
    EXPECT_EQ(rig.dialog.changeButton()->normalImageId(), 405);
    // The read-out is painted at (60, 10) in white.
    const QImage image = rig.Grab();
    int white = 0;
    for (int y = 10; y < 28; ++y) {
        for (int x = 60; x < 130; ++x)
            white += image.pixelColor(x, y) == QColor(Qt::white) ? 1 : 0;
    }
    EXPECT_GT(white, 20);
}

struct CommandsRig {
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
    CListDlg list;
    CTextData store;
    TransportState state;
    int playerState = 0;
    GraphCommands commands { window, list, store, state, [this] { return playerState; },
        [] { return kUnitKmh; } };
    int graphsShown = 0;
    QSize graphSize;

    CommandsRig()
    {
        window.SetLanguage(1);
        commands.SetGraphRunner([this](CGraphDlg& dialog) {
            ++graphsShown;
            graphSize = dialog.size();
        });
    }
    void AddEntry()
    {
        list.lists().visible.push_back({ "2024-03-15", "10:10:10", "Normal", "/x.mp4" });
        list.lists().master = list.lists().visible;
        list.ShowVisibleEntries();
    }
};

TEST(GraphCommand, NeedsAFilledListAndPlay)
{
    struct Case {
        const char* name;
        bool entry;
        bool listReady;
        int shown;
    };
    for (const Case c :
        { Case { "empty list", false, false, 0 }, Case { "entries before Play", true, false, 0 },
            Case { "emptied after Play", false, true, 0 }, Case { "ready", true, true, 1 } }) {
        SCOPED_TRACE(c.name);
        CommandsRig rig;
        if (c.entry)
            rig.AddEntry();
        rig.state.listReady = c.listReady;
        rig.commands.ShowGraphDialog();
        EXPECT_EQ(rig.graphsShown, c.shown);
        ASSERT_EQ(rig.messages.shown().size(), c.shown == 1 ? 0u : 1u);
        if (c.shown == 0) {
            EXPECT_EQ(rig.messages.shown()[0].text, "File is not selected.");
            EXPECT_EQ(rig.messages.shown()[0].title, "VELOMIRA6");
            EXPECT_EQ(rig.messages.shown()[0].icon, MessageIcon::Exclamation);
        } else {
            EXPECT_EQ(rig.graphSize, QSize(990, 600));
        }
    }
}

TEST(GraphModeCommand, CyclesTheStripAndDrawsAtOnceOnlyWhilePaused)
{
    struct Case {
        int playerState;
        bool drawnAtOnce;
    };
    for (const Case c : { Case { 1, true }, Case { 0, false } }) {
        SCOPED_TRACE(c.playerState);
        CommandsRig rig;
        rig.playerState = c.playerState;
        const int images[] = { 404, 406, 405 };
        for (int press = 0; press < 3; ++press) {
            rig.commands.OnGraphMode();
            EXPECT_EQ(rig.window.Button(1020)->normalImageId(), images[press]);
            EXPECT_EQ(rig.commands.panel().stripMode(), (press + 1) % 3);
        }
        EXPECT_EQ(rig.commands.panel().strip().has_value(), c.drawnAtOnce);
    }
}

TEST(SmartCommand, TheButtonRedrawsTheBoxForThePosition)
{
    CommandsRig rig;
    test::RecordingSamples plan { 10000, SteadySamples(10, 77), {} };
    for (auto& s : plan.samples)
        s.words[9] = 2;
    LoadRecording(rig.store, plan);
    rig.state.positionMs = 5000;
    rig.state.durationMs = 10000;
    rig.commands.OnSmart();
    EXPECT_EQ(rig.window.Button(5005)->normalImageId(), 450);
    EXPECT_EQ(rig.commands.smartBox().text().speedText(), " 77");
}

} // namespace
} // namespace velomira
