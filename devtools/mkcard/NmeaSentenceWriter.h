#pragma once

#include <optional>
#include <string>

namespace velomira {

struct CivilTime {
    int year = 2024;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// A position fix for an RMC sentence. Degrees are signed: south and west are negative.
struct RmcFix {
    double latitudeDeg = 0;
    double longitudeDeg = 0;
    double speedKnots = 0;
    double courseDeg = 0;
};

// The XOR of the characters between "$" and "*" as two upper-case hex digits.
std::string NmeaChecksum(const std::string& body);

// A complete RMC sentence without line end, e.g.
// "$GPRMC,101010.000,A,3733.9900,N,12658.6800,E,27.00,54.70,150324,,,A*hh".
// Without a fix the status is V and the position, speed and course fields are empty.
// talker is "GP" or "GN".
std::string WriteRmcSentence(
    const std::string& talker, const CivilTime& time, const std::optional<RmcFix>& fix);

} // namespace velomira
