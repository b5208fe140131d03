#include "app/commands/DownloadCommand.h"

#include <QAbstractButton>

#include "app/CSamplePlayerDlg.h"
#include "library/CListDlg.h"
#include "library/FileDialogService.h"
#include "platform/CardPath.h"
#include "playback/PlayerResults.h"
#include "playback/TransportState.h"
#include "skin/CBitmapButton.h"
#include "texts/TextCatalogue.h"
#include "tools/CopyWithProgress.h"

namespace velomira {

DownloadCommand::DownloadCommand(CSamplePlayerDlg& window, CListDlg& list, TransportState& state,
    const DriveRoots& drives, FileDialogService& dialogs, std::function<int()> playerState,
    std::function<void()> stop)
    : m_window(window)
    , m_list(list)
    , m_state(state)
    , m_drives(drives)
    , m_dialogs(dialogs)
    , m_playerState(std::move(playerState))
    , m_stop(std::move(stop))
{
    m_copy = [this](const std::filesystem::path& source, const std::filesystem::path& target) {
        return CopyWithProgressDialog(
            &m_window, source, target, ProductTitle(m_window.language()).value_or(std::string()));
    };
}

void DownloadCommand::ConnectControls(QObject& context)
{
    if (CBitmapButton* button = m_window.Button(1197))
        QObject::connect(button, &QAbstractButton::clicked, &context, [this] { OnDownload(); });
}

void DownloadCommand::OnDownload()
{
    Run();
    m_list.FocusList();
}

std::filesystem::path DownloadCommand::SourceFile(const std::string& listPath) const
{
    // A scanned entry names its file as a card path; an imported one by its own path.
    if (listPath.size() < 2 || listPath[1] != ':')
        return listPath;
    const auto linuxPath = ToLinuxPathAsListed(listPath, m_drives);
    return linuxPath ? *linuxPath : std::filesystem::path();
}

void DownloadCommand::Run()
{
    const int state = m_playerState ? m_playerState() : kStateNoGraph;
    const int language = m_window.language();
    if (m_list.lists().master.empty()) {
        if (const auto request = ComposeMessage(MessageUse::NoFileSelectedDownload, language))
            m_window.messages().Show(*request);
        return;
    }
    if (state == kStateRunning && m_stop)
        m_stop();
    const std::string listPath = m_list.ItemText(m_list.SelectionMark(), 3).toStdString();
    const std::string name = RecordingFileName(listPath);
    const auto title = ChooseText(TextId::DownloadFolderPrompt, language);
    const auto folder = m_dialogs.ChooseFolder(title.value_or(std::string()));
    if (!folder)
        return;
    // With nothing selected there is no source and no name: the copy fails, silently.
    const std::filesystem::path source = SourceFile(listPath);
    if (listPath.empty() || name.empty())
        return;
    const std::filesystem::path target = std::filesystem::path(*folder) / name;
    if (m_copy(source, target) != CopyResult::Done)
        return;
    if (const auto done = ComposeMessage(MessageUse::DownloadDone, language, target.string()))
        m_window.messages().Show(*done);
    m_state.forceReload = true;
}

} // namespace velomira
