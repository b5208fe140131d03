#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DriveRoots.h"

namespace velomira {

// One mounted file system as the mount table lists it.
struct MountEntry {
    std::string mountPoint;
    std::string device; // "/dev/sdb1", or the source text of a mount without a device
    std::string fsType;
    std::string fsRoot = "/"; // the folder of the file system mounted there (bind mounts)
    bool pseudo = false; // proc, sysfs, tmpfs, cgroup and the like
};

// What the system says about a block device.
struct BlockDeviceFacts {
    bool removable = false; // sysfs "removable" of the disk
    bool sdCard = false; // an SD card (device type "SD"), even in a built-in slot
};

// One drive letter of the viewer and what backs it.
struct DriveEntry {
    char letter = 0;
    std::filesystem::path root;
    std::string device;
    std::string fsType;
    bool removable = false;
    bool openedFolder = false; // a folder opened by name, not a mount (see AddFolder)
};

// The viewer's drive letters on Linux. C is "/"; D, E, F, ... go first to the media a
// user plugs in (mounts below /media, /run/media and /mnt, and removable devices),
// then to other block-device mounts a user can see, each group in mount-table order.
// Pseudo file systems, squashfs and snap mounts, loop devices, bind mounts, /boot and
// the system's own mounts get no letter, so the card never runs out of letters.
class DriveTable : public DriveRoots {
public:
    using DeviceFacts = std::function<BlockDeviceFacts(const std::string& device)>;

    DriveTable() = default;
    // Letters for the mounts of a mount table. With `previous`, the table in force until
    // now, a mount that is still there (same folder, same device) keeps its letter, and
    // only new mounts take the first free letters in the usual order: a drive leaving
    // never moves another drive's letter.
    static DriveTable FromMounts(const std::vector<MountEntry>& mounts, const DeviceFacts& facts,
        const DriveTable* previous = nullptr);
    // The whole table from a VELOMIRA_DRIVES text ("E=/tmp/card;F=/tmp/other");
    // entries that are not a letter, '=' and a folder are skipped.
    static DriveTable FromOverride(std::string_view text);

    // Gives a folder opened by name (a card folder on the command line) a letter of its
    // own: the first free one from D to Y, the letters the card search tries. Returns the
    // letter, or 0 when none is free. Such a letter stays with its folder for as long as
    // the viewer runs; FromMounts carries it over from `previous`.
    char AddFolder(const std::filesystem::path& root);

    std::optional<std::filesystem::path> RootOf(char letter) const override;
    std::optional<DriveEntry> Entry(char letter) const;
    const std::vector<DriveEntry>& Entries() const { return m_entries; }

private:
    std::vector<DriveEntry> m_entries;
};

} // namespace velomira
