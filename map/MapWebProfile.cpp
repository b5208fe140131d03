#include "map/MapWebProfile.h"

#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include <QDir>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QWebEngineProfile>

#include "map/DefaultRoute.h"
#include "map/MapAddresses.h"
#include "map/MapScheme.h"
#include "map/MapSchemeHandler.h"
#include "texts/AppValues.h"

Q_LOGGING_CATEGORY(lcMapProfile, "velomira.map")

namespace velomira {

namespace {

std::string ReadText(const char* path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Environment(const char* name)
{
    return qEnvironmentVariable(name).toStdString();
}

// Pages of one site share one renderer process: the trips window's map then costs its
// page, not a second web engine process. Read when the web engine starts, which is when
// the first profile is made.
void SharePageProcessesPerSite()
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains("--process-per-site") || flags.contains("--single-process"))
        return;
    flags += flags.isEmpty() ? "--process-per-site" : " --process-per-site";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

} // namespace

QWebEngineProfile* CreateMapProfile(QObject* parent)
{
    SharePageProcessesPerSite();
    // One profile per process normally; another one made while the first lives (tests
    // make several) needs a storage of its own.
    static int made = 0;
    ++made;
    const QString name
        = made == 1 ? QStringLiteral("velomira-map") : QStringLiteral("velomira-map-%1").arg(made);
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/velomira-viewer/") + name;
    QDir().mkpath(root);
    auto* profile = new QWebEngineProfile(name, parent);
    profile->setPersistentStoragePath(root + QStringLiteral("/storage"));
    profile->setCachePath(root + QStringLiteral("/cache"));
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    // Tile servers ask that every request names the application.
    profile->setHttpUserAgent(profile->httpUserAgent() + QStringLiteral(" velomira-viewer/")
        + QString::fromStdString(VersionNumber()));
    const std::string api = MapsApiScriptUrl(
        Environment("VELOMIRA_MAPS_API_BASE"), Environment("VELOMIRA_MAPS_API_KEY"));
    const std::string tiles = TileUrlTemplate(Environment("VELOMIRA_TILE_URL"));
    auto* handler
        = new MapSchemeHandler(QString::fromStdString(api), QString::fromStdString(tiles), profile);
    profile->installUrlSchemeHandler(kMapSchemeName, handler);
    return profile;
}

bool WebViewsCanStart()
{
    if (geteuid() != 0)
        return true;
    if (qEnvironmentVariable("QTWEBENGINE_DISABLE_SANDBOX") == QLatin1String("1")
        || qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS")
               .contains(QLatin1String("--no-sandbox")))
        return true;
    qCWarning(lcMapProfile) << "running as root: the web engine needs "
                               "QTWEBENGINE_DISABLE_SANDBOX=1; the map panes are left out";
    return false;
}

bool MachineIsOnline()
{
    return HasDefaultRoute(ReadText("/proc/net/route"), ReadText("/proc/net/ipv6_route"));
}

} // namespace velomira
