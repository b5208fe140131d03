#pragma once

// Mount tables of a desktop whose user plugs in a USB stick and the dashcam's card, in
// the /proc/self/mountinfo format, and the block-device facts that go with them.
#include <string>

#include "platform/DriveTable.h"
#include "platform/MountTableReader.h"

namespace velomira::test {

struct StickAndCardMounts {
    // Folder the three user mounts sit in; real folders when a test reads the card.
    std::string media = "/media/user";
    bool other = true;
    bool stick = true;
    bool card = true;

    std::string Text() const
    {
        std::string text = "28 1 254:0 / / rw,relatime - ext4 /dev/nvme0n1p2 rw\n"
                           "35 28 0:40 / /run rw,nosuid,nodev - tmpfs tmpfs rw\n";
        if (other)
            text += "39 28 8:49 / " + media + "/OTHER rw,nosuid - vfat /dev/sdd1 rw\n";
        if (stick)
            text += "40 28 8:17 / " + media + "/STICK rw,nosuid - vfat /dev/sdb1 rw\n";
        if (card)
            text += "41 28 8:33 / " + media + "/CARD rw,nosuid - vfat /dev/sdc1 rw\n";
        return text;
    }

    DriveTable Read(const DriveTable* previous) const
    {
        const auto mounts = ParseMountTable(Text());
        const auto removable = [](const std::string&) { return BlockDeviceFacts { true, false }; };
        return DriveTable::FromMounts(
            mounts.value_or(std::vector<MountEntry> {}), removable, previous);
    }
};

} // namespace velomira::test
