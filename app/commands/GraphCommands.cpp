#include "app/commands/GraphCommands.h"

#include "app/CSamplePlayerDlg.h"
#include "library/CListDlg.h"
#include "playback/PlayerResults.h"
#include "playback/TransportState.h"
#include "skin/CBitmapButton.h"
#include "telemetry/CGraphDlg.h"
#include "telemetry/CTextData.h"
#include "telemetry/SmartBox.h"
#include "telemetry/TelemetryPanel.h"
#include "texts/TextCatalogue.h"

namespace velomira {

GraphCommands::GraphCommands(CSamplePlayerDlg& window, CListDlg& list, const CTextData& store,
    TransportState& state, std::function<int()> playerState, std::function<int()> speedUnit)
    : m_window(window)
    , m_list(list)
    , m_store(store)
    , m_state(state)
    , m_playerState(std::move(playerState))
    , m_speedUnit(std::move(speedUnit))
    , m_runGraph([](CGraphDlg& dialog) { dialog.exec(); })
{
    PanelInputs inputs;
    inputs.displayMode = [this] { return m_window.displayMode(); };
    inputs.speedUnit = [this] { return m_speedUnit ? m_speedUnit() : 0; };
    inputs.currentDateText = [this] { return m_state.currentDateText; };
    m_panel = std::make_unique<TelemetryPanel>(m_window, m_store, std::move(inputs));
    m_smartBox = std::make_unique<SmartBox>(
        *m_window.Button(5005), m_store, [this] { return m_speedUnit ? m_speedUnit() : 0; });
}

GraphCommands::~GraphCommands() = default;

void GraphCommands::ConnectControls(QObject& context)
{
    QObject::connect(
        m_window.Button(1196), &QAbstractButton::clicked, &context, [this] { ShowGraphDialog(); });
    QObject::connect(
        m_window.Button(1020), &QAbstractButton::clicked, &context, [this] { OnGraphMode(); });
    QObject::connect(
        m_window.Button(5005), &QAbstractButton::clicked, &context, [this] { OnSmart(); });
}

void GraphCommands::ShowGraphDialog()
{
    if (!m_state.listReady || m_list.ItemCount() == 0) {
        if (const auto request
            = ComposeMessage(MessageUse::NoFileSelectedGraph, m_window.language()))
            m_window.messages().Show(*request);
        m_list.FocusList();
        return;
    }
    CGraphDlg::Inputs inputs;
    inputs.durationMs = [this] { return m_state.durationMs; };
    inputs.displayMode = m_window.displayMode();
    inputs.speedUnit = m_speedUnit ? m_speedUnit() : 0;
    CGraphDlg dialog(m_store, std::move(inputs), &m_window);
    m_runGraph(dialog);
    m_list.FocusList();
}

void GraphCommands::OnGraphMode()
{
    const int mode = NextGraphMode(m_panel->stripMode());
    m_panel->SetStripMode(mode);
    const auto images = GraphModeImages(mode);
    m_window.Button(1020)->SetImages(images[0], images[1]);
    m_window.Button(1020)->update();
    if (m_playerState && m_playerState() == kStatePaused)
        m_panel->DrawStripGraph(m_state.positionMs, m_state.durationMs);
    m_list.FocusList();
}

void GraphCommands::OnSmart()
{
    m_smartBox->UpdateSmartBox(m_state.positionMs, m_state.durationMs);
    m_list.FocusList();
}

} // namespace velomira
