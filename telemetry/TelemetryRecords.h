#pragma once

#include <array>
#include <cstdint>

namespace velomira {

// One decoded G-sensor sample; the timeline uses the same layout for its 20-ms slots.
// Values in g.
struct GSensorSample {
    double x = 0;
    double y = 0;
    double z = 0;
    double x2 = 0;
    double y2 = 0;
    double z2 = 0;
    // Byte 0 non-zero means the clock is present; bytes 3, 4, 5 are hours, minutes, seconds.
    std::array<std::uint8_t, 6> clock {};
};

using TimelineSlot = GSensorSample;

// The 22-byte driving-status block of a G-sensor sample as eleven words. Word 0 is the
// vehicle speed in km/h; words 2..7 and 9 are driver-assistance states.
struct DrivingStatus {
    std::array<std::uint16_t, 11> words {};
};

// One RMC line.
struct CGPSData {
    std::uint32_t timeMs = 0;
    std::int32_t fixValid = 0;
    double latitudeRaw = 0; // ddmm.mmmm, negative unless the hemisphere is N
    double longitudeRaw = 0; // dddmm.mmmm, negative unless the hemisphere is E
    char northSouth = 0;
    char eastWest = 0;
    double speedKmh = 0;
    // Not used by the display; kept so exports can date a fix. Empty when absent.
    std::array<char, 12> timeOfDay {}; // hhmmss[.sss] as in the line
    std::array<char, 8> date {}; // ddmmyy as in the line
};

// One point of the track, one per stored RMC line.
struct TrackPoint {
    std::int32_t speed = 0; // km/h truncated toward zero
    double latitudeRaw = 0;
    double longitudeRaw = 0;
    char northSouth = 0;
    char eastWest = 0;
    std::int32_t headingX = 0; // east component of a needle of length 23 (or zero)
    std::int32_t headingY = 0; // north component
    double eastMetres = 0;
    double northMetres = 0;
};

} // namespace velomira
