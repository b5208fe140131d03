#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include <QObject>
#include <QRect>

#include "map/MapPosition.h"
#include "map/MapScript.h"
#include "telemetry/TelemetryRecords.h"

class QWebEngineProfile;
class QWidget;

namespace velomira {

class CMapView;
class CWebBrowser2;

// Where the map panes sit on the main window (client coordinates).
inline constexpr QRect kMapVisibleRect(680, 354, 326, 353);
// A pane that is not shown is moved here; it is never hidden, so its page stays loaded.
inline constexpr QRect kMapParkedRect(5000, 5000, 345, 270);
inline constexpr double kHomeLongitude = 139.774494;
inline constexpr double kHomeLatitude = 35.684066;
inline constexpr double kSecondProviderStartLongitude = 127.0;
inline constexpr double kSecondProviderStartLatitude = 38.0;

// The three map panes of the main window: the map page pane (1106), the second
// provider's pane (1107) and the spare pane (4108, never loaded, always parked), with
// the state that says which one is visible. All calls on the user-interface thread.
class MapPanes : public QObject, public MapPosition {
    Q_OBJECT
public:
    // `window` becomes the panes' parent; `records` are the telemetry store's GPS
    // records; `isOnline` answers whether the machine has a connection (the default
    // reads the routing table).
    MapPanes(
        QWidget& window, const std::vector<CGPSData>& records, std::function<bool()> isOnline = {});
    ~MapPanes() override;

    CMapView* mapPagePane() const { return m_mapPage; }
    CWebBrowser2* secondProviderPane() const { return m_secondProvider; }
    CMapView* sparePane() const { return m_spare; }
    QWebEngineProfile* profile() const { return m_profile; }

    // Loads both pages when the machine is online, then sends the second provider its
    // start position (kept until its page can take it).
    void InitMapPanes();
    // Puts the panes where a layout wants them: in the windowed layout the visible
    // provider's pane at kMapVisibleRect, in full screen every pane parked.
    void ApplyLayout(bool windowed);
    void SetMapProvider(int provider) { m_provider = provider; }
    // The Setup command's end: the map page pane becomes the visible one.
    void ShowMapPage();

    int mapProvider() const override { return m_provider; }
    void UpdateMapPosition(std::uint32_t positionMs, bool sparePane) override;
    bool SendSecondProviderPosition(double longitudeRaw, double latitudeRaw) override;
    void RefreshVisibleMapPane() override;
    void ResetMapsToHome() override;

    // Calls the second provider's fnCallFunctionWithParams with the position in decimal
    // degrees; false when the page cannot take it or the position is not sent.
    bool SendSecondProviderDegrees(double longitude, double latitude);

    // The page address of the map page pane: "res://<program path>/480".
    static QString MapPageAddress();
    static QString SecondProviderPageAddress();

private:
    QWidget* VisiblePane() const;
    // Draws the recording's track on `pane` once per recording and document.
    void SyncTrack(CWebBrowser2* pane);

    QWebEngineProfile* m_profile = nullptr;
    CMapView* m_mapPage = nullptr;
    CWebBrowser2* m_secondProvider = nullptr;
    CMapView* m_spare = nullptr;
    const std::vector<CGPSData>& m_records;
    std::function<bool()> m_isOnline;
    int m_provider = 1;
    bool m_windowed = true;
    bool m_startPositionPending = false;
    struct DrawnTrack {
        int generation = -1;
        TrackSignature signature;
    };
    std::map<const CWebBrowser2*, DrawnTrack> m_drawnTracks;
    // The last position the second provider's page took, and on which document.
    struct DrawnPosition {
        int generation = -1;
        std::pair<std::int32_t, std::int32_t> arguments;
    };
    DrawnPosition m_secondProviderDrawn;
};

} // namespace velomira
