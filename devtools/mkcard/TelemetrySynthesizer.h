#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devtools/mkcard/NmeaSentenceWriter.h"
#include "devtools/mkcard/TelemetrySample.h"

namespace velomira {

// A starting point for a synthetic drive.
struct DriveRoute {
    std::string name;
    double latitudeDeg; // south negative
    double longitudeDeg; // west negative
};

// The routes a drive can take: Seoul and Tokyo (north, east), New York (north, west),
// Sydney (south, east), Sao Paulo (south, west).
const std::vector<DriveRoute>& DriveRoutes();
const DriveRoute* FindDriveRoute(const std::string& name);

struct DriveOptions {
    uint32_t durationMs = 4000;
    int gSensorRateHz = 10;
    bool gnrmc = false; // "$GNRMC" instead of "$GPRMC"
    std::string route = "seoul";
    uint64_t seed = 1;
    CivilTime start { 2024, 3, 15, 10, 10, 10, 0 }; // clock at the recording's start
    // How long the drive had been going when the recording began: consecutive recordings
    // of one drive with the same seed continue each other.
    uint32_t driveOffsetMs = 0;
};

// CivilTime plus a number of milliseconds, across day, month and year ends.
CivilTime AddMilliseconds(const CivilTime& time, int64_t ms);

// A drive of stand, pull away, cruise, turn and brake phases (the seed shifts where in that
// cycle the recording starts and adds sensor noise): G-sensor samples at gSensorRateHz and
// one RMC line per second, half a sample period after the second so the two never share a
// millisecond. Every tenth second starting at second 2 has no fix. Samples are in time
// order.
std::vector<TelemetrySample> SynthesizeDrive(const DriveOptions& options);

} // namespace velomira
