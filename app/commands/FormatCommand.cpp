#include "app/commands/FormatCommand.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLoggingCategory>
#include <QUrl>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"
#include "library/CListDlg.h"
#include "platform/CardSearch.h"
#include "playback/PlayerResults.h"
#include "skin/CBitmapButton.h"
#include "texts/TextCatalogue.h"
#include "tools/FormatTargetProbe.h"
#include "tools/QtProcessRunner.h"

namespace velomira {

namespace {
Q_LOGGING_CATEGORY(lcFormat, "velomira.format")
} // namespace

FormatCommand::FormatCommand(
    CSamplePlayerDlg& window, CListDlg& list, const DriveRoots& drives, Environment environment)
    : m_window(window)
    , m_list(list)
    , m_drives(drives)
    , m_env(std::move(environment))
{ }

FormatCommand::Environment FormatCommand::SystemEnvironment()
{
    Environment env;
    env.probe = [](const DriveEntry& entry) {
        return ProbeFormatTarget(entry, qgetenv("VELOMIRA_FORMAT_IMAGES").toStdString());
    };
    env.geometry = ReadGeometry;
    env.systemDevices = ReadSystemDevices;
    env.diskOf = DiskOfDevice;
    env.programs = FindFormatPrograms();
    env.run = RunProgramStep;
    env.showFolder = [](const std::string& folder) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
    };
    return env;
}

void FormatCommand::ConnectControls(QObject& context)
{
    if (CBitmapButton* button = m_window.Button(1201))
        QObject::connect(button, &QAbstractButton::clicked, &context, [this] { OnFormat(); });
}

void FormatCommand::OnFormat()
{
    Run();
    m_list.FocusList();
}

void FormatCommand::Run()
{
    m_window.SetPlaces(kLarge, kHidden);
    const std::optional<std::string> drive = FindCardDrive(m_drives);
    const int language = m_window.language();
    if (!drive || drive->empty()) {
        if (const auto request = ComposeMessage(MessageUse::NoCard, language))
            m_window.messages().Show(*request);
        return;
    }
    if (m_env.playerState && m_env.playerState() == kStateRunning && m_env.playPause)
        m_env.playPause();
    const char letter = (*drive)[0];

    const std::optional<DriveEntry> entry
        = m_env.driveEntry ? m_env.driveEntry(letter) : std::nullopt;
    if (!entry)
        return;
    const FormatTarget target = m_env.probe(*entry);
    // An image file is never a system disk; only block devices need the mount table.
    const std::vector<std::string> systemDevices
        = target.blockDevice ? m_env.systemDevices() : std::vector<std::string>();
    if (CheckFormatTarget(target, systemDevices, m_env.diskOf) != FormatRefusal::None)
        return;
    const std::optional<DriveGeometry> geometry = m_env.geometry(target);
    if (!geometry)
        return;
    const std::optional<ClusterOption> option = ClusterOptionFor(CapacityMiB(*geometry));
    if (!option)
        return;

    // A drive letter means nothing on Linux: the question also names the medium, so that
    // the user confirms the device that will be erased.
    auto question = ComposeMessage(MessageUse::FormatQuestion, language, std::string(1, letter));
    if (!question)
        return;
    question->text += "\n\n" + DescribeFormatTarget(target);
    if (m_window.messages().Show(*question) != MessageAnswer::Ok)
        return;
    // The card may have been swapped while the question was open: format only the medium
    // the user confirmed, still behind the same letter.
    const std::optional<DriveEntry> entryNow
        = m_env.driveEntry ? m_env.driveEntry(letter) : std::nullopt;
    if (!entryNow || !IsSameFormatTarget(target, m_env.probe(*entryNow))) {
        qCWarning(lcFormat) << "drive" << letter << "no longer holds the confirmed device"
                            << QString::fromStdString(target.device);
        if (const auto failed = ComposeMessage(MessageUse::FormatFailed, language))
            m_window.messages().Show(*failed);
        return;
    }

    // mkfs.fat writes a file system FAT32 cannot hold (too few clusters) with only a
    // warning; such a format is reported as failed rather than run.
    const std::uint64_t size = target.sizeBytes != 0
        ? target.sizeBytes
        : static_cast<std::uint64_t>(CapacityMiB(*geometry) * 1048576.0);
    FormatOutcome outcome;
    if (Fat32ClusterCount(size, option->sectorsPerCluster) >= kFat32MinimumClusters) {
        if (!target.imageFile && m_env.releaseCard)
            m_env.releaseCard();
        outcome
            = RunFormatSteps(PlanFormat(target, *option, m_env.programs), m_env.run, target.root);
    }
    if (outcome.formatted) {
        if (!outcome.mounted)
            qCWarning(lcFormat) << "the card is formatted but could not be mounted again:"
                                << QString::fromStdString(target.device);
        else if (m_env.showFolder)
            m_env.showFolder(outcome.root);
        if (const auto done = ComposeMessage(MessageUse::FormatDone, language))
            m_window.messages().Show(*done);
    } else if (const auto failed = ComposeMessage(MessageUse::FormatFailed, language)) {
        m_window.messages().Show(*failed);
    }
}

} // namespace velomira
