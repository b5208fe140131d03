#include "devtools/mkcard/TelemetrySample.h"

#include <charconv>
#include <sstream>

namespace velomira {
namespace {

bool IsPrintableText(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty() || bytes.front() != '$')
        return false;
    for (uint8_t b : bytes) {
        if (b < 0x20 || b > 0x7e)
            return false;
    }
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHex(std::string_view text, std::vector<uint8_t>& bytes)
{
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        const int value = HexValue(c);
        if (value < 0)
            return false;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    return high < 0 && !bytes.empty();
}

} // namespace

std::string FormatTelemetryText(const std::vector<TelemetrySample>& samples)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const auto& sample : samples) {
        out += std::to_string(sample.timeMs);
        out += ' ';
        if (IsPrintableText(sample.bytes)) {
            out.append(sample.bytes.begin(), sample.bytes.end());
        } else {
            for (uint8_t b : sample.bytes) {
                out += kDigits[b >> 4];
                out += kDigits[b & 15];
            }
        }
        out += '\n';
    }
    return out;
}

bool ParseTelemetryText(
    const std::string& text, std::vector<TelemetrySample>& samples, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == '#')
            continue;
        TelemetrySample sample;
        const char* begin = line.data();
        const char* end = line.data() + line.size();
        const auto [next, ec] = std::from_chars(begin, end, sample.timeMs);
        if (ec != std::errc() || next == end || *next != ' ') {
            error = "line " + std::to_string(lineNumber) + ": expected '<ms> <sample>'";
            return false;
        }
        const std::string_view rest(next + 1, static_cast<size_t>(end - next - 1));
        if (!rest.empty() && rest.front() == '$') {
            sample.bytes.assign(rest.begin(), rest.end());
        } else if (!ParseHex(rest, sample.bytes)) {
            error = "line " + std::to_string(lineNumber) + ": bad hex bytes";
            return false;
        }
        samples.push_back(std::move(sample));
    }
    return true;
}

} // namespace velomira
