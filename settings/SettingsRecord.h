#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace velomira {

// The content of data_setup.cfg: the letters P, L, K, a checksum byte, then 98 unsigned
// 16-bit little-endian words at the even offsets 4 to 198.
inline constexpr std::size_t kSettingsRecordBytes = 200;
using SettingsRecord = std::array<std::uint8_t, kSettingsRecordBytes>;

inline constexpr std::size_t kSettingsChecksumOffset = 3;
inline constexpr std::size_t kFirstSettingsWord = 4;
inline constexpr std::size_t kLanguageWordOffset = 146;
inline constexpr std::size_t kSpeedUnitWordOffset = 140;

// Exclusive or of bytes 4 to 199 of `record`, all bits inverted. Bytes missing from a
// short record count as zero.
std::uint8_t SettingsChecksum(std::span<const std::uint8_t> record);

// True for a full 200-byte record whose byte 3 is its checksum (the leading letters are
// not examined).
bool IsSettingsRecordValid(std::span<const std::uint8_t> record);

// The factory record for `language` (0 Japanese, 1 English, 2 Korean; the device's
// other languages 3 Chinese, 4 Spanish and 5 Russian keep their language words with the
// English time zone; any other value gets the English language words), checksum set.
SettingsRecord DefaultSettingsRecord(int language);

// Word at an even byte offset from 4 to 198; nothing for other offsets or past the end of
// a short record.
std::optional<std::uint16_t> SettingsWord(std::span<const std::uint8_t> record, std::size_t offset);
// Sets a word (false for an offset that is not a word's) and leaves the checksum alone.
bool SetSettingsWord(SettingsRecord& record, std::size_t offset, std::uint16_t value);
// Sets a word and its companion with it: word 52 is always word 50 - 5, word 110 always
// word 108 - 5 (both modulo 65536), word 148 always word 146; setting either one of a
// pair sets the other. False for an offset that is not a word's.
bool SetSettingsWordWithCompanion(SettingsRecord& record, std::size_t offset, std::uint16_t value);
// Sets byte 3 to the checksum of bytes 4 to 199.
void UpdateSettingsChecksum(SettingsRecord& record);

// The words the viewer knows, by offset, with a name for listings.
struct SettingsWordInfo {
    std::size_t offset;
    std::string_view name;
};
std::span<const SettingsWordInfo> KnownSettingsWords();
// Name of the word at `offset`, empty when the viewer does not interpret it.
std::string_view SettingsWordName(std::size_t offset);

} // namespace velomira
