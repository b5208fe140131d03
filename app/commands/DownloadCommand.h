#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "tools/ChunkedCopy.h"

class QObject;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class DriveRoots;
class FileDialogService;
struct TransportState;

// The download button (1197): copies the recording selected in the list to a folder the
// user picks, under its own name, replacing a file of that name; the copy is written
// aside and renamed into place only when complete.
class DownloadCommand {
public:
    using CopyFile = std::function<CopyResult(
        const std::filesystem::path& source, const std::filesystem::path& target)>;

    DownloadCommand(CSamplePlayerDlg& window, CListDlg& list, TransportState& state,
        const DriveRoots& drives, FileDialogService& dialogs, std::function<int()> playerState,
        std::function<void()> stop);

    // The copy itself (by default the chunked copy with its progress dialog).
    void SetCopy(CopyFile copy) { m_copy = std::move(copy); }
    void ConnectControls(QObject& context);
    void OnDownload();

private:
    void Run();
    std::filesystem::path SourceFile(const std::string& listPath) const;

    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    TransportState& m_state;
    const DriveRoots& m_drives;
    FileDialogService& m_dialogs;
    std::function<int()> m_playerState;
    std::function<void()> m_stop;
    CopyFile m_copy;
};

} // namespace velomira
