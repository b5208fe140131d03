#include "telemetry/TelemetrySampleText.h"

#include <charconv>

namespace velomira {
namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexBytes(std::string_view text, std::vector<std::byte>& bytes)
{
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        const int digit = HexDigit(c);
        if (digit < 0)
            return false;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::byte>(high * 16 + digit));
            high = -1;
        }
    }
    return high < 0;
}

}  // namespace

bool ParseTelemetrySampleText(std::string_view text, std::vector<TelemetrySampleBytes>& samples, std::string& error)
{
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view {} : text.substr(newline + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        TelemetrySampleBytes sample;
        const char* end = line.data() + line.size();
        const auto [next, status] = std::from_chars(line.data(), end, sample.timeMs);
        if (status != std::errc() || next == end || *next != ' ') {
            error = "line " + std::to_string(lineNumber) + ": expected '<ms> <hex bytes>' or '<ms> $TEXT'";
            return false;
        }
        const std::string_view rest(next + 1, static_cast<std::size_t>(end - next - 1));
        if (!rest.empty() && rest.front() == '$') {
            for (char c : rest)
                sample.bytes.push_back(static_cast<std::byte>(c));
        } else if (!ParseHexBytes(rest, sample.bytes)) {
            error = "line " + std::to_string(lineNumber) + ": bad hex bytes";
            return false;
        }
        samples.push_back(std::move(sample));
    }
    return true;
}

}  // namespace velomira
