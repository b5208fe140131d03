#pragma once

#include <cstdint>
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
    // happens without one, or when its fix is not valid. True when the page was called.
    bool UpdateMapPosition(std::uint32_t positionMs);

private:
    const std::vector<CGPSData>& m_records;
};

} // namespace velomira
