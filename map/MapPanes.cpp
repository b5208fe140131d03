#include "map/MapPanes.h"

#include <QCoreApplication>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWidget>

#include "map/CMapView.h"
#include "map/MapWebProfile.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {

MapPanes::MapPanes(
    QWidget& window, const std::vector<CGPSData>& records, std::function<bool()> isOnline)
    : QObject(nullptr)
    , m_profile(CreateMapProfile(this))
    , m_records(records)
    , m_isOnline(isOnline ? std::move(isOnline) : std::function<bool()>(MachineIsOnline))
{
    m_mapPage = new CMapView(m_profile, records, &window);
    m_secondProvider = new CWebBrowser2(m_profile, &window);
    m_spare = new CMapView(m_profile, records, &window);
    m_mapPage->setObjectName(QStringLiteral("1106"));
    m_secondProvider->setObjectName(QStringLiteral("1107"));
    m_spare->setObjectName(QStringLiteral("4108"));
    for (QWidget* pane : { static_cast<QWidget*>(m_mapPage),
             static_cast<QWidget*>(m_secondProvider), static_cast<QWidget*>(m_spare) }) {
        pane->setGeometry(kMapParkedRect);
        pane->show();
    }
    connect(m_secondProvider, &CWebBrowser2::documentReady, this, [this] {
        if (m_startPositionPending)
            SendSecondProviderDegrees(kSecondProviderStartLongitude, kSecondProviderStartLatitude);
    });
}

MapPanes::~MapPanes()
{
    // The pages must go before the profile they were made with.
    delete m_mapPage;
    delete m_secondProvider;
    delete m_spare;
}

QString MapPanes::MapPageAddress()
{
    const QString program = QCoreApplication::applicationFilePath();
    return QStringLiteral("res://") + QString::fromLatin1(QUrl::toPercentEncoding(program, "/"))
        + QStringLiteral("/480");
}

QString MapPanes::SecondProviderPageAddress()
{
    return QStringLiteral("res:/osm");
}

void MapPanes::InitMapPanes()
{
    if (m_isOnline()) {
        m_mapPage->Navigate(MapPageAddress());
        m_secondProvider->Navigate2(SecondProviderPageAddress());
    }
    // The page is still loading now: the position waits for it (and is dropped when no
    // page ever loads).
    if (!SendSecondProviderDegrees(kSecondProviderStartLongitude, kSecondProviderStartLatitude))
        m_startPositionPending = true;
}

QWidget* MapPanes::VisiblePane() const
{
    return m_provider == 1 ? static_cast<QWidget*>(m_mapPage) : m_secondProvider;
}

void MapPanes::ApplyLayout(bool windowed)
{
    m_windowed = windowed;
    QWidget* visible = windowed ? VisiblePane() : nullptr;
    for (QWidget* pane : { static_cast<QWidget*>(m_mapPage),
             static_cast<QWidget*>(m_secondProvider), static_cast<QWidget*>(m_spare) })
        pane->setGeometry(pane == visible ? kMapVisibleRect : kMapParkedRect);
}

void MapPanes::ShowMapPage()
{
    m_provider = 1;
    m_secondProvider->setGeometry(kMapParkedRect);
    m_mapPage->setGeometry(kMapVisibleRect);
}

void MapPanes::UpdateMapPosition(std::uint32_t positionMs, bool sparePane)
{
    SyncTrack(m_mapPage);
    m_mapPage->UpdateMapPosition(positionMs);
    if (sparePane)
        m_spare->UpdateMapPosition(positionMs);
}

bool MapPanes::SendSecondProviderPosition(double longitudeRaw, double latitudeRaw)
{
    SyncTrack(m_secondProvider);
    const double longitude = DegreesFromNmea(longitudeRaw);
    const double latitude = DegreesFromNmea(latitudeRaw);
    // As on the map page: the same fix again, on the same document, needs no call.
    const auto arguments = SecondProviderArguments(longitude, latitude);
    if (arguments && *arguments == m_secondProviderDrawn.arguments
        && m_secondProvider->documentGeneration() == m_secondProviderDrawn.generation)
        return true;
    return SendSecondProviderDegrees(longitude, latitude);
}

bool MapPanes::SendSecondProviderDegrees(double longitude, double latitude)
{
    static const QString function = QStringLiteral("fnCallFunctionWithParams");
    if (!m_secondProvider->HasPageFunction(function))
        return false;
    m_startPositionPending = false;
    const auto arguments = SecondProviderArguments(longitude, latitude);
    if (!arguments)
        return true;
    if (!m_secondProvider->RunPageScript(
            function + QStringLiteral("(%1, %2)").arg(arguments->first).arg(arguments->second)))
        return false;
    m_secondProviderDrawn = { m_secondProvider->documentGeneration(), *arguments };
    return true;
}

void MapPanes::RefreshVisibleMapPane()
{
    if (!m_windowed)
        return;
    QWidget* pane = VisiblePane();
    pane->setGeometry(kMapParkedRect);
    pane->setGeometry(kMapVisibleRect);
}

void MapPanes::ResetMapsToHome()
{
    m_mapPage->DrawPosition(kHomeLongitude, kHomeLatitude);
    SendSecondProviderDegrees(kHomeLongitude, kHomeLatitude);
}

void MapPanes::SyncTrack(CWebBrowser2* pane)
{
    static const QString function = QStringLiteral("DrawTrack");
    if (m_records.empty() || !pane->HasPageFunction(function))
        return;
    DrawnTrack& drawn = m_drawnTracks[pane];
    const TrackSignature signature = SignatureOf(m_records);
    if (drawn.generation == pane->documentGeneration() && drawn.signature == signature)
        return;
    if (pane->RunPageScript(function + QLatin1Char('(')
            + QString::fromStdString(TrackArrayText(m_records)) + QLatin1Char(')')))
        drawn = { pane->documentGeneration(), signature };
}

} // namespace velomira
