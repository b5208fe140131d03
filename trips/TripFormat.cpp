#include "trips/TripFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace velomira {
namespace {

constexpr double kKmPerMile = 1.609344;

} // namespace

std::string FormatTripDuration(std::int64_t ms)
{
    const long long s = std::max<std::int64_t>(ms, 0) / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string FormatTripDistance(double metres, int speedUnit)
{
    char text[32];
    const double km = metres / 1000;
    if (speedUnit == 1)
        std::snprintf(text, sizeof text, "%.1f mi", km / kKmPerMile);
    else
        std::snprintf(text, sizeof text, "%.1f km", km);
    return text;
}

std::string FormatTripSpeed(double kmh, int speedUnit)
{
    char text[32];
    if (speedUnit == 1)
        std::snprintf(text, sizeof text, "%.0f mph", kmh / kKmPerMile);
    else
        std::snprintf(text, sizeof text, "%.0f km/h", kmh);
    return text;
}

} // namespace velomira
