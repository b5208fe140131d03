#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "platform/DriveTable.h"
#include "playback/TransportState.h"
#include "settings/CardValues.h"

class QTimer;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class CTextData;
class CardCommands;
class DownloadCommand;
class DriveMonitor;
class FileDialogService;
class MapPanes;
class GraphCommands;
class ExportCommands;
class FormatCommand;
class MediaPlayer;
class MediaPlayerPort;
class PrintCommand;
class SetupCommand;
class TickLoop;
class Transport;
class TripsCommand;

// Everything the main window plays with, wired to it: the one MediaPlayer, the list
// window, the telemetry store, the transport commands, the tick and its timer, the card
// commands and the drive monitor. Constructing it runs the main window's initialisation
// in its fixed order; it lives as long as the window and must be destroyed before it.
class ViewerSession : public QObject {
    Q_OBJECT
public:
    // `dialogs`: the file dialogs (QFileDialog when null). `driveReader`: where the drive
    // table comes from (this machine's when empty). `mapPanes`: whether the web map panes
    // are made (a start-up benchmark measures the viewer without them).
    explicit ViewerSession(CSamplePlayerDlg& window, FileDialogService* dialogs = nullptr,
        std::function<DriveTable(const DriveTable* previous)> driveReader = {},
        bool mapPanes = true);
    ~ViewerSession() override;

    CSamplePlayerDlg& window() const { return m_window; }
    CListDlg& list() const { return *m_list; }
    MediaPlayer& player() const { return *m_player; }
    Transport& transport() const { return *m_transport; }
    TickLoop& tick() const { return *m_tick; }
    CardCommands& cardCommands() const { return *m_cardCommands; }
    SetupCommand& setupCommand() const { return *m_setupCommand; }
    GraphCommands& graphCommands() const { return *m_graphCommands; }
    ExportCommands& exportCommands() const { return *m_exportCommands; }
    TripsCommand& tripsCommand() const { return *m_tripsCommand; }
    DriveMonitor& drives() const { return *m_drives; }
    const CTextData& telemetry() const { return *m_store; }
    TransportState& state() { return m_state; }
    const CardValues& card() const { return m_card; }
    QTimer& timer() const { return *m_timer; }
    int mapProvider() const { return m_mapProvider; }
    // The map panes; null when the session was made without them.
    MapPanes* map() const { return m_map.get(); }
    // The end of the Setup command: the map page pane becomes the visible one.
    void ShowMapPage();
    bool listShown() const { return m_listShown; }
    int speedUnit() const { return m_card.speedUnit; }

    // Shows the list window beside the main window, or hides it (buttons 1193 and the
    // main window's LIST, and the list window's close request).
    void ToggleListWindow();
    // A drive went away: when it is the card's, the viewer is reset to its empty state.
    void OnDriveRemoved(char letter);

private:
    void Initialise();
    void WireHooks();
    void ShowList(bool show);
    // The card tools: format (1201), download (1197) and print (1198).
    void WireToolCommands();

    CSamplePlayerDlg& m_window;
    std::function<DriveTable(const DriveTable* previous)> m_driveReader;
    std::unique_ptr<FileDialogService> m_ownDialogs;
    FileDialogService* m_dialogs;
    std::unique_ptr<MediaPlayer> m_player;
    std::unique_ptr<MediaPlayerPort> m_port;
    std::unique_ptr<CTextData> m_store;
    std::unique_ptr<CListDlg> m_list;
    std::unique_ptr<Transport> m_transport;
    std::unique_ptr<TickLoop> m_tick;
    std::unique_ptr<CardCommands> m_cardCommands;
    std::unique_ptr<FormatCommand> m_formatCommand;
    std::unique_ptr<DownloadCommand> m_downloadCommand;
    std::unique_ptr<PrintCommand> m_printCommand;
    std::unique_ptr<SetupCommand> m_setupCommand;
    std::unique_ptr<MapPanes> m_map;
    bool m_withMap = true;
    std::unique_ptr<GraphCommands> m_graphCommands;
    std::unique_ptr<ExportCommands> m_exportCommands;
    std::unique_ptr<TripsCommand> m_tripsCommand;
    DriveMonitor* m_drives = nullptr;
    QTimer* m_timer = nullptr;
    TransportState m_state;
    CardValues m_card;
    int m_mapProvider = 1;
    bool m_listShown = false;
};

} // namespace velomira
