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

namespace velomira {

// The system calls the card's files are read and written with. Each returns what the
// system call returns and leaves errno set on failure; tests replace single calls to
// make a write-protected, full or failing card.
struct FileOperations {
    std::function<int(const char* path, int flags, mode_t mode)> open;
    std::function<ssize_t(int fd, void* buffer, std::size_t size)> read;
    std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;
    std::function<int(const char* from, const char* to)> rename;
    std::function<int(const char* path)> unlink;
};

// The real system calls.
const FileOperations& SystemFileOperations();

// What reading the start of a card file gave.
enum class CardFileStatus { Read, Missing, ReadError };
struct CardFilePrefix {
    CardFileStatus status = CardFileStatus::Missing;
    std::vector<std::uint8_t> bytes; // up to maxBytes; fewer only for a shorter file
};

// The first `maxBytes` bytes of the regular file a card path names. A file that cannot be
// opened is Missing; a read that fails part-way is a ReadError, never a short file.
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
// `target` and the temporary file is removed.
//
// A card filled by loop recording has no room for the temporary file (ENOSPC): when
// `target` exists already, its first bytes are then rewritten in place (no truncation)
// and flushed, which needs no new cluster when the new content is no longer than the
// file's cluster.
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
    const FileOperations& ops = SystemFileOperations());

} // namespace velomira
