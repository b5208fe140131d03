#pragma once

#include <cstddef>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

namespace velomira {

// The system calls files on the card and exported copies are read and written with.
// Each returns what the system call returns and leaves errno set on failure; tests
// replace single calls to make a write-protected, full, failing or vanishing medium.
struct FileOperations {
    std::function<int(const char* path, int flags, mode_t mode)> open;
    std::function<ssize_t(int fd, void* buffer, std::size_t size)> read;
    std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
    std::function<int(int fd)> fsync;
    std::function<int(int fd)> close;
    std::function<int(const char* from, const char* to)> rename;
    std::function<int(const char* path)> unlink;
    std::function<int(const char* path, struct stat* facts)> stat;
    // copy_file_range without offsets: up to `size` bytes from `in` to `out`.
    std::function<ssize_t(int in, int out, std::size_t size)> copyRange;
};

// The real system calls.
const FileOperations& SystemFileOperations();

// Calls `ops.close` and `ops.fsync` the way a durable write needs them: flushes `fd`, then
// closes it. False (errno of the first failure) when either failed; the descriptor is
// closed in any case.
bool FlushAndClose(const FileOperations& ops, int fd);

// Flushes a folder, so that a rename or a new name in it reaches the medium.
bool FlushFolder(const FileOperations& ops, const char* folder);

} // namespace velomira
