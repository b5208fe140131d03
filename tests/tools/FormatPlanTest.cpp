// The format's plan: cluster size by capacity, the devices never formatted, the programs
// and their argument lists, and the order in which a failing step stops the rest.
#include "tools/FormatPlan.h"

#include <gtest/gtest.h>

namespace velomira {
namespace {

struct CapacityCase {
    double mib;
    const char* option; // nullptr: the command stops
    int sectorsPerCluster;
};

TEST(FormatClusterTable, OptionFollowsCapacity)
{
    const CapacityCase cases[] = {
        { 0.5, nullptr, 0 }, { 1.0, nullptr, 0 }, { 1.001, "/a:4096 ", 8 },
        { 1900.0, "/a:4096 ", 8 }, { 2047.999, "/a:4096 ", 8 }, { 2048.0, "/a:8192 ", 16 },
        { 4095.9, "/a:8192 ", 16 }, { 4096.0, "/a:16K ", 32 }, { 8192.0, "/a:32K ", 64 },
        { 15000.0, "/a:32K ", 64 }, { 16384.0, "/a:64K ", 128 }, { 30000.0, "/a:64K ", 128 },
        { 32767.99, "/a:64K ", 128 }, { 32768.0, nullptr, 0 },
        { 65536.0, nullptr, 0 }, // a 64 GiB card
    };
    for (const CapacityCase& c : cases) {
        const auto option = ClusterOptionFor(c.mib);
        if (c.option == nullptr) {
            EXPECT_FALSE(option) << c.mib;
            continue;
        }
        ASSERT_TRUE(option) << c.mib;
        EXPECT_EQ(option->text, c.option) << c.mib;
        EXPECT_EQ(option->sectorsPerCluster, c.sectorsPerCluster) << c.mib;
    }
}

TEST(FormatClusterTable, CapacityComesFromTheGeometryInDoublePrecision)
{
    // 2,048 MiB exactly as 4 KiB clusters, and a card just above 32 GiB that 32-bit
    // arithmetic would wrap.
    EXPECT_DOUBLE_EQ(CapacityMiB({ 8, 512, 0, 524288 }), 2048.0);
    EXPECT_DOUBLE_EQ(CapacityMiB({ 64, 512, 0, 1048577 }), 32768.0 + 1.0 / 32);
    EXPECT_DOUBLE_EQ(CapacityMiB({}), 0.0);
}

TEST(FormatClusterCount, MatchesWhatMkfsFatMakesAndTheFat32Minimum)
{
    // mkfs.fat 4.2 gives a 300 MiB volume 76,643 clusters of 4 KiB and a 2 GiB one
    // 261,885 of 8 KiB; the estimate may be a little low, never high.
    const struct {
        std::uint64_t bytes;
        int spc;
        std::uint64_t mkfs;
    } cases[] = { { 300ull << 20, 8, 76643 }, { 2048ull << 20, 16, 261885 } };
    for (const auto& c : cases) {
        const std::uint64_t count = Fat32ClusterCount(c.bytes, c.spc);
        EXPECT_LE(count, c.mkfs) << c.bytes;
        EXPECT_GE(count + 16, c.mkfs) << c.bytes;
    }
    EXPECT_LT(Fat32ClusterCount(100ull << 20, 8), kFat32MinimumClusters);
    EXPECT_EQ(Fat32ClusterCount(0, 8), 0u);
    EXPECT_EQ(Fat32ClusterCount(1 << 20, 0), 0u);
}

FormatTarget RemovableCard()
{
    FormatTarget target;
    target.letter = 'E';
    target.root = "/media/u/CARD";
    target.device = "/dev/sdb1";
    target.removable = true;
    target.blockDevice = true;
    target.writable = true;
    return target;
}

std::string DiskOf(const std::string& device)
{
    // sdXN -> sdX, mmcblkNpM -> mmcblkN
    const auto p = device.find('p', 9);
    if (device.starts_with("/dev/mmcblk") && p != std::string::npos)
        return device.substr(0, p);
    std::string disk = device;
    while (!disk.empty() && std::isdigit(static_cast<unsigned char>(disk.back())))
        disk.pop_back();
    return disk;
}

TEST(FormatRefusals, OnlyARemovableNonSystemDeviceIsFormatted)
{
    const std::vector<std::string> system { "/dev/sda2", "/dev/nvme0n1p3" };
    struct Case {
        const char* name;
        void (*change)(FormatTarget&);
        FormatRefusal expected;
    } cases[] = {
        { "removable card", [](FormatTarget&) {}, FormatRefusal::None },
        { "fixed disk", [](FormatTarget& t) { t.removable = false; }, FormatRefusal::NotRemovable },
        { "no device", [](FormatTarget& t) { t.device.clear(); }, FormatRefusal::NoSingleDevice },
        { "not a block device", [](FormatTarget& t) { t.blockDevice = false; },
            FormatRefusal::NoSingleDevice },
        { "the system's partition", [](FormatTarget& t) { t.device = "/dev/sda2"; },
            FormatRefusal::SystemDevice },
        { "another partition of the system's disk", [](FormatTarget& t) { t.device = "/dev/sda1"; },
            FormatRefusal::SystemDevice },
        { "the system's whole disk", [](FormatTarget& t) { t.device = "/dev/sda"; },
            FormatRefusal::SystemDevice },
        { "an SD card in a built-in slot", [](FormatTarget& t) { t.device = "/dev/mmcblk0p1"; },
            FormatRefusal::None },
        { "an image file",
            [](FormatTarget& t) {
                t.blockDevice = false;
                t.imageFile = true;
            },
            FormatRefusal::None },
        { "an image that is not removable",
            [](FormatTarget& t) {
                t.blockDevice = false;
                t.imageFile = true;
                t.removable = false;
            },
            FormatRefusal::NotRemovable },
    };
    for (const Case& c : cases) {
        FormatTarget target = RemovableCard();
        c.change(target);
        EXPECT_EQ(CheckFormatTarget(target, system, DiskOf), c.expected) << c.name;
    }
}

TEST(FormatRefusals, SystemDevicesAreThoseOfTheSystemsOwnMounts)
{
    const std::vector<MountEntry> mounts {
        { "/", "/dev/sda2", "ext4" },
        { "/boot/efi", "/dev/sda1", "vfat" },
        { "/home", "/dev/sdc1", "ext4" },
        { "/homework", "/dev/sdd1", "ext4" },
        { "/media/u/CARD", "/dev/sdb1", "vfat" },
        { "/proc", "proc", "proc", "/", true },
        { "/var/lib/x", "/dev/sda2", "ext4" },
    };
    EXPECT_EQ(SystemDevicesOf(mounts),
        (std::vector<std::string> { "/dev/sda2", "/dev/sda1", "/dev/sdc1" }));
}

TEST(FormatImages, LetterPicksItsImage)
{
    const std::string_view text = "e=/tmp/a.img;F=/tmp/b c.img;bad;G=";
    EXPECT_EQ(FormatImageFor(text, 'E'), "/tmp/a.img");
    EXPECT_EQ(FormatImageFor(text, 'F'), "/tmp/b c.img");
    EXPECT_FALSE(FormatImageFor(text, 'G'));
    EXPECT_FALSE(FormatImageFor(text, 'D'));
    EXPECT_FALSE(FormatImageFor("", 'E'));
}

using Role = ProgramStep::Role;

TEST(FormatSteps, ArgumentListsPerDesktop)
{
    const ClusterOption option = *ClusterOptionFor(3000); // 8 KiB clusters
    const std::vector<std::string> mkfs { "-F", "32", "-S", "512", "-s", "16", "/dev/sdb1" };
    FormatPrograms plain;
    plain.mkfs = "/sbin/mkfs.fat";
    EXPECT_EQ(PlanFormat(RemovableCard(), option, plain),
        (std::vector<ProgramStep> {
            { Role::Unmount, "umount", { "/dev/sdb1" } },
            { Role::Format, "/sbin/mkfs.fat", mkfs },
            { Role::Mount, "mount", { "/dev/sdb1", "/media/u/CARD" } },
        }));

    FormatPrograms desktop = plain;
    desktop.udisksctl = "/usr/bin/udisksctl";
    desktop.pkexec = "/usr/bin/pkexec";
    FormatTarget userCard = RemovableCard();
    userCard.writable = false;
    std::vector<std::string> raised = mkfs;
    raised.insert(raised.begin(), "/sbin/mkfs.fat");
    EXPECT_EQ(PlanFormat(userCard, option, desktop),
        (std::vector<ProgramStep> {
            { Role::Unmount, "/usr/bin/udisksctl", { "unmount", "--block-device", "/dev/sdb1" } },
            { Role::Format, "/usr/bin/pkexec", raised },
            { Role::Mount, "/usr/bin/udisksctl", { "mount", "--block-device", "/dev/sdb1" } },
        }));

    FormatTarget image = RemovableCard();
    image.blockDevice = false;
    image.imageFile = true;
    image.device = "/tmp/card image.img";
    image.writable = false;
    EXPECT_EQ(PlanFormat(image, *ClusterOptionFor(100), desktop),
        (std::vector<ProgramStep> { { Role::Format, "/sbin/mkfs.fat",
            { "-F", "32", "-S", "512", "-s", "8", "/tmp/card image.img" } } }));
}

struct StepScript {
    Role failing; // the step that fails
    bool failAtAll;
    std::vector<Role> expectedRuns;
    bool formatted;
    bool mounted;
};

TEST(FormatSteps, AFailingStepStopsTheRestAndTheCardIsMountedAgain)
{
    const std::vector<ProgramStep> steps = PlanFormat(RemovableCard(), *ClusterOptionFor(100), {});
    const StepScript scripts[] = {
        { Role::Unmount, false, { Role::Unmount, Role::Format, Role::Mount }, true, true },
        { Role::Unmount, true, { Role::Unmount }, false, true },
        { Role::Format, true, { Role::Unmount, Role::Format, Role::Mount }, false, true },
        { Role::Mount, true, { Role::Unmount, Role::Format, Role::Mount }, true, false },
    };
    for (const StepScript& script : scripts) {
        std::vector<Role> ran;
        const FormatOutcome outcome = RunFormatSteps(
            steps,
            [&](const ProgramStep& step) {
                ran.push_back(step.role);
                ProgramResult result { true, 0, {} };
                if (script.failAtAll && step.role == script.failing)
                    result.exitCode = 1;
                return result;
            },
            "/media/u/CARD");
        EXPECT_EQ(ran, script.expectedRuns) << static_cast<int>(script.failing);
        EXPECT_EQ(outcome.formatted, script.formatted) << static_cast<int>(script.failing);
        EXPECT_EQ(outcome.mounted, script.mounted) << static_cast<int>(script.failing);
    }
}

TEST(FormatSteps, ProgramNotStartedIsAFailure)
{
    const std::vector<ProgramStep> steps
        = { { Role::Format, "mkfs.fat", { "-F", "32", "/tmp/x.img" } } };
    EXPECT_FALSE(RunFormatSteps(
        steps, [](const ProgramStep&) { return ProgramResult {}; }, "/r")
                     .formatted);
    EXPECT_TRUE(RunFormatSteps(
        steps,
        [](const ProgramStep&) {
            return ProgramResult { true, 0, {} };
        },
        "/r")
                    .formatted);
}

TEST(FormatSteps, UdisksMayMountTheCardElsewhere)
{
    FormatPrograms desktop;
    desktop.udisksctl = "udisksctl";
    const auto steps = PlanFormat(RemovableCard(), *ClusterOptionFor(100), desktop);
    const FormatOutcome outcome = RunFormatSteps(
        steps,
        [](const ProgramStep& step) {
            ProgramResult result { true, 0, {} };
            if (step.role == Role::Mount)
                result.output = "Mounted /dev/sdb1 at /media/u/NO NAME.\n";
            return result;
        },
        "/media/u/CARD");
    EXPECT_EQ(outcome.root, "/media/u/NO NAME");

    EXPECT_EQ(MountPointFromReport("Mounted /dev/sdb1 at /run/media/u/A B\n"), "/run/media/u/A B");
    EXPECT_FALSE(MountPointFromReport("Error mounting /dev/sdb1: busy"));
    EXPECT_FALSE(MountPointFromReport("Mounted /dev/sdb1 at .\n"));
}

} // namespace
} // namespace velomira
