#pragma once

#include <optional>
#include <string>
#include <vector>

#include "telemetry/CTextData.h"

namespace velomira {

// A recording's telemetry as files for other programs: the viewer's export command and
// velomira-card write the same text.

// The G-sensor table, a blank line, then the GPS table; each with a header row.
std::string TelemetryCsv(const CTextData& store);

// A GPX 1.1 track with one point per valid fix, in decimal degrees, timed by the line's
// date and time of day where both are there.
std::string TelemetryGpx(const CTextData& store);

// A KML 2.2 document: the valid fixes as one LineString, with a placemark at the first
// and one at the last fix (none of the three without a valid fix).
std::string TelemetryKml(const CTextData& store, const std::string& name);

// "2012-03-15T12:35:19.000Z" from the line's ddmmyy date and hhmmss[.sss] time of day;
// nothing when either is not in that form.
std::optional<std::string> FixTime(const CGPSData& record);

// A fix's position in decimal degrees, or nothing for an invalid fix or a position off
// the globe.
struct FixPosition {
    double latitude = 0;
    double longitude = 0;
};
std::optional<FixPosition> ValidFixPosition(const CGPSData& record);

// Where and when a moment of the recording was: what a snapshot records of it. Each
// value is there only when the telemetry has it.
struct MomentFacts {
    std::optional<std::string> time; // as FixTime gives it
    std::optional<FixPosition> position;
    std::optional<double> speedKmh;
    std::optional<double> headingDegrees; // 0 north, clockwise, from the track's direction
};
// The facts of the GPS record and track point that belong to `positionMs`.
MomentFacts MomentAt(const CTextData& store, std::uint32_t positionMs);

// Tracks made of segments, for files that join several recordings (a trip): one GPX track
// per entry with one segment per recording, or one KML document with a line per segment and
// placemarks at the first and last point.
struct TrackPointOut {
    FixPosition position;
    std::optional<std::string> time; // as FixTime gives it
};
struct NamedTrack {
    std::string name; // empty: the track has no name element
    std::vector<std::vector<TrackPointOut>> segments;
};
std::string TracksGpx(const std::vector<NamedTrack>& tracks);
std::string TrackKml(const NamedTrack& track);

// The file kinds the export offers, by the extension of the chosen file name (any case):
// ".gpx", ".kml" or ".csv"; nothing otherwise.
enum class TrackFormat { Gpx, Kml, Csv };
std::optional<TrackFormat> TrackFormatOfFileName(const std::string& fileName);
std::string TrackExportText(const CTextData& store, TrackFormat format, const std::string& name);

} // namespace velomira
