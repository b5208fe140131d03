#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DriveTable.h"

namespace velomira {

// A drive's geometry in the units the cluster table is defined in.
struct DriveGeometry {
    std::uint64_t sectorsPerCluster = 0;
    std::uint64_t bytesPerSector = 0;
    std::uint64_t freeClusters = 0;
    std::uint64_t totalClusters = 0;
};

// Capacity in MiB (total clusters x sectors per cluster x bytes per sector / 1,048,576).
double CapacityMiB(const DriveGeometry& geometry);

// One row of the cluster table: the option text as the format command takes it (with
// its trailing space) and the same cluster size as mkfs.fat's sectors per cluster of
// 512-byte sectors.
struct ClusterOption {
    std::string_view text;
    int sectorsPerCluster = 0;
    bool operator==(const ClusterOption&) const = default;
};

// The cluster option for a capacity: nothing at 1 MiB or less and at 32768 MiB or more.
std::optional<ClusterOption> ClusterOptionFor(double capacityMiB);

// FAT32 needs at least this many data clusters; mkfs.fat only warns below it.
inline constexpr std::uint64_t kFat32MinimumClusters = 65525;

// The data clusters a FAT32 file system of `sizeBytes` gets with `sectorsPerCluster`
// 512-byte sectors (32 reserved sectors, two FATs of 4 bytes per cluster).
std::uint64_t Fat32ClusterCount(std::uint64_t sizeBytes, int sectorsPerCluster);

// What is known about the device behind the card's drive letter.
struct FormatTarget {
    char letter = 0;
    std::string root; // the mount point (or the folder of a stand-in image)
    std::string device; // the block device ("/dev/sdb1") or an image file
    bool removable = false;
    bool blockDevice = false; // the device path names a block device node
    bool imageFile = false; // the device path names a regular file (a disk image)
    bool writable = false; // this process may write the device node
    std::uint64_t sizeBytes = 0; // size of the device or image
    std::string label; // the volume's label; empty when it has none
    // What tells one medium from another behind the same device name: the device number
    // (of an image: its inode) and the file system's id (its UUID, or the mount's id).
    std::uint64_t deviceNumber = 0;
    std::string fileSystemId;
};

// What a person recognises the target by, for the format question: mount point, label,
// size in decimal gigabytes and device node ("/media/me/CARD, 'CARD', 31.9 GB,
// /dev/sdc1"); the label is left out when there is none.
std::string DescribeFormatTarget(const FormatTarget& target);

// Whether `now` is still the medium `confirmed` was: the same device node, device number,
// size and file system id.
bool IsSameFormatTarget(const FormatTarget& confirmed, const FormatTarget& now);

// Why a device is not formatted; the command then ends without a message.
enum class FormatRefusal {
    None,
    NotRemovable,
    NoSingleDevice, // no device, or one that is neither a block device nor an image file
    SystemDevice, // the device (or its disk) holds "/" or another system mount
};

// The devices that hold the system: those mounted at "/" or at one of the system's own
// folders (/usr, /var, /boot, /home, ...).
std::vector<std::string> SystemDevicesOf(const std::vector<MountEntry>& mounts);

// `systemDevices`: the devices (and their whole disks) that hold the system's mounts.
// `diskOf` gives the whole disk of a partition ("/dev/sda1" -> "/dev/sda").
FormatRefusal CheckFormatTarget(const FormatTarget& target,
    const std::vector<std::string>& systemDevices,
    const std::function<std::string(const std::string&)>& diskOf);

// The disk image that stands in for drive `letter`'s device in a VELOMIRA_FORMAT_IMAGES
// text ("E=/tmp/card.img;F=/tmp/other.img"); nothing when the letter has none.
std::optional<std::string> FormatImageFor(std::string_view text, char letter);

// The programs the format runs; each is a path or a name looked up in PATH.
struct FormatPrograms {
    std::string mkfs = "mkfs.fat";
    std::string mount = "mount";
    std::string umount = "umount";
    std::string udisksctl; // empty when not present
    std::string pkexec; // empty when not present
};

// One program to run with its argument list (never a shell string).
struct ProgramStep {
    enum class Role { Unmount, Format, Mount };
    Role role;
    std::string program;
    std::vector<std::string> arguments;
    bool operator==(const ProgramStep&) const = default;
};

// The steps of one format: unmount, mkfs.fat -F 32 -S 512 -s N, mount again. An image
// file is neither unmounted nor mounted. udisksctl, when present, unmounts and mounts as
// a desktop user may; pkexec raises mkfs.fat when the device is not writable.
std::vector<ProgramStep> PlanFormat(
    const FormatTarget& target, const ClusterOption& option, const FormatPrograms& programs);

// What running a program gave: started or not, its exit status, its standard output.
struct ProgramResult {
    bool started = false;
    int exitCode = -1;
    std::string output;
};

using RunProgram = std::function<ProgramResult(const ProgramStep&)>;

struct FormatOutcome {
    bool formatted = false; // the file system was made (whether the mount came back or not)
    bool mounted = true; // the card is mounted (again) afterwards, as far as known
    std::string root; // where the card is mounted afterwards (udisksctl may choose anew)
};

// Runs the steps in order. A failing step stops the sequence; a card that was unmounted
// is mounted again even when the format failed. The format's own result decides
// `formatted`; a mount that fails afterwards only clears `mounted`.
FormatOutcome RunFormatSteps(
    const std::vector<ProgramStep>& steps, const RunProgram& run, std::string_view root);

// The mount point in udisksctl's report ("Mounted /dev/sdb1 at /media/u/CARD.\n").
std::optional<std::string> MountPointFromReport(std::string_view report);

} // namespace velomira
