#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/FileOperations.h"

namespace velomira {

enum class CopyResult { Done, Cancelled, Failed };

// Called after every chunk with the bytes copied so far and the source's size at the
// start; returning false cancels the copy.
using CopyProgress = std::function<bool(std::uint64_t doneBytes, std::uint64_t totalBytes)>;

inline constexpr std::size_t kCopyChunkBytes = std::size_t { 4 } << 20;

// Copies `source` to `target` in chunks. The bytes go to a new temporary file in the
// target's folder, which is flushed to the medium and renamed over `target` (replacing a
// file of that name) only when every byte of the source's size was written and the file
// flushed and closed without error; the folder is flushed after the rename. A cancelled,
// short or failed copy removes the temporary file and leaves whatever was at `target`
// untouched. `ops`: the system calls the files are read and written with.
CopyResult CopyInChunks(const std::filesystem::path& source, const std::filesystem::path& target,
    const CopyProgress& progress = {}, std::size_t chunkBytes = kCopyChunkBytes,
    const FileOperations& ops = SystemFileOperations());

// The temporary name used for `target` on attempt `attempt`: hidden, in the same folder.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& target, unsigned attempt);

// The file name of a recording's list path: after the last backslash for a card path
// ("E:\NORMAL\a.mp4"), after the last slash for a file's own path.
std::string RecordingFileName(std::string_view listPath);

} // namespace velomira
