// velomira-viewer: the desktop viewer. Takes no arguments; the process ends when the
// main window closes.
#include <QApplication>
#include <QIcon>

#include "app/CSamplePlayerDlg.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("VELOMIRA6 Viewer");
    QApplication::setDesktopFileName("velomira-viewer");
    QApplication::setWindowIcon(QIcon(":/icons/velomira-viewer.svg"));

    velomira::CSamplePlayerDlg window;
    window.exec();
    return 0;
}
