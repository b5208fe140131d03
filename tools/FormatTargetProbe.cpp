#include "tools/FormatTargetProbe.h"

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
        return target;
    }
    target.blockDevice = S_ISBLK(facts.st_mode);
    target.removable = entry.removable;
    target.sizeBytes = BlockDeviceBytes(target.device);
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
