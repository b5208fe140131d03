#include "devtools/mkcard/NmeaSentenceWriter.h"

#include <cmath>
#include <cstdio>

namespace velomira {
namespace {

// ddmm.mmmm (or dddmm.mmmm) with the hemisphere letter.
std::string DegreesMinutes(double degrees, int degreeDigits, char positive, char negative)
{
    const char hemisphere = degrees < 0 ? negative : positive;
    const double magnitude = std::fabs(degrees);
    int whole = static_cast<int>(magnitude);
    // Work in ten-thousandths of a minute so rounding cannot produce "60.0000".
    long long minutesE4 = std::llround((magnitude - whole) * 60.0 * 10000.0);
    if (minutesE4 >= 600000) {
        minutesE4 -= 600000;
        ++whole;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%0*d%02lld.%04lld,%c", degreeDigits, whole, minutesE4 / 10000,
        minutesE4 % 10000, hemisphere);
    return text;
}

} // namespace

std::string NmeaChecksum(const std::string& body)
{
    unsigned value = 0;
    for (unsigned char c : body)
        value ^= c;
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xff);
    return text;
}

std::string WriteRmcSentence(
    const std::string& talker, const CivilTime& time, const std::optional<RmcFix>& fix)
{
    char clock[40];
    std::snprintf(clock, sizeof clock, "%02d%02d%02d.%03d", time.hour, time.minute, time.second,
        time.millisecond);
    char date[24];
    std::snprintf(date, sizeof date, "%02d%02d%02d", time.day, time.month, time.year % 100);

    std::string body = talker + "RMC," + clock + ",";
    if (fix) {
        char motion[64];
        std::snprintf(motion, sizeof motion, "%.2f,%.2f", fix->speedKnots, fix->courseDeg);
        body += "A," + DegreesMinutes(fix->latitudeDeg, 2, 'N', 'S') + ","
            + DegreesMinutes(fix->longitudeDeg, 3, 'E', 'W') + "," + motion + "," + date + ",,,A";
    } else {
        body += "V,,,,,,," + std::string(date) + ",,,N";
    }
    return "$" + body + "*" + NmeaChecksum(body);
}

} // namespace velomira
