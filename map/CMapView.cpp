#include "map/CMapView.h"

#include "map/MapScript.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {

CMapView::CMapView(
    QWebEngineProfile* profile, const std::vector<CGPSData>& records, QWidget* parent)
    : CExplorerMapViewWnd(profile, parent)
    , m_records(records)
{ }

bool CMapView::UpdateMapPosition(std::uint32_t positionMs)
{
    const auto index = MapRecordIndexAt(m_records, positionMs);
    if (!index)
        return false;
    const CGPSData& record = m_records[*index];
    return InvokePageScript(QString::fromStdString(DrawCurrentCommand(
        DegreesFromNmea(record.longitudeRaw), DegreesFromNmea(record.latitudeRaw))));
}

} // namespace velomira
