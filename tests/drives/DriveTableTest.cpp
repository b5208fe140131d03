#include "platform/DriveTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "drives/StickAndCardMounts.h"
#include "platform/CardSearch.h"
#include "platform/DriveChanges.h"
#include "platform/MountTableReader.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

// A desktop with many system mounts, snaps, a loop-mounted image and a bind mount
// before the media the user plugged in.
constexpr const char* kDesktopMountInfo = R"(22 28 0:21 / /proc rw,relatime - proc proc rw
23 28 0:22 / /sys rw,relatime - sysfs sysfs rw
24 28 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw,size=12334248k
28 1 254:0 / / rw,relatime - ext4 /dev/nvme0n1p2 rw
29 28 259:1 / /boot rw,relatime - ext4 /dev/nvme0n1p1 rw
30 29 259:3 / /boot/efi rw,relatime - vfat /dev/nvme0n1p3 rw
31 28 259:4 / /var rw,relatime - ext4 /dev/nvme0n1p4 rw
32 28 259:5 / /home rw,relatime - ext4 /dev/nvme0n1p5 rw
33 28 7:0 / /snap/core22/1033 ro,nodev,relatime - squashfs /dev/loop0 ro
34 28 7:1 / /snap/firefox/3600 ro,nodev,relatime - squashfs /dev/loop1 ro
35 28 0:40 / /run rw,nosuid,nodev - tmpfs tmpfs rw,size=1000k
36 28 7:2 / /mnt/iso ro,relatime - iso9660 /dev/loop2 ro
37 28 8:17 / /data rw,relatime - ext4 /dev/sdb1 rw
38 28 259:5 /user/shared /srv/shared rw,relatime - ext4 /dev/nvme0n1p5 rw
39 35 8:33 / /media/user/USBSTICK rw,nosuid,nodev - vfat /dev/sdc1 rw
40 35 179:1 / /run/media/user/SDCARD rw,nosuid,nodev - exfat /dev/mmcblk0p1 rw
41 28 8:49 / /backup rw,relatime - ext4 /dev/sdd1 rw
42 28 0:50 / /mnt/share rw,relatime - cifs //server/share rw
43 28 259:5 /user/pictures /home/user/pictures rw,relatime - ext4 /dev/nvme0n1p5 rw
44 28 0:51 / /tmp rw,relatime - tmpfs tmpfs rw
45 28 8:65 / /usr/local rw,relatime - ext4 /dev/sde1 rw
46 28 8:81 / /archive rw,relatime - xfs /dev/sdf1 rw
47 28 8:97 / /card2 rw,relatime - vfat /dev/sdg1 rw
48 28 8:17 / /data-again rw,relatime - ext4 /dev/sdb1 rw
)";

BlockDeviceFacts Facts(const std::string& device)
{
    static const std::map<std::string, BlockDeviceFacts> facts = {
        { "/dev/sdc1", { true, false } },
        { "/dev/mmcblk0p1", { false, true } }, // built-in slot: removable 0, type SD
        { "/dev/sdg1", { true, false } },
    };
    const auto it = facts.find(device);
    return it != facts.end() ? it->second : BlockDeviceFacts {};
}

DriveTable DesktopTable()
{
    const auto mounts = ParseMountTable(kDesktopMountInfo);
    EXPECT_TRUE(mounts.has_value());
    return DriveTable::FromMounts(mounts.value_or(std::vector<MountEntry> {}), Facts);
}

TEST(DriveLetters, PluggedMediaComeFirstThenOtherDisksInMountOrder)
{
    const DriveTable table = DesktopTable();
    const struct {
        char letter;
        const char* root;
        const char* device;
        const char* fsType;
        bool removable;
    } expected[] = {
        { 'C', "/", "/dev/nvme0n1p2", "ext4", false },
        { 'D', "/media/user/USBSTICK", "/dev/sdc1", "vfat", true },
        { 'E', "/run/media/user/SDCARD", "/dev/mmcblk0p1", "exfat", true },
        { 'F', "/mnt/share", "//server/share", "cifs", false },
        { 'G', "/card2", "/dev/sdg1", "vfat", true },
        { 'H', "/home", "/dev/nvme0n1p5", "ext4", false },
        { 'I', "/data", "/dev/sdb1", "ext4", false },
        { 'J', "/backup", "/dev/sdd1", "ext4", false },
        { 'K', "/archive", "/dev/sdf1", "xfs", false },
    };
    ASSERT_EQ(table.Entries().size(), std::size(expected));
    for (const auto& e : expected) {
        SCOPED_TRACE(e.letter);
        const auto entry = table.Entry(e.letter);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->root, e.root);
        EXPECT_EQ(entry->device, e.device);
        EXPECT_EQ(entry->fsType, e.fsType);
        EXPECT_EQ(entry->removable, e.removable);
    }
}

TEST(DriveLetters, SystemPseudoImageAndBindMountsGetNoLetter)
{
    const DriveTable table = DesktopTable();
    for (const DriveEntry& entry : table.Entries()) {
        for (const char* never :
            { "/boot", "/boot/efi", "/var", "/snap/core22/1033", "/run", "/mnt/iso", "/srv/shared",
                "/home/user/pictures", "/tmp", "/usr/local", "/proc", "/data-again" })
            EXPECT_NE(entry.root, never) << entry.letter;
    }
}

TEST(DriveLetters, ManySystemMountsNeverUseUpTheLettersBeforeTheCard)
{
    std::string text = "1 0 254:0 / / rw - ext4 /dev/sda1 rw\n";
    for (int i = 0; i < 60; ++i) {
        text += std::to_string(100 + i) + " 1 7:" + std::to_string(i) + " / /snap/app"
            + std::to_string(i) + "/1 ro - squashfs /dev/loop" + std::to_string(i) + " ro\n";
        text += std::to_string(200 + i) + " 1 0:" + std::to_string(i + 60) + " / /run/user/"
            + std::to_string(i) + " rw - tmpfs tmpfs rw\n";
    }
    text += "400 1 8:33 / /media/user/CARD rw - vfat /dev/sdc1 rw\n";
    const auto mounts = ParseMountTable(text);
    ASSERT_TRUE(mounts);
    const DriveTable table = DriveTable::FromMounts(*mounts, Facts);
    ASSERT_TRUE(table.Entry('D'));
    EXPECT_EQ(table.Entry('D')->root, "/media/user/CARD");
}

TEST(DriveLetters, LettersStopAtZ)
{
    std::vector<MountEntry> mounts;
    for (int i = 0; i < 40; ++i)
        mounts.push_back(
            { "/media/stick" + std::to_string(i), "/dev/sd" + std::to_string(i), "vfat" });
    const DriveTable table = DriveTable::FromMounts(mounts, Facts);
    EXPECT_EQ(table.Entries().size(), 23u); // D..Z
    EXPECT_EQ(table.Entries().back().letter, 'Z');
}

TEST(DriveLetters, AMountKeepsItsLetterWhileOthersComeAndGo)
{
    test::StickAndCardMounts mounts;
    const DriveTable first = mounts.Read(nullptr);
    EXPECT_EQ(first.RootOf('E'), "/media/user/STICK");
    EXPECT_EQ(first.RootOf('F'), "/media/user/CARD");

    mounts.stick = false;
    const DriveTable second = mounts.Read(&first);
    EXPECT_EQ(second.RootOf('F'), "/media/user/CARD");
    EXPECT_FALSE(second.Entry('E'));
    // Without the table in force the letters are handed out afresh.
    EXPECT_EQ(mounts.Read(nullptr).RootOf('E'), "/media/user/CARD");

    // A new mount takes the first free letter; the others stay.
    mounts.other = false;
    mounts.stick = true;
    const DriveTable third = mounts.Read(&second);
    EXPECT_EQ(third.RootOf('D'), "/media/user/STICK");
    EXPECT_EQ(third.RootOf('F'), "/media/user/CARD");
    EXPECT_EQ(third.Entries().front().letter, 'C');
}

TEST(DriveLetters, AFolderOpenedByNameKeepsItsLetterAndLeavesWithItsFolder)
{
    test::StickAndCardMounts mounts;
    DriveTable table = mounts.Read(nullptr); // D other, E stick, F card
    mounts.stick = false;
    table = mounts.Read(&table);
    EXPECT_EQ(table.AddFolder("/home/user/card-copy"), 'E');
    EXPECT_TRUE(table.Entry('E')->openedFolder);

    // The stick comes back and takes a new letter: the folder keeps E.
    mounts.stick = true;
    table = mounts.Read(&table);
    EXPECT_EQ(table.RootOf('E'), "/home/user/card-copy");
    EXPECT_EQ(table.RootOf('F'), "/media/user/CARD");
    EXPECT_EQ(table.RootOf('G'), "/media/user/STICK");

    // Unlike a mount, the folder is present only while it exists.
    const PresentDrives present = PresentDrivesOf(
        table, false, [](const std::filesystem::path& p) { return p != "/home/user/card-copy"; });
    EXPECT_EQ(present.count('E'), 0u);
    EXPECT_EQ(present.count('F'), 1u);

    // Only D to Y, the letters the card search tries, are handed out.
    DriveTable full;
    while (full.AddFolder("/f") != 0) { }
    EXPECT_EQ(full.Entries().back().letter, 'Y');
    EXPECT_EQ(full.Entries().size(), 22u);
}

TEST(DriveOverride, ReplacesTheWholeTable)
{
    const struct {
        const char* text;
        std::map<char, std::string> roots;
    } cases[] = {
        { "E=/tmp/card;F=/tmp/other", { { 'E', "/tmp/card" }, { 'F', "/tmp/other" } } },
        { "e=/tmp/lower", { { 'E', "/tmp/lower" } } },
        { "E=/a;E=/b", { { 'E', "/a" } } },
        { ";;G=/g;", { { 'G', "/g" } } },
        { "E/tmp;7=/x;H=;=/y;I=/i", { { 'I', "/i" } } },
        { "", {} },
    };
    for (const auto& c : cases) {
        const DriveTable table = DriveTable::FromOverride(c.text);
        EXPECT_EQ(table.Entries().size(), c.roots.size()) << c.text;
        for (const auto& [letter, root] : c.roots)
            EXPECT_EQ(table.RootOf(letter), std::filesystem::path(root)) << c.text;
        EXPECT_FALSE(table.RootOf('C')) << c.text;
    }
}

TEST(DriveOverride, TheCardSearchFindsTheFirstCardOnTheTable)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir / "other" / "event");
    std::filesystem::create_directories(dir / "card" / "EVENT");
    std::filesystem::create_directories(dir / "system" / "EVENT");
    const DriveTable table = DriveTable::FromOverride("C=" + (dir / "system").string()
        + ";F=" + (dir / "other").string() + ";E=" + (dir / "card").string());
    EXPECT_EQ(FindCardDrive(table), std::optional<std::string>("E:"));
}

TEST(MountTableText, UnreadableTextGivesNoMounts)
{
    const auto empty = ParseMountTable("");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
    // Lines libmount cannot parse are skipped or refused, never a crash.
    for (const char* text :
        { "garbage\n", "1 2 3\n", "\n\n\n", "36 35 98:0 /mnt1 /mnt2 rw - \n" }) {
        const auto mounts = ParseMountTable(text);
        if (mounts) {
            for (const MountEntry& m : *mounts)
                EXPECT_FALSE(m.mountPoint == "/" && m.device.empty()) << text;
        }
    }
}

TEST(BlockDevices, RemovableAndSdFactsComeFromTheDisk)
{
    namespace fs = std::filesystem;
    test::TempDir sys;
    auto write = [](const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text << "\n";
    };
    // sdc: a USB stick with a partition; mmcblk0: an SD card in a built-in slot.
    write(sys / "devices/usb/sdc/removable", "1");
    write(sys / "devices/usb/sdc/sdc1/partition", "1");
    write(sys / "devices/mmc/mmcblk0/removable", "0");
    write(sys / "devices/mmc/mmcblk0/device/type", "SD");
    write(sys / "devices/mmc/mmcblk0/mmcblk0p1/partition", "1");
    write(sys / "devices/sata/sda/removable", "0");
    fs::create_directories(sys / "class/block");
    fs::create_directory_symlink(sys / "devices/usb/sdc/sdc1", sys / "class/block/sdc1");
    fs::create_directory_symlink(
        sys / "devices/mmc/mmcblk0/mmcblk0p1", sys / "class/block/mmcblk0p1");
    fs::create_directory_symlink(sys / "devices/sata/sda", sys / "class/block/sda");

    const std::string root = sys.Path().string();
    EXPECT_TRUE(ReadBlockDeviceFacts("/dev/sdc1", root).removable);
    EXPECT_FALSE(ReadBlockDeviceFacts("/dev/sdc1", root).sdCard);
    EXPECT_FALSE(ReadBlockDeviceFacts("/dev/mmcblk0p1", root).removable);
    EXPECT_TRUE(ReadBlockDeviceFacts("/dev/mmcblk0p1", root).sdCard);
    EXPECT_FALSE(ReadBlockDeviceFacts("/dev/sda", root).removable);
    EXPECT_FALSE(ReadBlockDeviceFacts("/dev/nosuch", root).removable);
    EXPECT_FALSE(ReadBlockDeviceFacts("", root).removable);
}

} // namespace
} // namespace velomira
