#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velomira {

inline constexpr size_t kSettingsFileBytes = 200;

// Exclusive or of bytes 4 to 199, all bits inverted.
uint8_t SettingsFileChecksum(const std::vector<uint8_t>& record);

// The device's default data_setup.cfg for a language (0 Japanese, 1 English, 2 Korean; any
// other value keeps the English time zone and stores the value as given): "PLK", the
// checksum, 98 little-endian words.
std::vector<uint8_t> DefaultSettingsFile(int language);

struct FactoryFileOptions {
    size_t length = 66; // the device generation this viewer serves stays below 78
    std::string version = "203"; // three version characters, optionally a suffix character
    bool mark = true; // "PLK" at the start
};

// data_factory.cfg: "PLK" (or zeros), a model name, "v" and the version characters at bytes
// 46 to 51 separated by dots, the suffix byte at 52 (0 without one), padding to length.
// Shorter lengths cut the file, longer ones pad it with zeros.
std::vector<uint8_t> FactoryFile(const FactoryFileOptions& options);

// Parses "DDD" or "DDDS" (three characters and an optional suffix character).
bool ValidFactoryVersion(const std::string& version);

} // namespace velomira
