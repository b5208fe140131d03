#include "map/MapSchemeHandler.h"

#include <QBuffer>
#include <QFile>
#include <QLoggingCategory>
#include <QUrl>
#include <QWebEngineUrlRequestJob>

#include "map/MapAddresses.h"
#include "map/MapResources.h"

Q_LOGGING_CATEGORY(lcMapScheme, "velomira.map.scheme")

namespace velomira {

namespace {

QByteArray ReadResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcMapScheme) << "missing resource" << path;
        return {};
    }
    return file.readAll();
}

QByteArray FilledPage(const QString& path, std::string_view placeholder, const QString& value)
{
    const QByteArray page = ReadResource(path);
    return QByteArray::fromStdString(
        ReplaceAll(page.toStdString(), placeholder, value.toStdString()));
}

QByteArray MimeFor(const QString& name)
{
    if (name.endsWith(QLatin1String(".js")))
        return "text/javascript";
    if (name.endsWith(QLatin1String(".css")))
        return "text/css";
    if (name.endsWith(QLatin1String(".png")))
        return "image/png";
    return "application/octet-stream";
}

void Reply(QWebEngineUrlRequestJob* job, const QByteArray& mime, const QByteArray& data)
{
    if (data.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* buffer = new QBuffer(job);
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    job->reply(mime, buffer);
}

} // namespace

MapSchemeHandler::MapSchemeHandler(
    QString mapsApiScriptUrl, QString tileUrlTemplate, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_mapPage(FilledPage(QStringLiteral(":/map/480.html"), "@MAPS_API_SCRIPT@", mapsApiScriptUrl))
    , m_secondProviderPage(
          FilledPage(QStringLiteral(":/map/osm.html"), "@TILE_URL@", tileUrlTemplate))
    , m_tripsPage(FilledPage(QStringLiteral(":/map/trips.html"), "@TILE_URL@", tileUrlTemplate))
{ }

QString MapSchemeHandler::LeafletFolder()
{
    return QStringLiteral("/usr/share/javascript/leaflet/");
}

void MapSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    const MapResource resource
        = MapResourceFor(url.path().toStdString(), url.fragment().toStdString());
    switch (resource.kind) {
    case MapResource::Kind::MapPage:
        Reply(job, "text/html", m_mapPage);
        return;
    case MapResource::Kind::Marker:
        Reply(job, "image/png", ReadResource(QStringLiteral(":/skin/484.png")));
        return;
    case MapResource::Kind::SecondProviderPage:
        Reply(job, "text/html", m_secondProviderPage);
        return;
    case MapResource::Kind::TripsPage:
        Reply(job, "text/html", m_tripsPage);
        return;
    case MapResource::Kind::LeafletFile: {
        const QString name = QString::fromStdString(resource.leafletName);
        Reply(job, MimeFor(name), ReadResource(LeafletFolder() + name));
        return;
    }
    case MapResource::Kind::None:
        break;
    }
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

} // namespace velomira
