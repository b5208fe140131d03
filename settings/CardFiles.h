#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "platform/DriveRoots.h"
#include "platform/FileOperations.h"

namespace velomira {

// What reading the start of a card file gave.
enum class CardFileStatus { Read, Missing, ReadError };
struct CardFilePrefix {
    CardFileStatus status = CardFileStatus::Missing;
    std::vector<std::uint8_t> bytes; // up to maxBytes; fewer only for a shorter file
    int error = 0; // errno of a ReadError
};

// The first `maxBytes` bytes of the regular file a card path names. Only a file that is
// not there (no such file or folder, or not a regular file) is Missing; any other error
// from stat, open or read (EIO, EACCES, ...) is a ReadError, never a missing or short file.
CardFilePrefix ReadCardFile(std::string_view cardPath, const DriveRoots& drives,
    std::size_t maxBytes, const FileOperations& ops = SystemFileOperations());

// The first `maxBytes` bytes, or nothing when the file cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadCardFilePrefix(
    std::string_view cardPath, const DriveRoots& drives, std::size_t maxBytes);

// Length of the regular file a card path names, or nothing when it cannot be opened.
std::optional<std::uintmax_t> CardFileLength(std::string_view cardPath, const DriveRoots& drives);

// Writes `bytes` as the file `target` without ever leaving a part-written file under that
// name: a temporary file beside it is written, flushed to the device and renamed over it,
// and the folder is flushed so the rename lasts. On failure nothing changes under
// `target` and the temporary file is removed. Once the rename is done the file is written:
// a folder flush that fails then is told through `folderNotFlushed` (with its errno), not
// reported as a failed write.
//
// A card filled by loop recording has no room for the temporary file (ENOSPC): when
// `target` exists already, its first bytes are then rewritten in place (no truncation)
// and flushed, which needs no new cluster when the new content is no longer than the
// file's cluster.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
    const FileOperations& ops = SystemFileOperations(),
    const std::function<void(int error)>& folderNotFlushed = {});

} // namespace velomira
