#pragma once

#include <functional>

#include "platform/DriveRoots.h"
#include "settings/CardFiles.h"
#include "settings/SettingsRecord.h"

class QObject;

namespace velomira {

class CNewSetupDlg;
class CSamplePlayerDlg;
struct CardValues;

// The Setup command (button 1195): finds the card, refuses the other device generation,
// checks the settings file on new firmware, runs the settings window and saves what was
// changed, then takes the language and speed unit from the card again.
class SetupCommand {
public:
    struct Hooks {
        std::function<int()> playerState;
        std::function<void()> play; // the Play command: pauses a running player
        std::function<void()> focusList;
        std::function<void()> showMapPane; // `mapProvider` 1, the map page pane shown
    };
    // Shows the settings window modally and returns when it has been closed.
    using DialogRunner = std::function<void(CNewSetupDlg&)>;

    SetupCommand(CSamplePlayerDlg& window, CardValues& card, const DriveRoots& drives, Hooks hooks);

    // The system calls the card's settings and factory files are read and written with.
    void SetFileOperations(FileOperations ops) { m_ops = std::move(ops); }
    void SetDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }
    // Connections live as long as `context`.
    void ConnectControls(QObject& context);

    void OnSetup();

private:
    void RefreshLanguage();
    void RunEditor();

    CSamplePlayerDlg& m_window;
    CardValues& m_card;
    const DriveRoots& m_drives;
    Hooks m_hooks;
    FileOperations m_ops;
    DialogRunner m_runDialog;
};

} // namespace velomira
