#pragma once

#include <QByteArray>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

namespace velomira {

// Serves the "res:" scheme: the map page (480, its maps API address filled in), the
// marker image (PNG 484, named by the fragment of "res:/PNG/#484"), the second
// provider's page ("res:/osm", its tile address filled in), the trips page ("res:/trips",
// likewise) and Leaflet's files from
// the system's copy ("res:/leaflet/..."). Anything else is not found.
class MapSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    MapSchemeHandler(QString mapsApiScriptUrl, QString tileUrlTemplate, QObject* parent = nullptr);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

    // The folder Leaflet is served from.
    static QString LeafletFolder();

private:
    QByteArray m_mapPage;
    QByteArray m_secondProviderPage;
    QByteArray m_tripsPage;
};

} // namespace velomira
