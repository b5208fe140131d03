#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DriveTable.h"

namespace velomira {

// Parses mount-table text (the /proc/self/mountinfo format, or fstab/mtab) with
// libmount. Nothing when libmount cannot read it.
std::optional<std::vector<MountEntry>> ParseMountTable(std::string_view text);

// The mount table of this process (/proc/self/mountinfo).
std::vector<MountEntry> ReadMountTable();

// sysfs facts of a block device ("/dev/sdb1" looks at its disk sdb); `sysfsRoot` is
// "/sys" outside tests.
BlockDeviceFacts ReadBlockDeviceFacts(
    const std::string& device, const std::string& sysfsRoot = "/sys");

// The drive table of this machine: VELOMIRA_DRIVES when it is set, else the mount
// table with sysfs facts, keeping the letters of `previous` for mounts still there.
DriveTable CurrentDriveTable(const DriveTable* previous = nullptr);

} // namespace velomira
