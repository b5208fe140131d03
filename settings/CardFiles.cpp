#include "settings/CardFiles.h"

#include <fcntl.h>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

#include "platform/CardPath.h"

namespace velomira {
namespace {

std::optional<std::filesystem::path> RegularFile(
    std::string_view cardPath, const DriveRoots& drives)
{
    auto path = ToLinuxPath(cardPath, drives);
    std::error_code error;
    if (!path || !std::filesystem::is_regular_file(*path, error))
        return std::nullopt;
    return path;
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::optional<std::vector<std::uint8_t>> ReadCardFilePrefix(
    std::string_view cardPath, const DriveRoots& drives, std::size_t maxBytes)
{
    const auto path = RegularFile(cardPath, drives);
    if (!path)
        return std::nullopt;
    std::ifstream file(*path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(maxBytes);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(maxBytes));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

std::optional<std::uintmax_t> CardFileLength(std::string_view cardPath, const DriveRoots& drives)
{
    const auto path = RegularFile(cardPath, drives);
    if (!path)
        return std::nullopt;
    std::ifstream file(*path, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    const std::streamoff length = file.tellg();
    if (length < 0)
        return std::nullopt;
    return static_cast<std::uintmax_t>(length);
}

bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes)
{
    // The card is a FAT file system: durability needs fsync, which the C++ library lacks.
    std::filesystem::path temporary = target;
    temporary += ".velomira-tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    std::error_code error;
    if (ok) {
        std::filesystem::rename(temporary, target, error);
        ok = !error;
    }
    if (!ok) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    // Make the rename itself durable.
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace velomira
