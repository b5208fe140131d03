#pragma once

// The device's default settings record, written out here word by word apart from the
// generator's own table, so the tests compare two independent versions.

#include <cstdint>
#include <vector>

namespace velomira::test {

inline std::vector<uint8_t> ExpectedDefaultSettings(int language)
{
    const int L = language;
    const int zone = (language == 0 || language == 2) ? 9 : 0;
    // Words at offsets 4, 6, ..., 198, ten to a row.
    // clang-format off
    const int words[98] = {
        200, 0, 0, 0, 0, 130, 180, 150, 1, 0,        // 4..22
        160, 160, 0, 2548, 0, 1, 1, 1, 1, 0,         // 24..42
        0, 200, 0, 60, 55, 6, 6, 1, 1, 1,            // 44..62
        0, 0, 15000, 1000, 0, 0, 0, 0, 0, 0,         // 64..82
        0, 0, 0, 1, 1, 1, 1, 0, 0, 100,              // 84..102
        100, 100, 30, 25, 700, 1, 1, 1, 70, 70,      // 104..122
        70, 110, 1, 1, 0, 0, 1, 1, 0, 1,             // 124..142
        1, L, L, 1, 13, 12, 0, 0, 5, 1,              // 144..162
        1, zone, 5, 0, 0, 0, 0, 0, 0, 0,             // 164..182
        0, 0, 0, 0, 0, 0, 0, 0,                      // 184..198
    };
    // clang-format on
    std::vector<uint8_t> record { 'P', 'L', 'K', 0 };
    for (int w : words) {
        record.push_back(static_cast<uint8_t>(w & 0xff));
        record.push_back(static_cast<uint8_t>((w >> 8) & 0xff));
    }
    unsigned x = 0;
    for (size_t i = 4; i < record.size(); ++i)
        x ^= record[i];
    record[3] = static_cast<uint8_t>(~x & 0xff);
    return record;
}

} // namespace velomira::test
