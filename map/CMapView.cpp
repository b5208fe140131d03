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
    const std::string command = DrawCurrentCommand(
        DegreesFromNmea(record.longitudeRaw), DegreesFromNmea(record.latitudeRaw));
    // The tick runs five times a second and a fix comes about once: calling the page
    // again for the same place costs the web engine a script run and a redraw, and pans
    // a map the user has moved back under the marker.
    if (command == m_drawnCommand && documentGeneration() == m_drawnGeneration)
        return false;
    return Draw(command);
}

bool CMapView::DrawPosition(double longitude, double latitude)
{
    return Draw(DrawCurrentCommand(longitude, latitude));
}

bool CMapView::Draw(const std::string& command)
{
    if (!InvokePageScript(QString::fromStdString(command)))
        return false;
    m_drawnCommand = command;
    m_drawnGeneration = documentGeneration();
    return true;
}

} // namespace velomira
