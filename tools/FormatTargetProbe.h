#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DriveTable.h"
#include "tools/FormatPlan.h"

namespace velomira {

// What the system says about the device behind a drive letter: the block device of its
// mount, or the disk image that VELOMIRA_FORMAT_IMAGES (`imagesText`) names for the
// letter. An image must be a regular file; it is never a block device.
FormatTarget ProbeFormatTarget(const DriveEntry& entry, std::string_view imagesText);

// The geometry of the target's volume: statvfs of its mount, or the size of an image.
std::optional<DriveGeometry> ReadGeometry(const FormatTarget& target);

// The whole disk of a partition ("/dev/sda1" -> "/dev/sda") by sysfs; the device itself
// otherwise.
std::string DiskOfDevice(const std::string& device);

// The devices of this machine's system mounts and its swap.
std::vector<std::string> ReadSystemDevices();

} // namespace velomira
