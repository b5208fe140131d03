#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "map/CWebBrowser2.h"
#include "telemetry/TelemetryRecords.h"

namespace velomira {

// A pane that shows the map page and moves its marker to the recording's position.
class CMapView : public CExplorerMapViewWnd {
    Q_OBJECT
public:
    // `records`: the GPS records of the loaded recording, owned by the telemetry store.
    CMapView(QWebEngineProfile* profile, const std::vector<CGPSData>& records, QWidget* parent);

    // Moves the marker to the record of `positionMs` (the first at or after it); nothing
    // happens without one, when its fix is not valid, or when this document's marker
    // already stands there. True when the page was called.
    bool UpdateMapPosition(std::uint32_t positionMs);
    // Moves the marker to `longitude`, `latitude` (decimal degrees) even when it stands
    // there already, so the map pans back to it. Other moves of the marker go through
    // here, or the next update may take the marker for still being where it was drawn.
    bool DrawPosition(double longitude, double latitude);

private:
    bool Draw(const std::string& command);

    const std::vector<CGPSData>& m_records;
    // The last position drawn, and on which document.
    std::string m_drawnCommand;
    int m_drawnGeneration = -1;
};

} // namespace velomira
