#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "telemetry/CTextData.h"

namespace velomira::test {

// One G-sensor sample as the tests mean it: values in g (multiples of 1/1024), the
// clock (hours, minutes, seconds; absent when `clock` is false) and the status words.
struct SampleValues {
    double x = 0, y = 0, z = 0;
    double x2 = 0, y2 = 0, z2 = 0;
    std::array<std::uint16_t, 11> words {};
    bool clock = true;
    std::array<std::uint8_t, 3> hms { 12, 34, 56 };
};

inline std::vector<std::byte> SampleBytes(const SampleValues& s)
{
    // Raw words in sample order: y, z, x as 2048 + 1024 g, then y2, z2, x2 as 1024 g.
    const auto raw = [](double g, int zero) {
        return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(g * 1024) + zero));
    };
    const std::uint16_t triples[6] = { raw(s.y, 2048), raw(s.z, 2048), raw(s.x, 2048), raw(s.y2, 0),
        raw(s.z2, 0), raw(s.x2, 0) };
    std::vector<std::byte> out(41);
    out[0] = std::byte { 'M' };
    for (int i = 0; i < 6; ++i) {
        out[1 + 2 * i] = static_cast<std::byte>(triples[i] & 0xFF);
        out[2 + 2 * i] = static_cast<std::byte>(triples[i] >> 8);
    }
    if (s.clock) {
        out[13] = std::byte { 1 };
        for (int i = 0; i < 3; ++i)
            out[16 + i] = static_cast<std::byte>(s.hms[i]);
    }
    for (int i = 0; i < 11; ++i) {
        out[19 + 2 * i] = static_cast<std::byte>(s.words[i] & 0xFF);
        out[20 + 2 * i] = static_cast<std::byte>(s.words[i] >> 8);
    }
    return out;
}

// An RMC line with a fix; latitude and longitude in ddmm.mmmm, speed in knots.
inline std::string RmcLine(double latitude, char ns, double longitude, char ew, double knots = 0)
{
    char line[128];
    std::snprintf(line, sizeof line, "$GPRMC,120000.000,A,%09.4f,%c,%010.4f,%c,%.1f,0.0,150312,,,A",
        latitude, ns, longitude, ew, knots);
    return line;
}

inline std::vector<std::byte> TextBytes(const std::string& text)
{
    std::vector<std::byte> out;
    for (char c : text)
        out.push_back(static_cast<std::byte>(c));
    return out;
}

// A recording's telemetry: samples spread evenly over `durationMs`, RMC lines one a
// second.
struct RecordingSamples {
    std::uint32_t durationMs = 60000;
    std::vector<SampleValues> samples;
    std::vector<std::string> rmcLines;
};

inline void LoadRecording(CTextData& store, const RecordingSamples& plan)
{
    std::vector<TelemetrySampleBytes> all;
    for (std::size_t i = 0; i < plan.samples.size(); ++i) {
        all.push_back({ SampleBytes(plan.samples[i]),
            static_cast<std::uint32_t>(plan.durationMs * i / plan.samples.size()) });
    }
    for (std::size_t i = 0; i < plan.rmcLines.size(); ++i)
        all.push_back({ TextBytes(plan.rmcLines[i]), static_cast<std::uint32_t>(1000 * i) });
    LoadTelemetry(store, all, plan.durationMs);
}

// `count` samples, every one with speed word `speedKmh` and the given first triple.
inline std::vector<SampleValues> SteadySamples(
    std::size_t count, std::uint16_t speedKmh, double x = 0, double y = 0, double z = 0)
{
    SampleValues s;
    s.x = x;
    s.y = y;
    s.z = z;
    s.words[0] = speedKmh;
    return std::vector<SampleValues>(count, s);
}

// RMC lines of a car going due east: one minute of longitude a second.
inline std::vector<std::string> EastboundLines(std::size_t count)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i)
        lines.push_back(RmcLine(3733.0, 'N', 12700.0 + static_cast<double>(i), 'E', 10));
    return lines;
}

} // namespace velomira::test
