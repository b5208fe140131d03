#include "platform/FileOperations.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace velomira {

const FileOperations& SystemFileOperations()
{
    static const FileOperations ops {
        [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
        [](int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); },
        [](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
        [](int fd) { return ::fsync(fd); },
        [](int fd) { return ::close(fd); },
        [](const char* from, const char* to) { return ::rename(from, to); },
        [](const char* path) { return ::unlink(path); },
        [](const char* path, struct stat* facts) { return ::stat(path, facts); },
        [](int in, int out, std::size_t size) {
            return ::copy_file_range(in, nullptr, out, nullptr, size, 0);
        },
    };
    return ops;
}

bool FlushAndClose(const FileOperations& ops, int fd)
{
    bool ok = ops.fsync(fd) == 0;
    const int failure = ok ? 0 : errno;
    ok = (ops.close(fd) == 0) && ok;
    if (failure != 0)
        errno = failure;
    return ok;
}

bool FlushFolder(const FileOperations& ops, const char* folder)
{
    const int fd = ops.open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    return FlushAndClose(ops, fd);
}

} // namespace velomira
