#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace velomira {

// Values of one binary G-sensor sample (41 bytes on the wire, 16-bit values little-endian).
struct GSensorValues {
    char marker = 'M'; // 'M' or 'A'
    // First triple in wire order (y, z, x), counts centred on 2048, 1024 counts per g.
    std::array<int16_t, 3> first { 2048, 2048, 2048 };
    // Second triple in wire order (y2, z2, x2), counts centred on 0, 1024 counts per g.
    std::array<int16_t, 3> second { 0, 0, 0 };
    // Clock bytes: 0 non-zero when present (we store year - 2000), 1 month, 2 day,
    // 3 hours, 4 minutes, 5 seconds.
    std::array<uint8_t, 6> clock {};
    // Driving status, eleven words: 0 speed km/h, 2 left hold, 3 right hold, 4 left lane,
    // 5 right lane, 6 left departure, 7 right departure, 9 vehicle ahead.
    std::array<uint16_t, 11> status {};
};

inline constexpr int kGSensorSampleBytes = 41;

// Counts for an acceleration in g on the first triple (centred on 2048) and the second.
int16_t FirstTripleCounts(double g);
int16_t SecondTripleCounts(double g);

std::vector<uint8_t> WriteGSensorSample(const GSensorValues& values);

} // namespace velomira
