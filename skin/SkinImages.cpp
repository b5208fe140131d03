#include "skin/SkinImages.h"

#include <QFile>
#include <QString>

namespace velomira {

namespace {

QString SkinPath(int id)
{
    return QStringLiteral(":/skin/%1.png").arg(id);
}

} // namespace

QImage LoadSkinImage(int id)
{
    if (id <= 0)
        return {};
    QImage image(SkinPath(id));
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

bool HasSkinImage(int id)
{
    return id > 0 && QFile::exists(SkinPath(id));
}

QColor ColorFromBgr(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
        static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace velomira
