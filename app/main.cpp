// velomira-viewer: the desktop viewer. Takes no arguments; the process ends when the
// main window closes.
#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QToolTip>

#include "app/CSamplePlayerDlg.h"
#include "app/ViewerSession.h"
#include "map/WebViewSetup.h"

int main(int argc, char** argv)
{
    // The map panes' scheme and rendering must be settled before the application object.
    velomira::PrepareWebViews();
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELOMIRA6 Viewer");
    QApplication::setDesktopFileName("velomira-viewer");
    QApplication::setWindowIcon(QIcon(":/skin/472.png"));

    // Tooltips in the skin's dark colours.
    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(28, 33, 37));
    tips.setColor(QPalette::ToolTipText, QColor(222, 228, 234));
    QToolTip::setPalette(tips);

    velomira::CSamplePlayerDlg window;
    velomira::ViewerSession session(window);
    // The main window is shown modeless: run modal, it would block the list window,
    // which is a window of its own. The process ends when the main window is done.
    QObject::connect(&window, &QDialog::finished, &app, &QCoreApplication::quit);
    window.show();
    return app.exec();
}
