#include "library/DroppedPaths.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace velomira {

std::vector<std::string> LocalPathsOf(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

} // namespace velomira
