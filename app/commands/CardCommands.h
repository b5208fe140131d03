#pragma once

#include <functional>

class QObject;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class DriveRoots;
class FileDialogService;
class Transport;
struct CardValues;
struct TransportState;

// The two commands that fill the recording lists and start playing: SD-open (the card
// found by its EVENT folder) and Open (files chosen in the file dialog).
class CardCommands {
public:
    CardCommands(CSamplePlayerDlg& window, CListDlg& list, Transport& transport,
        TransportState& state, CardValues& card, const DriveRoots& drives,
        FileDialogService& dialogs, std::function<int()> playerState);

    // Shows the list window when it is hidden.
    void SetShowList(std::function<void()> showList) { m_showList = std::move(showList); }
    // Connections live as long as `context`.
    void ConnectControls(QObject& context);

    void OpenCard();
    void OpenFiles();

private:
    void RefreshLanguage();
    void StartFirstEntry();

    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    Transport& m_transport;
    TransportState& m_state;
    CardValues& m_card;
    const DriveRoots& m_drives;
    FileDialogService& m_dialogs;
    std::function<int()> m_playerState;
    std::function<void()> m_showList;
};

} // namespace velomira
