#include "settings/CardFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <system_error>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/CardPath.h"

namespace velomira {
namespace {

// A file is missing only when the system says there is no such file.
bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR; }

bool WriteAll(const FileOperations& ops, int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ops.write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes and flushes, then closes; false with errno of the first failure.
bool WriteFlushClose(const FileOperations& ops, int fd, std::span<const std::uint8_t> bytes)
{
    if (!WriteAll(ops, fd, bytes)) {
        const int failure = errno;
        ops.close(fd);
        errno = failure;
        return false;
    }
    return FlushAndClose(ops, fd);
}

bool RewriteInPlace(const FileOperations& ops, const std::filesystem::path& target,
    std::span<const std::uint8_t> bytes)
{
    const int fd = ops.open(target.c_str(), O_WRONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    return WriteFlushClose(ops, fd, bytes);
}

} // namespace

CardFilePrefix ReadCardFile(std::string_view cardPath, const DriveRoots& drives,
    std::size_t maxBytes, const FileOperations& ops)
{
    CardFilePrefix result;
    const auto path = ToLinuxPath(cardPath, drives);
    if (!path)
        return result;
    struct stat facts { };
    if (ops.stat(path->c_str(), &facts) != 0) {
        if (!IsMissing(errno))
            result = { CardFileStatus::ReadError, {}, errno };
        return result;
    }
    if (!S_ISREG(facts.st_mode))
        return result;
    const int fd = ops.open(path->c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) {
        if (!IsMissing(errno))
            result = { CardFileStatus::ReadError, {}, errno };
        return result;
    }
    result.bytes.resize(maxBytes);
    std::size_t filled = 0;
    result.status = CardFileStatus::Read;
    while (filled < maxBytes) {
        const ssize_t got = ops.read(fd, result.bytes.data() + filled, maxBytes - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.status = CardFileStatus::ReadError;
            result.error = errno;
            break;
        }
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ops.close(fd);
    result.bytes.resize(result.status == CardFileStatus::Read ? filled : 0);
    return result;
}

std::optional<std::vector<std::uint8_t>> ReadCardFilePrefix(
    std::string_view cardPath, const DriveRoots& drives, std::size_t maxBytes)
{
    CardFilePrefix prefix = ReadCardFile(cardPath, drives, maxBytes);
    if (prefix.status != CardFileStatus::Read)
        return std::nullopt;
    return std::move(prefix.bytes);
}

std::optional<std::uintmax_t> CardFileLength(std::string_view cardPath, const DriveRoots& drives)
{
    const auto path = ToLinuxPath(cardPath, drives);
    std::error_code error;
    if (!path || !std::filesystem::is_regular_file(*path, error))
        return std::nullopt;
    std::ifstream file(*path, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    const std::streamoff length = file.tellg();
    if (length < 0)
        return std::nullopt;
    return static_cast<std::uintmax_t>(length);
}

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
    const FileOperations& ops, const std::function<void(int error)>& folderNotFlushed)
{
    // The card is a FAT file system: durability needs fsync, which the C++ library lacks.
    std::filesystem::path temporary = target;
    temporary += ".velomira-tmp";
    const int fd = ops.open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0 && WriteFlushClose(ops, fd, bytes);
    const int failure = ok ? 0 : errno;
    if (ok)
        ok = ops.rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        if (fd >= 0)
            ops.unlink(temporary.c_str());
        std::error_code error;
        if (failure == ENOSPC && std::filesystem::is_regular_file(target, error))
            return RewriteInPlace(ops, target, bytes);
        return false;
    }
    // The rename reaches the card only with its folder. The new file is in place whatever
    // the folder flush says, so a failure there is told, not returned as a failed write.
    if (!FlushFolder(ops, target.parent_path().c_str()) && folderNotFlushed)
        folderNotFlushed(errno);
    return true;
}

} // namespace velomira
