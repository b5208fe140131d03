#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/DriveRoots.h"

namespace velomira {

// The first `maxBytes` bytes of the regular file a card path names (fewer when the file is
// shorter), or nothing when it cannot be opened for reading.
std::optional<std::vector<std::uint8_t>> ReadCardFilePrefix(
    std::string_view cardPath, const DriveRoots& drives, std::size_t maxBytes);

// Length of the regular file a card path names, or nothing when it cannot be opened.
std::optional<std::uintmax_t> CardFileLength(std::string_view cardPath, const DriveRoots& drives);

// Writes `bytes` as the file `target` without ever leaving a part-written file under that
// name: a temporary file beside it is written, flushed to the device and renamed over it.
// On failure nothing changes under `target` and the temporary file is removed.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

} // namespace velomira
