#include "tools/FormatPlan.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace velomira {

namespace {

struct ClusterRow {
    double belowMiB; // the row applies from the previous row's bound up to this one
    ClusterOption option;
};

constexpr std::array<ClusterRow, 5> kClusterTable { {
    { 2048.0, { "/a:4096 ", 8 } },
    { 4096.0, { "/a:8192 ", 16 } },
    { 8192.0, { "/a:16K ", 32 } },
    { 16384.0, { "/a:32K ", 64 } },
    { 32768.0, { "/a:64K ", 128 } },
} };

constexpr std::uint64_t kSectorBytes = 512;
constexpr std::uint64_t kReservedSectors = 32;
constexpr std::uint64_t kFatCount = 2;
constexpr std::uint64_t kFatEntryBytes = 4;

} // namespace

double CapacityMiB(const DriveGeometry& geometry)
{
    const double bytes = static_cast<double>(geometry.totalClusters)
        * static_cast<double>(geometry.sectorsPerCluster)
        * static_cast<double>(geometry.bytesPerSector);
    return bytes / 1048576.0;
}

std::optional<ClusterOption> ClusterOptionFor(double capacityMiB)
{
    if (!(capacityMiB > 1.0))
        return std::nullopt;
    for (const ClusterRow& row : kClusterTable) {
        if (capacityMiB < row.belowMiB)
            return row.option;
    }
    return std::nullopt;
}

std::uint64_t Fat32ClusterCount(std::uint64_t sizeBytes, int sectorsPerCluster)
{
    const std::uint64_t sectors = sizeBytes / kSectorBytes;
    if (sectorsPerCluster <= 0 || sectors <= kReservedSectors)
        return 0;
    // Each cluster costs its sectors plus one entry in each FAT; the FATs are whole
    // sectors, so allow one more sector per FAT before dividing.
    const std::uint64_t spc = static_cast<std::uint64_t>(sectorsPerCluster);
    const std::uint64_t usable = sectors - kReservedSectors;
    const std::uint64_t perClusterBytes = spc * kSectorBytes + kFatCount * kFatEntryBytes;
    const std::uint64_t usableBytes = usable * kSectorBytes;
    const std::uint64_t fatSlack = kFatCount * kSectorBytes;
    if (usableBytes <= fatSlack)
        return 0;
    // mkfs.fat's own rounding (FAT size, data area alignment) costs a few clusters more;
    // the margin keeps the estimate at or below what it makes.
    constexpr std::uint64_t kRoundingMargin = 8;
    const std::uint64_t estimate = (usableBytes - fatSlack) / perClusterBytes;
    return estimate > kRoundingMargin ? estimate - kRoundingMargin : 0;
}

std::vector<std::string> SystemDevicesOf(const std::vector<MountEntry>& mounts)
{
    static constexpr std::array<std::string_view, 10> kSystemFolders { "/usr", "/var", "/boot",
        "/home", "/etc", "/opt", "/srv", "/root", "/nix", "/snap" };
    std::vector<std::string> devices;
    for (const MountEntry& mount : mounts) {
        const std::string_view point = mount.mountPoint;
        const bool system = point == "/"
            || std::any_of(kSystemFolders.begin(), kSystemFolders.end(), [point](auto folder) {
                   return point == folder
                       || (point.starts_with(folder) && point.size() > folder.size()
                           && point[folder.size()] == '/');
               });
        if (system && mount.device.starts_with("/dev/")
            && std::find(devices.begin(), devices.end(), mount.device) == devices.end())
            devices.push_back(mount.device);
    }
    return devices;
}

FormatRefusal CheckFormatTarget(const FormatTarget& target,
    const std::vector<std::string>& systemDevices,
    const std::function<std::string(const std::string&)>& diskOf)
{
    if (target.device.empty() || target.blockDevice == target.imageFile)
        return FormatRefusal::NoSingleDevice;
    if (!target.removable)
        return FormatRefusal::NotRemovable;
    if (target.imageFile)
        return FormatRefusal::None;
    const std::string disk = diskOf ? diskOf(target.device) : target.device;
    for (const std::string& system : systemDevices) {
        if (system.empty())
            continue;
        const std::string systemDisk = diskOf ? diskOf(system) : system;
        if (system == target.device || systemDisk == disk)
            return FormatRefusal::SystemDevice;
    }
    return FormatRefusal::None;
}

std::optional<std::string> FormatImageFor(std::string_view text, char letter)
{
    const auto upper
        = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    while (!text.empty()) {
        const size_t end = text.find(';');
        const std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (item.size() >= 3 && item[1] == '=' && upper(item[0]) == upper(letter))
            return std::string(item.substr(2));
    }
    return std::nullopt;
}

std::vector<ProgramStep> PlanFormat(
    const FormatTarget& target, const ClusterOption& option, const FormatPrograms& programs)
{
    std::vector<ProgramStep> steps;
    const bool mounted = !target.imageFile;
    if (mounted) {
        if (!programs.udisksctl.empty())
            steps.push_back({ ProgramStep::Role::Unmount, programs.udisksctl,
                { "unmount", "--block-device", target.device } });
        else
            steps.push_back({ ProgramStep::Role::Unmount, programs.umount, { target.device } });
    }
    std::vector<std::string> mkfs { "-F", "32", "-S", "512", "-s",
        std::to_string(option.sectorsPerCluster), target.device };
    if (!target.writable && !target.imageFile && !programs.pkexec.empty()) {
        mkfs.insert(mkfs.begin(), programs.mkfs);
        steps.push_back({ ProgramStep::Role::Format, programs.pkexec, std::move(mkfs) });
    } else {
        steps.push_back({ ProgramStep::Role::Format, programs.mkfs, std::move(mkfs) });
    }
    if (mounted) {
        if (!programs.udisksctl.empty())
            steps.push_back({ ProgramStep::Role::Mount, programs.udisksctl,
                { "mount", "--block-device", target.device } });
        else
            steps.push_back(
                { ProgramStep::Role::Mount, programs.mount, { target.device, target.root } });
    }
    return steps;
}

std::string DescribeFormatTarget(const FormatTarget& target)
{
    char size[32];
    std::snprintf(size, sizeof size, "%.1f GB", static_cast<double>(target.sizeBytes) / 1e9);
    std::string text = target.root;
    if (!target.label.empty())
        text += ", '" + target.label + "'";
    text += ", ";
    text += size;
    text += ", " + target.device;
    return text;
}

bool IsSameFormatTarget(const FormatTarget& confirmed, const FormatTarget& now)
{
    return !now.device.empty() && now.device == confirmed.device
        && now.deviceNumber == confirmed.deviceNumber && now.sizeBytes == confirmed.sizeBytes
        && now.fileSystemId == confirmed.fileSystemId;
}

std::optional<std::string> MountPointFromReport(std::string_view report)
{
    const std::string_view marker = " at ";
    const size_t at = report.find(marker);
    if (!report.starts_with("Mounted ") || at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = report.substr(at + marker.size());
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r'))
        rest.remove_suffix(1);
    if (rest.ends_with('.'))
        rest.remove_suffix(1);
    if (rest.empty())
        return std::nullopt;
    return std::string(rest);
}

FormatOutcome RunFormatSteps(
    const std::vector<ProgramStep>& steps, const RunProgram& run, std::string_view root)
{
    FormatOutcome outcome;
    outcome.root = std::string(root);
    const auto succeeded
        = [](const ProgramResult& result) { return result.started && result.exitCode == 0; };
    const auto mountStep = std::find_if(steps.begin(), steps.end(),
        [](const ProgramStep& step) { return step.role == ProgramStep::Role::Mount; });
    const auto mountAgain = [&] {
        const ProgramResult result = run(*mountStep);
        outcome.mounted = succeeded(result);
        if (outcome.mounted) {
            if (const auto point = MountPointFromReport(result.output))
                outcome.root = *point;
        }
    };
    for (const ProgramStep& step : steps) {
        if (step.role == ProgramStep::Role::Mount) {
            mountAgain();
            outcome.formatted = true;
            return outcome;
        }
        const bool ok = succeeded(run(step));
        if (step.role == ProgramStep::Role::Unmount) {
            if (!ok)
                return outcome; // still mounted, nothing changed
            outcome.mounted = false;
            continue;
        }
        if (!ok) {
            if (!outcome.mounted && mountStep != steps.end())
                mountAgain();
            return outcome;
        }
    }
    outcome.formatted = true;
    return outcome;
}

} // namespace velomira
