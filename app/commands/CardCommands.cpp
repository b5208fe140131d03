#include "app/commands/CardCommands.h"

#include <QLoggingCategory>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"
#include "app/commands/Transport.h"
#include "library/CListDlg.h"
#include "library/FileDialogService.h"
#include "library/RecordingImport.h"
#include "library/RecordingScan.h"
#include "platform/CardPath.h"
#include "platform/CardSearch.h"
#include "playback/PlayerResults.h"
#include "playback/TransportState.h"
#include "settings/CardValues.h"
#include "settings/FactoryFile.h"
#include "skin/CBitmapButton.h"
#include "texts/TextCatalogue.h"

Q_LOGGING_CATEGORY(lcCardCommands, "velomira.cards")

namespace velomira {

CardCommands::CardCommands(CSamplePlayerDlg& window, CListDlg& list, Transport& transport,
    TransportState& state, CardValues& card, const DriveRoots& drives, FileDialogService& dialogs,
    std::function<int()> playerState)
    : m_window(window)
    , m_list(list)
    , m_transport(transport)
    , m_state(state)
    , m_card(card)
    , m_drives(drives)
    , m_dialogs(dialogs)
    , m_playerState(std::move(playerState))
{ }

void CardCommands::ConnectControls(QObject& context)
{
    QObject::connect(
        m_window.Button(1012), &QAbstractButton::clicked, &context, [this] { OpenCard(); });
    QObject::connect(
        m_window.Button(1194), &QAbstractButton::clicked, &context, [this] { OpenFiles(); });
}

void CardCommands::RefreshLanguage(const DriveRoots& drives)
{
    m_window.SetLanguage(ResolveLanguage(-1, drives, m_card));
    m_window.RegisterTooltips();
}

void CardCommands::StartFirstEntry()
{
    m_list.FocusList();
    m_list.SelectOnly(0);
    m_state.listReady = true;
    if (!m_list.isVisible() && m_showList)
        m_showList();
}

void CardCommands::OpenCard()
{
    m_state.forceReload = false;
    m_window.SetPlaces(kLarge, kHidden);
    const std::optional<std::string> drive = FindCardDrive(m_drives);
    if (!drive) {
        if (const auto request = ComposeMessage(MessageUse::NoCard, m_window.language()))
            m_window.messages().Show(*request);
        m_list.FocusList();
        return;
    }
    if (drive->empty()) {
        m_list.FocusList();
        return;
    }
    OpenFoundCard((*drive)[0], m_drives);
}

void CardCommands::OpenCardAt(char letter)
{
    m_state.forceReload = false;
    m_window.SetPlaces(kLarge, kHidden);
    const auto root = m_drives.RootOf(letter);
    if (!root) {
        m_list.FocusList();
        return;
    }
    // The card search then finds this drive and no other.
    const FixedDriveRoots thisDrive(letter, *root);
    OpenFoundCard(letter, thisDrive);
}

void CardCommands::OpenFoundCard(char letter, const DriveRoots& languageDrives)
{
    const std::string drive { letter, ':' };
    m_card.cardDrive = drive;
    if (!CheckDeviceGeneration(letter, m_drives)) {
        ShowVersionMismatch(m_window.messages());
        m_list.FocusList();
        return;
    }
    if (m_playerState() == kStateRunning)
        m_transport.OnPlay();
    const CardDirectoryLister lister(m_drives);
    // A card that fails part-way still shows what was read of it.
    if (!RescanCard(m_list.lists(), drive, lister, m_list.filter()).complete)
        qCWarning(lcCardCommands)
            << "the card could not be listed to its end; the list is incomplete";
    m_list.ShowVisibleEntries();
    StartFirstEntry();
    RefreshLanguage(languageDrives);
    m_card.cardDrive = drive;
    m_transport.OnStop();
    m_transport.OnPlay();
    m_list.FocusList();
}

void CardCommands::PrepareImport()
{
    RefreshLanguage(m_drives);
    m_window.SetPlaces(kLarge, kSmall);
    if (m_playerState() == kStateRunning)
        m_transport.OnPlay();
}

void CardCommands::ImportAndPlay(const std::vector<std::string>& paths)
{
    ImportOpenedFiles(m_list.lists(), paths, m_list.filter());
    m_list.ShowVisibleEntries();
    StartFirstEntry();
    m_transport.OnStop();
    m_transport.OnPlay();
    m_list.FocusList();
}

void CardCommands::OpenFiles()
{
    PrepareImport();
    const auto paths = m_dialogs.OpenFiles("mp4 files(*.mp4, *.avi) (*.mp4 *.avi)", "*.avi");
    if (!paths) {
        m_list.FocusList();
        return;
    }
    ImportAndPlay(*paths);
}

void CardCommands::ImportFiles(const std::vector<std::string>& paths)
{
    PrepareImport();
    ImportAndPlay(paths);
}

} // namespace velomira
