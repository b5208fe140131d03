#include "tools/FormatTargetProbe.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>
#include <unistd.h>

#include "platform/MountTableReader.h"

namespace velomira {

namespace fs = std::filesystem;

namespace {

std::string Canonical(const std::string& path)
{
    std::error_code error;
    const fs::path canonical = fs::canonical(path, error);
    return error ? path : canonical.string();
}

std::uint64_t BlockDeviceBytes(const std::string& device)
{
    const std::string name = fs::path(device).filename().string();
    std::ifstream in("/sys/class/block/" + name + "/size");
    std::uint64_t sectors = 0;
    if (!(in >> sectors))
        return 0;
    return sectors * 512; // sysfs counts 512-byte sectors whatever the device's own
}

// The name under which udev lists `device` in one of /dev/disk's folders (by-label,
// by-uuid), with udev's \xHH escapes decoded; empty when it is not listed.
std::string DiskLinkName(const char* folder, const std::string& device)
{
    std::error_code error;
    for (const auto& link : fs::directory_iterator(folder, error)) {
        if (Canonical(link.path().string()) != device)
            continue;
        const std::string name = link.path().filename().string();
        std::string decoded;
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size()
                && std::isxdigit(static_cast<unsigned char>(name[i + 2]))
                && std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
                decoded += static_cast<char>(std::strtol(name.substr(i + 2, 2).c_str(), nullptr, 16));
                i += 3;
            } else {
                decoded += name[i];
            }
        }
        return decoded;
    }
    return {};
}

// The file system id of the mount at `root`, when the device has no UUID link.
std::string MountId(const std::string& root)
{
    struct statvfs volume { };
    if (root.empty() || ::statvfs(root.c_str(), &volume) != 0)
        return {};
    return std::to_string(volume.f_fsid);
}

} // namespace

FormatTarget ProbeFormatTarget(const DriveEntry& entry, std::string_view imagesText)
{
    FormatTarget target;
    target.letter = entry.letter;
    target.root = entry.root.string();
    const std::optional<std::string> image = FormatImageFor(imagesText, entry.letter);
    target.device = Canonical(image ? *image : entry.device);
    struct stat facts { };
    if (target.device.empty() || ::stat(target.device.c_str(), &facts) != 0) {
        target.device.clear();
        return target;
    }
    target.writable = ::access(target.device.c_str(), W_OK) == 0;
    if (image) {
        target.imageFile = S_ISREG(facts.st_mode);
        target.removable = target.imageFile;
        target.sizeBytes = static_cast<std::uint64_t>(facts.st_size);
        target.deviceNumber = static_cast<std::uint64_t>(facts.st_ino);
        target.fileSystemId = std::to_string(facts.st_dev);
        return target;
    }
    target.blockDevice = S_ISBLK(facts.st_mode);
    target.removable = entry.removable;
    target.sizeBytes = BlockDeviceBytes(target.device);
    target.deviceNumber = static_cast<std::uint64_t>(facts.st_rdev);
    target.label = DiskLinkName("/dev/disk/by-label", target.device);
    target.fileSystemId = DiskLinkName("/dev/disk/by-uuid", target.device);
    if (target.fileSystemId.empty())
        target.fileSystemId = MountId(target.root);
    return target;
}

std::optional<DriveGeometry> ReadGeometry(const FormatTarget& target)
{
    if (target.imageFile) {
        if (target.sizeBytes < 512)
            return std::nullopt;
        return DriveGeometry { 1, 512, 0, target.sizeBytes / 512 };
    }
    struct statvfs volume { };
    if (target.root.empty() || ::statvfs(target.root.c_str(), &volume) != 0 || volume.f_frsize == 0)
        return std::nullopt;
    DriveGeometry geometry;
    if (volume.f_frsize >= 512 && volume.f_frsize % 512 == 0) {
        geometry.bytesPerSector = 512;
        geometry.sectorsPerCluster = volume.f_frsize / 512;
    } else {
        geometry.bytesPerSector = volume.f_frsize;
        geometry.sectorsPerCluster = 1;
    }
    geometry.freeClusters = volume.f_bfree;
    geometry.totalClusters = volume.f_blocks;
    return geometry;
}

std::string DiskOfDevice(const std::string& device)
{
    const std::string real = Canonical(device);
    const std::string name = fs::path(real).filename().string();
    const fs::path sysfs = fs::path("/sys/class/block") / name;
    std::error_code error;
    if (!fs::exists(sysfs / "partition", error))
        return real;
    const fs::path node = fs::canonical(sysfs, error);
    if (error)
        return real;
    return "/dev/" + node.parent_path().filename().string();
}

std::vector<std::string> ReadSystemDevices()
{
    std::vector<std::string> devices = SystemDevicesOf(ReadMountTable());
    for (std::string& device : devices)
        device = Canonical(device);
    std::ifstream swaps("/proc/swaps");
    std::string line;
    std::getline(swaps, line); // header
    while (std::getline(swaps, line)) {
        std::istringstream fields(line);
        std::string device;
        if (fields >> device && device.starts_with("/dev/"))
            devices.push_back(Canonical(device));
    }
    return devices;
}

} // namespace velomira
