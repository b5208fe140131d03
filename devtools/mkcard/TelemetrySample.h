#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velomira {

// One telemetry sample as it goes into a recording: its bytes, unchanged, and its time in
// milliseconds from the start of the recording.
struct TelemetrySample {
    uint32_t timeMs = 0;
    std::vector<uint8_t> bytes;

    bool operator==(const TelemetrySample&) const = default;
};

// Text form of a list of samples, one a line: "<ms> <hex bytes>" for binary samples and
// "<ms> $TEXT" for text lines that start with "$" and hold only printable characters.
// Blank lines and lines starting with "#" are ignored when reading. Hex digits may be
// separated by spaces.
std::string FormatTelemetryText(const std::vector<TelemetrySample>& samples);

// Parses the text form; on a malformed line returns false and names the line in error.
bool ParseTelemetryText(
    const std::string& text, std::vector<TelemetrySample>& samples, std::string& error);

} // namespace velomira
