// velomira-viewer [PATH...]: the desktop viewer. The process ends when the main window
// closes; a second start hands its paths to the viewer already running.
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPalette>
#include <QToolTip>

#include "app/CSamplePlayerDlg.h"
#include "app/CommandLine.h"
#include "app/PathOpener.h"
#include "app/SingleInstance.h"
#include "app/ViewerSession.h"
#include "map/WebViewSetup.h"
#include "platform/ProcessExit.h"
#include "texts/AppValues.h"

namespace {

int RunViewer(int argc, char** argv)
{
    const velomira::ViewerCommandLine line
        = velomira::ParseViewerCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const int status
        = velomira::AnswerWithoutWindow(line, velomira::VersionNumber(), stdout, stderr);
        status >= 0)
        return status;

    // The map panes' scheme and rendering must be settled before the application object.
    velomira::PrepareWebViews();
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELOMIRA6 Viewer");
    QApplication::setDesktopFileName("velomira-viewer");
    QApplication::setWindowIcon(QIcon(":/skin/472.png"));

    std::vector<std::string> paths;
    const std::string here = QDir::currentPath().toStdString();
    for (const std::string& path : line.paths)
        paths.push_back(velomira::MakeAbsolute(path, here));
    velomira::SingleInstance instance(velomira::SingleInstance::DefaultSocketPath());
    if (instance.Start(paths) == velomira::SingleInstance::Role::HandedOver)
        return 0;

    // Tooltips in the skin's dark colours.
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(28, 33, 37));
    tips.setColor(QPalette::ToolTipText, QColor(222, 228, 234));
    QToolTip::setPalette(tips);

    velomira::CSamplePlayerDlg window;
    velomira::ViewerSession session(window);
    velomira::PathOpener opener(session);
    QObject::connect(&instance, &velomira::SingleInstance::pathsReceived, &opener,
        [&opener](const std::vector<std::string>& received) {
            if (received.empty())
                opener.Raise();
            else
                opener.Open(received);
        });
    // The main window is shown modeless: run modal, it would block the list window,
    // which is a window of its own. The process ends when the main window is done: by
    // exit(), as quit() first asks every window to close and the list window turns a
    // close from the window system down (it only hides), which would cancel the quit.
    QObject::connect(&window, &QDialog::finished, &app, [] { QCoreApplication::exit(0); });
    window.show();
    if (!paths.empty())
        opener.OpenLater(paths);
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    velomira::EndProcess(RunViewer(argc, argv));
}
