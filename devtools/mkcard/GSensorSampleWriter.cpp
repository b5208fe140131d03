#include "devtools/mkcard/GSensorSampleWriter.h"

#include <algorithm>
#include <cmath>

namespace velomira {
namespace {

void PutWord(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value & 0xff));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

int16_t Clamp16(double value)
{
    return static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L));
}

} // namespace

int16_t FirstTripleCounts(double g)
{
    return Clamp16(2048.0 + g * 1024.0);
}

int16_t SecondTripleCounts(double g)
{
    return Clamp16(g * 1024.0);
}

std::vector<uint8_t> WriteGSensorSample(const GSensorValues& values)
{
    std::vector<uint8_t> out;
    out.reserve(kGSensorSampleBytes);
    out.push_back(static_cast<uint8_t>(values.marker));
    for (int16_t v : values.first)
        PutWord(out, static_cast<uint16_t>(v));
    for (int16_t v : values.second)
        PutWord(out, static_cast<uint16_t>(v));
    out.insert(out.end(), values.clock.begin(), values.clock.end());
    for (uint16_t w : values.status)
        PutWord(out, w);
    return out;
}

} // namespace velomira
