#pragma once

#include <functional>
#include <string>
#include <vector>

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
    // SD-open on the card of drive `letter` (a card folder given by name), without the
    // search: the generation check, the scan and the language all come from that drive.
    void OpenCardAt(char letter);
    // The Open command on `paths`, without the file dialog.
    void ImportFiles(const std::vector<std::string>& paths);

private:
    // The language from the card that `drives` lead the card search to.
    void RefreshLanguage(const DriveRoots& drives);
    void StartFirstEntry();
    void OpenFoundCard(char letter, const DriveRoots& languageDrives);
    void PrepareImport();
    void ImportAndPlay(const std::vector<std::string>& paths);

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
