#pragma once

#include <string>

#include "telemetry/CTextData.h"

namespace velomira {

// The telemetry store as the `telemetry` commands print it.

// {"gps":[...],"gsensor":[...],"track":[...],"timelineCount":N}
std::string TelemetryJson(const CTextData& store);

// The G-sensor table, a blank line, then the GPS table; each with a header row.
std::string TelemetryCsv(const CTextData& store);

// A GPX 1.1 track with one point per valid fix, in decimal degrees, timed by the line's
// date and time of day where both are there.
std::string TelemetryGpx(const CTextData& store);

} // namespace velomira
