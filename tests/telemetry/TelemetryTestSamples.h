#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace velomira::test {

inline std::vector<std::byte> Bytes(std::string_view text)
{
    std::vector<std::byte> out;
    for (char c : text)
        out.push_back(static_cast<std::byte>(c));
    return out;
}

// A 41-byte G-sensor sample with the given raw triples, clock and status words.
inline std::vector<std::byte> GSensorBytes(char marker, std::int16_t a, std::int16_t b,
    std::int16_t c, std::int16_t d = 0, std::int16_t e = 0, std::int16_t f = 0,
    std::uint16_t speedWord = 0)
{
    std::vector<std::byte> out(41);
    out[0] = static_cast<std::byte>(marker);
    const std::int16_t words[] = { a, b, c, d, e, f };
    for (int i = 0; i < 6; ++i) {
        const auto u = static_cast<std::uint16_t>(words[i]);
        out[1 + 2 * i] = static_cast<std::byte>(u & 0xFF);
        out[2 + 2 * i] = static_cast<std::byte>(u >> 8);
    }
    const std::uint8_t clock[6] = { 1, 0, 0, 12, 34, 56 };
    for (int i = 0; i < 6; ++i)
        out[13 + i] = static_cast<std::byte>(clock[i]);
    out[19] = static_cast<std::byte>(speedWord & 0xFF);
    out[20] = static_cast<std::byte>(speedWord >> 8);
    for (int i = 21; i < 41; ++i)
        out[i] = static_cast<std::byte>(i);
    return out;
}

inline constexpr std::string_view kRmcLine
    = "$GPRMC,123519.000,A,3733.1234,N,12700.5000,E,10.0,54.7,150312,,,A*6C";

} // namespace velomira::test
