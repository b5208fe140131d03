#include "settings/editor/FieldRules.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace velomira {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A leading '+' is accepted as the C library reads numbers; from_chars does not take it.
std::string_view WithoutPlus(std::string_view text)
{
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

} // namespace

std::optional<int> ParseWholeNumber(std::string_view text)
{
    text = WithoutPlus(Trimmed(text));
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseDecimalNumber(std::string_view text)
{
    text = WithoutPlus(Trimmed(text));
    // Only digits, one point, a sign and an exponent: no "inf", "nan" or hexadecimal.
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(
        text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()
        || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FormatWholeNumber(long long value)
{
    return std::to_string(value);
}

std::string FormatDecimalNumber(double value)
{
    char buffer[64];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::uint16_t LowWord(long long value)
{
    return static_cast<std::uint16_t>(static_cast<unsigned long long>(value) & 0xFFFFu);
}

std::uint16_t TruncatedLowWord(double value)
{
    // Beyond 2^63 every double is a multiple of 65536, so its low 16 bits are zero.
    constexpr double kLimit = 9.2e18;
    if (!std::isfinite(value) || value >= kLimit || value <= -kLimit)
        return 0;
    return LowWord(static_cast<long long>(std::trunc(value)));
}

std::uint16_t MinusFive(std::uint16_t word)
{
    return static_cast<std::uint16_t>(word - 5);
}

double ClampDecimal(double value, double low, double high)
{
    return value < low ? low : (value > high ? high : value);
}

long long ClampWhole(long long value, long long low, long long high)
{
    return value < low ? low : (value > high ? high : value);
}

std::uint16_t MetresToWord(double metres)
{
    return TruncatedLowWord(metres * 100);
}

std::uint16_t MetresToRoundedWord(double metres)
{
    const double tens = std::trunc((metres * 100 + 5) / 10);
    return TruncatedLowWord(tens * 10);
}

std::uint16_t CentimetresToWord(double centimetres)
{
    return TruncatedLowWord(centimetres * 10);
}

std::uint16_t SliderReleaseWord(int position)
{
    // Integer division truncates towards zero, as trunc does.
    return LowWord(static_cast<long long>((position + 5) / 10) * 10);
}

std::string VoltageText(int index)
{
    // Tenths of a volt, so the texts do not drift as summed steps of 0.1 would.
    const int tenths = 115 + index;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "v";
}

std::string GmtText(int index)
{
    return std::to_string(index) + ":00";
}

} // namespace velomira
