// velomira-skinart <folder>: draws every skin image of the viewer and writes it as
// <folder>/<id>.png (24-bit RGB; the map marker keeps its transparency).
// velomira-skinart --icons <folder>: the desktop icon in the hicolor theme's sizes, as
// <folder>/<N>x<N>/apps/velomira-viewer.png.
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "ArtKit.h"

namespace {

int WriteDesktopIcons(const QDir& folder)
{
    for (const int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const QString dir = folder.filePath(QStringLiteral("%1x%1/apps").arg(size));
        const QString path = dir + QStringLiteral("/velomira-viewer.png");
        if (!QDir().mkpath(dir) || !skinart::DrawDesktopIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--icons")
        return WriteDesktopIcons(QDir(QString::fromLocal8Bit(argv[2])));
    if (argc != 2) {
        std::fprintf(stderr, "usage: velomira-skinart [--icons] <output folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const skinart::ArtTable& table = skinart::FullTable();
    for (const auto& [id, art] : table) {
        const QImage out = skinart::DrawArt(id).convertToFormat(
            art.alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(id));
        if (!out.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::printf("%zu images written to %s\n", table.size(), argv[1]);
    return 0;
}
