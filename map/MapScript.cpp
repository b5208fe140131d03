#include "map/MapScript.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "telemetry/TelemetryParser.h"

namespace velomira {

namespace {

constexpr std::string_view kDelimiters = " ,'\"\t();";
constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

bool IsIdentifier(std::string_view name)
{
    if (name.empty())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter
            = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

void AppendStringLiteral(std::string& out, std::string_view text)
{
    out += '\'';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '\'' || c == '"' || c == '<' || c == '>' || byte < 0x20
            || byte == 0x7F) {
            std::array<char, 8> escape {};
            std::snprintf(escape.data(), escape.size(), "\\x%02X", byte);
            out += escape.data();
        } else {
            out += c;
        }
    }
    out += '\'';
}

} // namespace

PageScriptCall ParsePageScriptCommand(std::string_view command)
{
    PageScriptCall call;
    constexpr std::string_view kPrefix = "javascript:";
    if (const auto prefix = command.find(kPrefix); prefix != std::string_view::npos)
        command.remove_prefix(prefix + kPrefix.size());
    const auto open = command.find('(');
    if (open == std::string_view::npos)
        return call;
    call.name = std::string(Trim(command.substr(0, open)));
    std::string_view rest = command.substr(open + 1);
    while (!rest.empty()) {
        const auto start = rest.find_first_not_of(kDelimiters);
        if (start == std::string_view::npos)
            break;
        rest.remove_prefix(start);
        const auto end = rest.find_first_of(kDelimiters);
        call.arguments.emplace_back(rest.substr(0, end));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end);
    }
    return call;
}

std::string PageScriptText(const PageScriptCall& call)
{
    if (!IsIdentifier(call.name))
        return {};
    std::string text = call.name + "(";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        if (i > 0)
            text += ", ";
        AppendStringLiteral(text, call.arguments[i]);
    }
    text += ")";
    return text;
}

std::string FormatDegrees(double degrees)
{
    if (!std::isfinite(degrees))
        return "0.000000";
    std::array<char, 64> buffer {};
    const auto result = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), degrees, std::chars_format::fixed, 6);
    return std::string(buffer.data(), result.ptr);
}

std::string DrawCurrentCommand(double longitude, double latitude)
{
    return "javascript:DrawCurrent('" + FormatDegrees(longitude) + "', '" + FormatDegrees(latitude)
        + "')";
}

std::optional<std::size_t> MapRecordIndexAt(
    std::span<const CGPSData> records, std::uint32_t positionMs)
{
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].timeMs >= positionMs) {
            if (records[i].fixValid == 0)
                return std::nullopt;
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::pair<std::int32_t, std::int32_t>> SecondProviderArguments(
    double longitude, double latitude)
{
    const std::int32_t lonE6 = TruncToInt32(longitude * 1000000.0);
    const std::int32_t latE6 = TruncToInt32(latitude * 1000000.0);
    if (lonE6 == 0 || latE6 == 0)
        return std::nullopt;
    return std::pair { lonE6, latE6 };
}

std::string TrackArrayText(std::span<const CGPSData> records)
{
    std::string text = "[";
    bool first = true;
    for (const CGPSData& record : records) {
        if (record.fixValid == 0)
            continue;
        const double latitude = DegreesFromNmea(record.latitudeRaw);
        const double longitude = DegreesFromNmea(record.longitudeRaw);
        if (!std::isfinite(latitude) || !std::isfinite(longitude))
            continue;
        text += first ? "[" : ",[";
        text += FormatDegrees(latitude) + "," + FormatDegrees(longitude) + "]";
        first = false;
    }
    text += "]";
    return text;
}

TrackSignature SignatureOf(std::span<const CGPSData> records)
{
    if (records.empty())
        return {};
    return { records.size(), records.front().timeMs, records.back().timeMs,
        records.front().latitudeRaw, records.back().latitudeRaw };
}

} // namespace velomira
