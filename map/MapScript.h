#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "telemetry/TelemetryRecords.h"

namespace velomira {

// A page script call read from a command such as "javascript:DrawCurrent('1', '2')".
struct PageScriptCall {
    std::string name; // empty when the command has no "("
    std::vector<std::string> arguments;
};

// Drops everything up to and including "javascript:", takes the trimmed text before the
// first "(" as the function name and splits the rest at runs of the delimiters
// space , ' " tab ( ) ; (empty pieces dropped).
PageScriptCall ParsePageScriptCommand(std::string_view command);

// The call as script text, every argument a string literal (escaped, so nothing in an
// argument can end the literal). Empty when `call.name` is not a plain identifier.
std::string PageScriptText(const PageScriptCall& call);

// Decimal degrees with six digits after the point, independent of the process locale.
std::string FormatDegrees(double degrees);

// "javascript:DrawCurrent('<longitude>', '<latitude>')".
std::string DrawCurrentCommand(double longitude, double latitude);

// The record that belongs to a play position: the first one whose `timeMs` is at or
// after it. None without such a record, or when that record's fix is not valid.
std::optional<std::size_t> MapRecordIndexAt(
    std::span<const CGPSData> records, std::uint32_t positionMs);

// The second provider's integer arguments (longitude, latitude), each degrees x 10^6
// truncated toward zero. None when either is zero: such a position is never sent.
std::optional<std::pair<std::int32_t, std::int32_t>> SecondProviderArguments(
    double longitude, double latitude);

// The valid fixes of a recording as a script array of [latitude, longitude] pairs.
std::string TrackArrayText(std::span<const CGPSData> records);

// What identifies a recording's track cheaply: a change means the line must be redrawn.
struct TrackSignature {
    std::size_t count = 0;
    std::uint32_t firstMs = 0;
    std::uint32_t lastMs = 0;
    double firstLatitudeRaw = 0;
    double lastLatitudeRaw = 0;
    bool operator==(const TrackSignature&) const = default;
};
TrackSignature SignatureOf(std::span<const CGPSData> records);

} // namespace velomira
