#include "app/commands/SetupCommand.h"

#include <cstring>

#include <QAbstractButton>
#include <QLoggingCategory>

#include "app/CSamplePlayerDlg.h"
#include "platform/CardSearch.h"
#include "playback/PlayerResults.h"
#include "settings/CardValues.h"
#include "settings/FactoryFile.h"
#include "settings/SettingsFile.h"
#include "settings/editor/CNewSetupDlg.h"
#include "skin/CBitmapButton.h"
#include "texts/TextCatalogue.h"

namespace velomira {

namespace {

Q_LOGGING_CATEGORY(lcSetup, "velomira.setup")

void LogFolderNotFlushed(int error)
{
    qCWarning(lcSetup) << "the settings file was written, but its folder could not be flushed:"
                       << std::strerror(error);
}

} // namespace

SetupCommand::SetupCommand(
    CSamplePlayerDlg& window, CardValues& card, const DriveRoots& drives, Hooks hooks)
    : m_window(window)
    , m_card(card)
    , m_drives(drives)
    , m_hooks(std::move(hooks))
    , m_ops(SystemFileOperations())
    , m_runDialog([](CNewSetupDlg& dialog) { dialog.exec(); })
{ }

void SetupCommand::ConnectControls(QObject& context)
{
    if (CBitmapButton* button = m_window.Button(1195))
        QObject::connect(button, &QAbstractButton::clicked, &context, [this] { OnSetup(); });
}

void SetupCommand::RefreshLanguage()
{
    m_window.SetLanguage(ResolveLanguage(-1, m_drives, m_card));
    m_window.RegisterTooltips();
}

void SetupCommand::RunEditor()
{
    const char letter = m_card.cardDrive.empty() ? '\0' : m_card.cardDrive[0];
    // The read checked here is the one the window edits: a file that opens but cannot be
    // read is not edited as zeros, since saving them would replace settings the user never
    // saw.
    const auto content = ReadSettingsFile(letter, m_drives, m_ops);
    if (content && content->readFailed) {
        qCWarning(lcSetup) << "the settings file cannot be read:" << content->error;
        if (const auto notice
            = ComposeMessage(MessageUse::SettingsFileNotOpened, m_window.language()))
            m_window.messages().Show(*notice);
        return;
    }
    CNewSetupDlg dialog(
        m_card.cardDrive, m_window.language(), content, m_window.messages(), &m_window);
    m_runDialog(dialog);
    dialog.FinishEditing([this, letter](const SettingsRecord& record) {
        return letter != '\0'
            && WriteSettingsFile(letter, m_drives, record, m_ops, LogFolderNotFlushed);
    });
}

void SetupCommand::OnSetup()
{
    RefreshLanguage();
    const std::optional<std::string> drive = FindCardDrive(m_drives);
    if (!drive || drive->empty()) {
        if (const auto request = ComposeMessage(MessageUse::NoCard, m_window.language()))
            m_window.messages().Show(*request);
    } else {
        if (m_hooks.playerState && m_hooks.playerState() == kStateRunning && m_hooks.play)
            m_hooks.play();
        m_card.cardDrive = *drive;
        const char letter = (*drive)[0];
        if (!CheckDeviceGeneration(letter, m_drives)) {
            ShowVersionMismatch(m_window.messages());
        } else if (!IsNewFirmware(letter, m_drives)) {
            RunEditor();
        } else {
            const auto content = ReadSettingsFile(letter, m_drives, m_ops);
            const bool valid
                = content && !content->readFailed && IsSettingsRecordValid(content->bytes);
            if (CheckAndRestoreSettings(letter, m_drives, m_window.language(),
                    m_window.messages(), m_ops, LogFolderNotFlushed)
                == SettingsCheck::Proceed) {
                if (valid)
                    m_window.SetLanguage(ResolveLanguage(-1, m_drives, m_card));
                RunEditor();
            }
        }
        RefreshLanguage();
        ResolveSpeedUnit(2, m_drives, m_card);
    }
    if (m_hooks.showMapPane)
        m_hooks.showMapPane();
    if (m_hooks.focusList)
        m_hooks.focusList();
}

} // namespace velomira
