#pragma once

#include <cstdint>
#include <string>

namespace velomira {

// Figures as the trips window and velomira-card show them; `speedUnit` 0 km/h, 1 mph.
std::string FormatTripDuration(std::int64_t ms); // "1:02:03"
std::string FormatTripDistance(double metres, int speedUnit); // "12.3 km" / "7.6 mi"
std::string FormatTripSpeed(double kmh, int speedUnit); // "60 km/h" / "37 mph"

} // namespace velomira
