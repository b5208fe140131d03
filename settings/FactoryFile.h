#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/DriveRoots.h"
#include "texts/MessageBoxService.h"

namespace velomira {

inline constexpr std::string_view kFactoryFileName = "data_factory.cfg";
// The part of data_factory.cfg the viewer reads.
inline constexpr std::size_t kFactoryPrefixBytes = 66;
// A factory file of this viewer's device generation is shorter than this.
inline constexpr std::uintmax_t kOtherGenerationLength = 78;

// The firmware version of a factory file's first bytes: V = 100 x (b47 - '0') +
// 10 x (b49 - '0') + (b51 - '0') with the bytes unchecked, and the suffix byte 52. Bytes
// missing from a short file count as zero.
struct FirmwareVersion {
    int number = 0;
    std::uint8_t suffix = 0;
};
FirmwareVersion ReadFirmwareVersion(std::span<const std::uint8_t> prefix);

// New firmware (its settings file carries a checksum): V above 202, or 202 with a suffix.
bool IsNewFirmwareVersion(const FirmwareVersion& version);

// True when the bytes start with P, L, K.
bool HasSettingsMark(std::span<const std::uint8_t> prefix);

// True when the card's factory file opens and is shorter than 78 bytes.
bool CheckDeviceGeneration(char letter, const DriveRoots& drives);

// True when the card's factory file names a new firmware; false when it cannot be read.
bool IsNewFirmware(char letter, const DriveRoots& drives);

// The first 66 bytes of the factory file as the language and speed-unit steps read it
// ("%c:\SETUP\%s"), or nothing.
std::optional<std::vector<std::uint8_t>> ReadFactoryPrefix(char letter, const DriveRoots& drives);

// Everything the viewer reads from the factory file, for listings.
struct FactoryFileInfo {
    std::uintmax_t length = 0;
    bool compatible = false;
    FirmwareVersion version;
    bool newFirmware = false;
    bool settingsMark = false;
};
std::optional<FactoryFileInfo> ReadFactoryFileInfo(char letter, const DriveRoots& drives);

// The versions-differ message, always in Japanese.
void ShowVersionMismatch(MessageBoxService& messages);

} // namespace velomira
