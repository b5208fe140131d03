#pragma once

#include <string>
#include <string_view>

#include "telemetry/CTextData.h"
#include "telemetry/TrackExport.h"

namespace velomira {

// The telemetry store as the `telemetry` commands print it: JSON here, GPX, KML and CSV
// from the track export the viewer uses too.

// {"gps":[...],"gsensor":[...],"track":[...],"timelineCount":N}
std::string TelemetryJson(const CTextData& store);

// True for --json, --csv, --gpx and --kml.
bool IsTelemetryFormatFlag(std::string_view flag);
// The store in the format a flag names; `name` titles a KML document.
std::string TelemetryText(const CTextData& store, std::string_view flag, const std::string& name);

} // namespace velomira
