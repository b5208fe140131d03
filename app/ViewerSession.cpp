// Wiring of the player, the list window and the commands to the main window; the list
// window's toggle and the reset when the card's drive goes away.
#include "app/ViewerSession.h"

#include <QLabel>
#include <QTimer>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"
#include "app/Tick.h"
#include "app/commands/CardCommands.h"
#include "app/commands/DownloadCommand.h"
#include "app/commands/ExportCommands.h"
#include "app/commands/FormatCommand.h"
#include "app/commands/GraphCommands.h"
#include "app/commands/PrintCommand.h"
#include "app/commands/SetupCommand.h"
#include "app/commands/Transport.h"
#include "app/commands/TripsCommand.h"
#include "library/CListDlg.h"
#include "library/QtFileDialogService.h"
#include "map/MapPanes.h"
#include "platform/DriveMonitor.h"
#include "playback/MediaPlayer.h"
#include "playback/MediaPlayerPort.h"
#include "playback/TelemetryPull.h"
#include "playback/views/CPlxVideoView.h"
#include "skin/CBitSlider.h"
#include "skin/CBitmapButton.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryPanel.h"
#include "telemetry/TrackExport.h"

namespace velomira {

ViewerSession::ViewerSession(CSamplePlayerDlg& window, FileDialogService* dialogs,
    std::function<DriveTable(const DriveTable* previous)> driveReader, bool mapPanes)
    : m_window(window)
    , m_driveReader(std::move(driveReader))
    , m_ownDialogs(dialogs == nullptr ? std::make_unique<QtFileDialogService>(&window) : nullptr)
    , m_dialogs(dialogs == nullptr ? m_ownDialogs.get() : dialogs)
    , m_withMap(mapPanes)
{
    Initialise();
    WireToolCommands();
}

ViewerSession::~ViewerSession()
{
    m_timer->stop();
    m_window.SetHooks({});
    m_player->Stop();
    m_player->Close();
    // The trips window's page uses the map panes' web profile: it goes first.
    m_tripsCommand.reset();
    m_map.reset();
}

void ViewerSession::WireHooks()
{
    MainWindowHooks hooks;
    hooks.playerState = [this] { return m_player->State(); };
    hooks.videoStreamCount = [this] { return m_player->VideoStreamCount(); };
    hooks.listEntryCount = [this] { return m_list->ItemCount(); };
    hooks.refreshVideo = [this] { m_player->RefreshVideo(1); };
    hooks.refreshAfterResize = [this] { m_player->RefreshAfterResize(); };
    hooks.focusList = [this] { m_list->FocusList(); };
    hooks.showList = [this](bool show) { ShowList(show); };
    hooks.stopPlayer = [this] {
        m_timer->stop();
        m_player->Stop();
        m_player->Close();
    };
    hooks.leftButtonOnWindow = [this](QPoint point) { m_transport->OnWindowLeftButton(point); };
    hooks.screenLayoutApplied = [this](int mode) {
        if (m_map)
            m_map->ApplyLayout(mode == kWindowed);
    };
    hooks.paintTelemetry = [this](QPainter& painter) { m_graphCommands->panel().Paint(painter); };
    m_window.SetHooks(std::move(hooks));

    m_transport->ConnectControls(*this);
    m_cardCommands->ConnectControls(*this);
    m_setupCommand = std::make_unique<SetupCommand>(m_window, m_card, *m_drives,
        SetupCommand::Hooks { [this] { return m_player->State(); },
            [this] { m_transport->OnPlay(); }, [this] { m_list->FocusList(); },
            [this] { ShowMapPage(); } });
    m_setupCommand->ConnectControls(*this);
    m_graphCommands->ConnectControls(*this);
    m_exportCommands->ConnectControls(*this);
    m_tripsCommand->ConnectControls(*this);
    m_exportCommands->SetOpenTrips([this] { m_tripsCommand->OpenTrips(); });
    // After the card commands' own handler: the card is open when the trips window reads it.
    connect(m_window.Button(1012), &QAbstractButton::clicked, this,
        [this] { m_tripsCommand->OnCardChanged(); });
    connect(m_timer, &QTimer::timeout, this, [this] { m_tripsCommand->FollowCar(); });
    for (const int id : { 1193, 1200 }) {
        if (CBitmapButton* button = m_window.Button(id)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] {
                ToggleListWindow();
                if (id == 1200)
                    m_list->FocusList();
            });
        }
    }
    connect(m_timer, &QTimer::timeout, this, [this] { m_tick->OnTimer(true); });
    connect(m_drives, &DriveMonitor::driveRemoved, this, &ViewerSession::OnDriveRemoved);
}

void ViewerSession::ShowMapPage()
{
    m_mapProvider = 1;
    if (m_map)
        m_map->ShowMapPage();
}

void ViewerSession::WireToolCommands()
{
    FormatCommand::Environment format = FormatCommand::SystemEnvironment();
    format.playerState = [this] { return m_player->State(); };
    format.playPause = [this] { m_transport->OnPlay(); };
    format.driveEntry = [this](char letter) { return m_drives->table().Entry(letter); };
    format.releaseCard = [this] {
        m_timer->stop();
        m_player->Close();
        m_state.forceReload = true;
    };
    m_formatCommand
        = std::make_unique<FormatCommand>(m_window, *m_list, *m_drives, std::move(format));
    m_downloadCommand = std::make_unique<DownloadCommand>(
        m_window, *m_list, m_state, *m_drives, *m_dialogs, [this] { return m_player->State(); },
        [this] { m_transport->OnStop(); });
    m_printCommand = std::make_unique<PrintCommand>(m_window, *m_list);
    m_formatCommand->ConnectControls(*this);
    m_downloadCommand->ConnectControls(*this);
    m_printCommand->ConnectControls(*this);
}

void ViewerSession::ShowList(bool show)
{
    // Button 1193's arrow always tells whether the list is out; hiding the list also
    // drops a close request it may have left for the tick.
    CBitmapButton* arrow = m_window.Button(1193);
    if (show) {
        m_list->PlaceBeside(m_window);
        m_list->show();
        m_list->update();
        m_listShown = true;
        arrow->SetImages(342, 342, 342);
    } else {
        m_list->hide();
        m_listShown = false;
        m_list->SetCloseRequest(false);
        arrow->SetImages(340, 340, 340);
    }
}

void ViewerSession::ToggleListWindow()
{
    m_list->PlaceBeside(m_window);
    CBitmapButton* arrow = m_window.Button(1193);
    if (m_listShown) {
        arrow->SetImages(340, 340, 340);
        m_list->hide();
        m_listShown = false;
        m_list->SetCloseRequest(false);
    } else {
        arrow->SetImages(342, 342, 342);
        m_list->show();
        m_list->update();
        m_listShown = true;
    }
}

void ViewerSession::OnDriveRemoved(char letter)
{
    if (m_card.cardDrive.empty() || m_card.cardDrive[0] != letter)
        return;
    m_player->Close();
    m_timer->stop();
    m_list->ClearLists();
    m_card.cardDrive.clear();
    m_window.frontPlaceholder()->hide();
    m_window.rearPlaceholder()->hide();
    for (const int id : { 1014, 1015 }) {
        if (auto* label = qobject_cast<QLabel*>(m_window.Control(id)))
            label->setText(QStringLiteral("00:00:00"));
    }
    m_window.Slider(1002)->setValue(0);
    m_window.Slider(1002)->update();
    m_window.Slider(1004)->setValue(50);
    m_window.Slider(1004)->update();
    m_player->SetWaveOutVolume(WaveOutVolumeFor(50));
    // Nothing plays any more: the Play button says so, and the next Play loads afresh.
    if (CBitmapButton* play = m_window.Button(1006)) {
        play->SetImages(416, 417);
        play->setText(QStringLiteral("Play"));
    }
    m_state.forceReload = true;
    // Nothing is loaded any more: the panel shows its background, not the last moment.
    m_graphCommands->panel().Clear();
    m_window.update();
    m_tripsCommand->OnCardChanged();
}

} // namespace velomira
