#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "telemetry/TelemetryRecords.h"

namespace velomira {

// Size of the sample buffer the loader hands to the parser; a text line is read up to its
// first zero byte and never past 1023 characters.
inline constexpr std::size_t kTelemetrySampleBufferBytes = 1024;
inline constexpr std::size_t kGSensorSampleBytes = 41;
inline constexpr std::size_t kMaxRmcLineChars = 1023;

enum class TelemetrySampleKind { GSensor, RmcLine, Ignored };

// What a sample is by its first bytes: M or A a G-sensor sample; "$" followed by a
// sentence whose 4th..6th characters are R (or N), M, C in either case an RMC line.
TelemetrySampleKind ClassifyTelemetrySample(std::span<const std::byte> sample);

// Decodes a 41-byte G-sensor sample. Bytes past the end of `sample` read as zero, as in
// the loader's cleared buffer.
void DecodeGSensorSample(
    std::span<const std::byte> sample, GSensorSample& gSensor, DrivingStatus& status);

// The text of a "$" sample: up to its first zero byte, at most 1023 characters.
std::string_view TelemetryLineText(std::span<const std::byte> sample);

// Decodes an RMC line. Fields are split at commas with runs of commas counting as one
// separator (a missing field shifts the later ones forward); the walk stops at the first
// missing field and keeps what it has read.
CGPSData ParseRmcLine(std::string_view line, std::uint32_t timeMs);

// ddmm.mmmm (or dddmm.mmmm) to decimal degrees. Infinite and NaN inputs come back as they
// are.
double DegreesFromNmea(double value);

// Converts toward zero to a 32-bit integer; NaN gives 0 and values out of range the
// nearest bound.
std::int32_t TruncToInt32(double value);

// The C library's decimal conversion of the start of `text` (leading white space, an
// optional sign, digits, fraction, exponent), independent of the process locale; 0 when
// nothing converts.
double DecimalValue(std::string_view text);

} // namespace velomira
