// The main window's initialisation: every part of the viewer set up in a fixed order,
// before the window is first shown. The language must be known before the tooltips, the
// map provider and the title; the layout comes before the skin gives the final size; the
// list window exists before it learns where `currentIndex` lives.
#include <clocale>

#include <QTimer>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"
#include "app/Tick.h"
#include "app/ViewerSession.h"
#include "app/commands/CardCommands.h"
#include "app/commands/ExportCommands.h"
#include "app/commands/GraphCommands.h"
#include "app/commands/Transport.h"
#include "app/commands/TripsCommand.h"
#include "library/CListDlg.h"
#include "map/MapPanes.h"
#include "map/MapWebProfile.h"
#include "platform/DriveMonitor.h"
#include "playback/ComponentMessages.h"
#include "playback/DecoderEnvironment.h"
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPort.h"
#include "playback/views/CPlxVideoView.h"
#include "telemetry/CTextData.h"
#include "telemetry/SmartBox.h"
#include "telemetry/TelemetryPanel.h"
#include "telemetry/TrackExport.h"
#include "texts/TextCatalogue.h"

namespace velomira {

void ViewerSession::Initialise()
{
    // Decoder settings: a seam that writes nothing here.
    LinuxDecoderEnvironment().WriteVideoDecoderSettings();
    // The list window: modeless, without a parent, for the whole run.
    m_list = std::make_unique<CListDlg>();
    // Drive notifications.
    m_drives = m_driveReader ? new DriveMonitor(m_driveReader, this) : new DriveMonitor(this);
    // The player, attached once to both panels' views.
    m_player = std::make_unique<MediaPlayer>();
    m_port = std::make_unique<MediaPlayerPort>(*m_player);
    m_player->AttachWindows(2, m_window.frontView(), m_window.rearView());
    m_store = std::make_unique<CTextData>();
    m_timer = new QTimer(this);
    m_timer->setInterval(200);

    // Language from the card (0 without one), then the speed unit.
    m_window.SetLanguage(ResolveLanguage(-1, *m_drives, m_card));
    ResolveSpeedUnit(2, *m_drives, m_card);
    m_window.RegisterTooltips();
    m_mapProvider = m_window.language() == kLanguageKorean ? 0 : 1;
    m_window.ApplyWindowTitle();
    m_window.ApplyScreenLayout(kWindowed);
    ReportMissingComponents(m_player->CheckComponents(), m_window.language(), m_window.messages());
    m_window.LoadSkin();
    if (m_withMap && WebViewsCanStart()) {
        m_map = std::make_unique<MapPanes>(m_window, m_store->GpsRecords());
        m_map->SetMapProvider(m_mapProvider);
        m_map->ApplyLayout(m_window.screenMode() == kWindowed);
        m_map->InitMapPanes();
    }

    m_transport = std::make_unique<Transport>(*m_port, m_window, *m_list, *m_store, m_state);
    m_transport->SetDriveRoots(m_drives);
    m_transport->SetMap(m_map.get());
    m_transport->SetTimerControl([this] { m_timer->start(); }, [this] { m_timer->stop(); });
    TickLoop::Commands commands;
    commands.next = [this] { m_transport->OnNext(); };
    commands.play = [this] { m_transport->OnPlay(); };
    commands.toggleList = [this] { ToggleListWindow(); };
    m_tick = std::make_unique<TickLoop>(
        *m_port, m_window, *m_list, *m_store, m_state, std::move(commands));
    m_transport->SetTick([this] { m_tick->Tick(); });
    m_tick->SetMap(m_map.get());
    m_cardCommands = std::make_unique<CardCommands>(m_window, *m_list, *m_transport, m_state,
        m_card, *m_drives, *m_dialogs, [this] { return m_player->State(); });
    m_cardCommands->SetShowList([this] {
        if (!m_listShown)
            ToggleListWindow();
    });
    m_graphCommands = std::make_unique<GraphCommands>(
        m_window, *m_list, *m_store, m_state, [this] { return m_player->State(); },
        [this] { return m_card.speedUnit; });
    m_tick->SetTelemetryDisplays(&m_graphCommands->smartBox(), &m_graphCommands->panel());
    m_exportCommands
        = std::make_unique<ExportCommands>(m_window, *m_list, m_state, *m_transport, *m_dialogs);
    m_tripsCommand = std::make_unique<TripsCommand>(
        TripsCommand::Parts { m_window, *m_list, *m_transport, *m_port, m_state, m_card, *m_drives,
            *m_store, m_map ? m_map->profile() : nullptr, [this] { m_tick->Tick(); },
            [this](const NamedTrack& track) { m_exportCommands->ExportTrip(track); } });
    m_list->SetCurrentIndexField(&m_state.currentIndex);
    WireHooks();
    m_window.update();
    // From here on the runtime formats numbers in the user's locale.
    std::setlocale(LC_ALL, "");
}

} // namespace velomira
