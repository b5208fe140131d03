#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velomira {

// How the settings pages read, round and show the numbers of their fields. Words are
// unsigned 16-bit; every conversion here is safe for any input (no overflow, no NaN).

// A whole number as the pages read it: optional surrounding blanks, an optional sign and
// decimal digits, within the range of a 32-bit int. Nothing for anything else (an empty
// text included).
std::optional<int> ParseWholeNumber(std::string_view text);

// A decimal number: optional blanks, sign, digits with an optional fraction and exponent.
// Nothing for anything else, and for infinities and NaN.
std::optional<double> ParseDecimalNumber(std::string_view text);

// "%d" of a whole number.
std::string FormatWholeNumber(long long value);
// The shortest general form with up to 15 significant digits ("1.3", "0.7", "15"),
// independent of the process locale.
std::string FormatDecimalNumber(double value);

// The low 16 bits of a whole number, as a word keeps it (-1 gives 65535).
std::uint16_t LowWord(long long value);
// trunc(value), then its low 16 bits; values beyond the range of a 64-bit integer and NaN
// give 0 rather than undefined behaviour.
std::uint16_t TruncatedLowWord(double value);
// `word` - 5 modulo 65536.
std::uint16_t MinusFive(std::uint16_t word);

double ClampDecimal(double value, double low, double high);
long long ClampWhole(long long value, long long low, long long high);

// Metres to the stored hundredths: trunc(m x 100).
std::uint16_t MetresToWord(double metres);
// Metres to hundredths rounded to tenths: trunc((m x 100 + 5) / 10) x 10.
std::uint16_t MetresToRoundedWord(double metres);
// Centimetres to the stored tenths: trunc(cm x 10).
std::uint16_t CentimetresToWord(double centimetres);

// The word a G-sensor slider stores when released at `position`: trunc((p + 5) / 10) x 10.
std::uint16_t SliderReleaseWord(int position);

// The voltage list: 21 texts "11.5v" to "13.5v"; index i is 11.5 + 0.1 i volts.
inline constexpr int kVoltageEntries = 21;
std::string VoltageText(int index);
// The GMT list: "0:00" to "23:00".
inline constexpr int kGmtEntries = 24;
std::string GmtText(int index);

} // namespace velomira
