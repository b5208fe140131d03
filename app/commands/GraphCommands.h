#pragma once

#include <functional>
#include <memory>

class QObject;

namespace velomira {

class CGraphDlg;
class CListDlg;
class CSamplePlayerDlg;
class CTextData;
class SmartBox;
class TelemetryPanel;
struct TransportState;

// The telemetry on the main window and its buttons: the panel below the video with the
// strip's mode button (GMode, 1020), the SMART box (5005) and the detailed graph window
// (GRAPH, 1196). Owns the panel and the box, which the tick refreshes.
class GraphCommands {
public:
    GraphCommands(CSamplePlayerDlg& window, CListDlg& list, const CTextData& store,
        TransportState& state, std::function<int()> playerState, std::function<int()> speedUnit);
    ~GraphCommands();

    // Connections live as long as `context`.
    void ConnectControls(QObject& context);

    TelemetryPanel& panel() const { return *m_panel; }
    SmartBox& smartBox() const { return *m_smartBox; }

    // GRAPH: the detailed graph window, modal, or the no-file message.
    void ShowGraphDialog();
    // GMode: the strip's next mode; drawn at once while paused, else at the next tick.
    void OnGraphMode();
    // The SMART button itself: the box for the present position.
    void OnSmart();

    // Runs the graph window modally; tests replace it to look at the window instead.
    void SetGraphRunner(std::function<void(CGraphDlg& dialog)> run) { m_runGraph = std::move(run); }

private:
    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    const CTextData& m_store;
    TransportState& m_state;
    std::function<int()> m_playerState;
    std::function<int()> m_speedUnit;
    std::unique_ptr<TelemetryPanel> m_panel;
    std::unique_ptr<SmartBox> m_smartBox;
    std::function<void(CGraphDlg& dialog)> m_runGraph;
};

} // namespace velomira
