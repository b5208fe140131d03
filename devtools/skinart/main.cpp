// velomira-skinart <folder>: draws every skin image of the viewer and writes it as
// <folder>/<id>.png (24-bit RGB; the map marker keeps its transparency).
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include "ArtKit.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: velomira-skinart <output folder>\n");
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
