#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/DriveTable.h"
#include "tools/FormatPlan.h"

class QObject;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class DriveRoots;

// The format button (1201): re-creates the card's FAT32 file system with the cluster size
// its capacity calls for, after the user's confirmation, and shows the card's root in the
// file manager. Only a removable device that is not the system's is ever formatted.
class FormatCommand {
public:
    // What the command reaches outside the window; tests replace each part.
    struct Environment {
        std::function<int()> playerState;
        std::function<void()> playPause; // the play/pause command
        // Lets go of every file open on the card (the paused recording) so that it can be
        // unmounted; not called for an image file, which stays mounted nowhere.
        std::function<void()> releaseCard;
        // The drive table's entry for a letter.
        std::function<std::optional<DriveEntry>(char)> driveEntry;
        std::function<FormatTarget(const DriveEntry&)> probe;
        std::function<std::optional<DriveGeometry>(const FormatTarget&)> geometry;
        std::function<std::vector<std::string>()> systemDevices;
        std::function<std::string(const std::string&)> diskOf;
        FormatPrograms programs;
        RunProgram run;
        std::function<void(const std::string& folder)> showFolder; // the file manager
    };

    FormatCommand(CSamplePlayerDlg& window, CListDlg& list, const DriveRoots& drives,
        Environment environment);

    // The machine's own: QProcess, sysfs, the mount table, QDesktopServices, and the
    // VELOMIRA_FORMAT_IMAGES stand-in images.
    static Environment SystemEnvironment();

    void ConnectControls(QObject& context);
    void OnFormat();

private:
    void Run();

    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    const DriveRoots& m_drives;
    Environment m_env;
};

} // namespace velomira
