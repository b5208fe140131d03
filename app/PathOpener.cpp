#include "app/PathOpener.h"

#include <QApplication>
#include <QDropEvent>
#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>

#include "app/CSamplePlayerDlg.h"
#include "app/ViewerSession.h"
#include "app/commands/CardCommands.h"
#include "library/CListDlg.h"
#include "library/DroppedPaths.h"
#include "library/OpenedPaths.h"
#include "platform/DriveMonitor.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayerResults.h"
#include "texts/TextCatalogue.h"

// What was opened is told at the info level (off unless QT_LOGGING_RULES turns it on).
Q_LOGGING_CATEGORY(lcOpening, "velomira.opening", QtWarningMsg)

namespace velomira {

PathOpener::PathOpener(ViewerSession& session)
    : m_session(session)
{
    // The main window's drops are caught for the whole window before any child sees
    // them: the web map panes would otherwise take a dropped file as a page to show.
    session.window().setAcceptDrops(true);
    qApp->installEventFilter(this);
    connect(&session.list(), &CListDlg::pathsDropped, this,
        [this](const std::vector<std::string>& paths) { OpenLater(paths); });
}

PathOpener::~PathOpener()
{
    qApp->removeEventFilter(this);
}

bool PathOpener::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != &m_session.window())
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const std::vector<std::string> paths = LocalPathsOf(drop->mimeData());
    if (paths.empty()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        OpenLater(paths);
    return true;
}

void PathOpener::Open(const std::vector<std::string>& paths)
{
    OpeningPlan plan
        = PlanOpening(paths, [](const std::string& path) { return ClassifyOpenedPath(path); });
    if (!plan.cardFolder.empty()) {
        const char letter = m_session.drives().AdoptFolder(plan.cardFolder);
        if (letter != 0) {
            qCInfo(lcOpening) << "card folder" << plan.cardFolder.c_str() << "opens as drive"
                              << QString(QChar(letter)) + ':';
            m_session.cardCommands().OpenCardAt(letter);
        } else
            qCWarning(lcOpening) << "no drive letter is free for" << plan.cardFolder.c_str();
    } else if (!plan.recordings.empty()) {
        qCInfo(lcOpening) << "recordings imported:" << plan.recordings.size();
        m_session.cardCommands().ImportFiles(plan.recordings);
    }
    if (m_session.player().State() == kStateRunning) {
        const int row = m_session.state().currentIndex;
        qCInfo(lcOpening) << "playing" << m_session.list().ItemText(row, 3);
    }
    for (const std::string& path : plan.leftAside)
        qCInfo(lcOpening) << "left aside (the first path decides what opens):" << path.c_str();
    Raise();
    if (plan.unplayable.empty())
        return;
    qCInfo(lcOpening) << "cannot be played:" << plan.unplayable.size();
    std::string names;
    for (const std::string& path : plan.unplayable)
        names += (names.empty() ? "" : "\n") + path;
    if (const auto request
        = ComposeMessage(MessageUse::InvalidFile, m_session.window().language(), names))
        m_session.window().messages().Show(*request);
}

void PathOpener::OpenLater(const std::vector<std::string>& paths)
{
    QTimer::singleShot(0, this, [this, paths] { Open(paths); });
}

void PathOpener::Raise()
{
    qCInfo(lcOpening) << "the window comes to the front";
    QWidget& window = m_session.window();
    if (window.isMinimized())
        window.showNormal();
    window.raise();
    window.activateWindow();
    if (m_session.listShown())
        m_session.list().raise();
}

} // namespace velomira
