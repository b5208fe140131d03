#include "telemetry/TelemetryParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace velomira {
namespace {

// The one read of a sample byte: past the end reads zero.
std::uint8_t ByteAt(std::span<const std::byte> sample, std::size_t offset)
{
    return offset < sample.size() ? static_cast<std::uint8_t>(sample[offset]) : 0;
}

std::int16_t SignedWordAt(std::span<const std::byte> sample, std::size_t offset)
{
    const auto value
        = static_cast<std::uint16_t>(ByteAt(sample, offset) | (ByteAt(sample, offset + 1) << 8));
    return static_cast<std::int16_t>(value);
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A float rounding that never converts an out-of-range double (the cast is undefined
// there).
double RoundToSingle(double value)
{
    if (std::isnan(value))
        return value;
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? std::numeric_limits<double>::infinity()
                         : -std::numeric_limits<double>::infinity();
    return static_cast<double>(static_cast<float>(value));
}

template<std::size_t N>
void CopyToken(std::array<char, N>& out, std::string_view token)
{
    const std::size_t count = std::min(token.size(), N - 1);
    std::memcpy(out.data(), token.data(), count);
    out[count] = '\0';
}

} // namespace

TelemetrySampleKind ClassifyTelemetrySample(std::span<const std::byte> sample)
{
    const char first = static_cast<char>(ByteAt(sample, 0));
    if (first == 'M' || first == 'A')
        return TelemetrySampleKind::GSensor;
    if (first != '$')
        return TelemetrySampleKind::Ignored;
    const std::string_view line = TelemetryLineText(sample);
    if (line.size() < 6)
        return TelemetrySampleKind::Ignored;
    const char fourth = Upper(line[3]);
    if ((fourth == 'R' || fourth == 'N') && Upper(line[4]) == 'M' && Upper(line[5]) == 'C')
        return TelemetrySampleKind::RmcLine;
    return TelemetrySampleKind::Ignored;
}

void DecodeGSensorSample(
    std::span<const std::byte> sample, GSensorSample& gSensor, DrivingStatus& status)
{
    gSensor = GSensorSample {};
    gSensor.y = (SignedWordAt(sample, 1) - 2048) / 1024.0;
    gSensor.z = (SignedWordAt(sample, 3) - 2048) / 1024.0;
    gSensor.x = (SignedWordAt(sample, 5) - 2048) / 1024.0;
    gSensor.y2 = SignedWordAt(sample, 7) / 1024.0;
    gSensor.z2 = SignedWordAt(sample, 9) / 1024.0;
    gSensor.x2 = SignedWordAt(sample, 11) / 1024.0;
    for (std::size_t i = 0; i < gSensor.clock.size(); ++i)
        gSensor.clock[i] = ByteAt(sample, 13 + i);
    for (std::size_t i = 0; i < status.words.size(); ++i) {
        const std::size_t offset = 19 + 2 * i;
        status.words[i] = static_cast<std::uint16_t>(
            ByteAt(sample, offset) | (ByteAt(sample, offset + 1) << 8));
    }
}

std::string_view TelemetryLineText(std::span<const std::byte> sample)
{
    const std::size_t limit = std::min(sample.size(), kMaxRmcLineChars);
    std::size_t length = 0;
    while (length < limit && sample[length] != std::byte { 0 })
        ++length;
    return { reinterpret_cast<const char*>(sample.data()), length };
}

double DecimalValue(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()
        && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v'
            || text[i] == '\f' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars takes no sign of its own here: a second sign is not a number.
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return 0;
    double value = 0;
    const char* begin = text.data() + i;
    // strtod also reads hexadecimal numbers ("0x1A" is 26).
    auto format = std::chars_format::general;
    if (text.size() > i + 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')
        && std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
        format = std::chars_format::hex;
        begin += 2;
    }
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value, format);
    if (end == begin)
        return 0;
    if (error == std::errc::result_out_of_range) {
        // strtod gives HUGE_VAL for overflow and a (near) zero for underflow.
        std::string_view digits(begin, static_cast<std::size_t>(end - begin));
        const auto exponent = digits.find_first_of(format == std::chars_format::hex ? "pP" : "eE");
        const bool tiny = exponent != std::string_view::npos && exponent + 1 < digits.size()
            && digits[exponent + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

CGPSData ParseRmcLine(std::string_view line, std::uint32_t timeMs)
{
    CGPSData record;
    record.timeMs = timeMs;
    line = line.substr(0, std::min(line.size(), kMaxRmcLineChars));
    const auto zero = line.find('\0');
    if (zero != std::string_view::npos)
        line = line.substr(0, zero);

    std::size_t position = 0;
    for (int i = 0; i < 10; ++i) {
        while (position < line.size() && line[position] == ',')
            ++position;
        if (position >= line.size())
            break;
        const std::size_t end = std::min(line.find(',', position), line.size());
        const std::string_view token = line.substr(position, end - position);
        position = end;
        switch (i) {
        case 1:
            CopyToken(record.timeOfDay, token);
            break;
        case 2:
            record.fixValid = token.front() == 'A' ? 1 : 0;
            break;
        case 3:
            record.latitudeRaw = DecimalValue(token);
            break;
        case 4:
            record.northSouth = token.front();
            if (record.northSouth != 'N')
                record.latitudeRaw = -record.latitudeRaw;
            break;
        case 5:
            record.longitudeRaw = DecimalValue(token);
            break;
        case 6:
            record.eastWest = token.front();
            if (record.eastWest != 'E')
                record.longitudeRaw = -record.longitudeRaw;
            break;
        case 7:
            record.speedKmh = RoundToSingle(DecimalValue(token) * 1.852);
            break;
        case 9:
            CopyToken(record.date, token);
            break;
        default:
            break;
        }
    }
    return record;
}

double DegreesFromNmea(double value)
{
    const double w = value * 0.01;
    if (!std::isfinite(w))
        return w;
    const double d = std::trunc(w);
    return d + (w - d) * 100 / 60;
}

std::int32_t TruncToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

} // namespace velomira
