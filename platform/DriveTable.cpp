#include "platform/DriveTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>

namespace velomira {

namespace {

bool IsUnder(std::string_view path, std::string_view folder)
{
    return path == folder
        || (path.size() > folder.size() && path.substr(0, folder.size()) == folder
            && path[folder.size()] == '/');
}

// Mount points of the system itself: never a drive of the viewer.
bool IsSystemMount(std::string_view mountPoint)
{
    static constexpr std::array kSystem = { "/boot", "/efi", "/usr", "/var", "/opt", "/srv", "/tmp",
        "/proc", "/sys", "/dev", "/snap", "/etc", "/bin", "/sbin", "/lib", "/lib64", "/root" };
    if (mountPoint == "/run" || (IsUnder(mountPoint, "/run") && !IsUnder(mountPoint, "/run/media")))
        return true;
    return std::any_of(kSystem.begin(), kSystem.end(),
        [&](const char* folder) { return IsUnder(mountPoint, folder); });
}

bool IsUserMediaFolder(std::string_view mountPoint)
{
    return IsUnder(mountPoint, "/media") || IsUnder(mountPoint, "/run/media")
        || IsUnder(mountPoint, "/mnt");
}

bool IsBlockDevice(std::string_view device)
{
    return device.substr(0, 5) == "/dev/" && device.substr(0, 9) != "/dev/loop";
}

bool IsImageFileSystem(std::string_view fsType)
{
    return fsType == "squashfs" || fsType == "iso9660" || fsType == "udf" || fsType == "erofs";
}

} // namespace

DriveTable DriveTable::FromMounts(
    const std::vector<MountEntry>& mounts, const DeviceFacts& facts, const DriveTable* previous)
{
    DriveTable table;
    std::vector<DriveEntry> plugged;
    std::vector<DriveEntry> others;
    std::set<std::string> devicesSeen;
    for (const MountEntry& mount : mounts) {
        if (mount.mountPoint == "/") {
            if (std::none_of(table.m_entries.begin(), table.m_entries.end(),
                    [](const DriveEntry& e) { return e.letter == 'C'; })) {
                const BlockDeviceFacts f = facts ? facts(mount.device) : BlockDeviceFacts {};
                table.m_entries.push_back(
                    { 'C', "/", mount.device, mount.fsType, f.removable || f.sdCard });
            }
            continue;
        }
        if (mount.pseudo || mount.fsRoot != "/" || IsSystemMount(mount.mountPoint)
            || IsImageFileSystem(mount.fsType) || mount.device.substr(0, 9) == "/dev/loop")
            continue;
        const bool blockDevice = IsBlockDevice(mount.device);
        const BlockDeviceFacts f = blockDevice && facts ? facts(mount.device) : BlockDeviceFacts {};
        const bool removable = f.removable || f.sdCard;
        const bool userMedia = IsUserMediaFolder(mount.mountPoint) || removable;
        if (!userMedia && !blockDevice)
            continue;
        // A device mounted twice gets one letter, at its first mount.
        if (blockDevice && !devicesSeen.insert(mount.device).second)
            continue;
        DriveEntry entry { 0, mount.mountPoint, mount.device, mount.fsType, removable };
        (userMedia ? plugged : others).push_back(std::move(entry));
    }
    // Mounts the previous table knew keep their letters; the rest fill the free ones.
    std::set<char> taken;
    if (previous != nullptr) {
        for (const DriveEntry& known : previous->m_entries) {
            if (known.openedFolder && taken.insert(known.letter).second)
                table.m_entries.push_back(known);
        }
        for (auto* group : { &plugged, &others }) {
            for (DriveEntry& entry : *group) {
                for (const DriveEntry& known : previous->m_entries) {
                    if (known.letter >= 'D' && known.root == entry.root
                        && known.device == entry.device && !taken.count(known.letter)) {
                        entry.letter = known.letter;
                        taken.insert(known.letter);
                        break;
                    }
                }
            }
        }
    }
    char next = 'D';
    for (auto* group : { &plugged, &others }) {
        for (DriveEntry& entry : *group) {
            if (entry.letter == 0) {
                while (next <= 'Z' && taken.count(next))
                    ++next;
                if (next > 'Z')
                    continue;
                entry.letter = next;
                taken.insert(next);
            }
            table.m_entries.push_back(std::move(entry));
        }
    }
    std::stable_sort(table.m_entries.begin(), table.m_entries.end(),
        [](const DriveEntry& a, const DriveEntry& b) { return a.letter < b.letter; });
    return table;
}

DriveTable DriveTable::FromOverride(std::string_view text)
{
    DriveTable table;
    while (!text.empty()) {
        const size_t end = text.find(';');
        std::string_view item = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (item.size() < 3 || item[1] != '=' || !std::isalpha(static_cast<unsigned char>(item[0])))
            continue;
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(item[0])));
        if (table.Entry(letter))
            continue;
        table.m_entries.push_back(
            { letter, std::filesystem::path(std::string(item.substr(2))), "", "", false });
    }
    return table;
}

char DriveTable::AddFolder(const std::filesystem::path& root)
{
    for (char letter = 'D'; letter <= 'Y'; ++letter) {
        if (Entry(letter))
            continue;
        DriveEntry entry { letter, root, "", "", false };
        entry.openedFolder = true;
        const auto place = std::find_if(m_entries.begin(), m_entries.end(),
            [letter](const DriveEntry& e) { return e.letter > letter; });
        m_entries.insert(place, std::move(entry));
        return letter;
    }
    return 0;
}

std::optional<std::filesystem::path> DriveTable::RootOf(char letter) const
{
    const std::optional<DriveEntry> entry = Entry(letter);
    if (!entry)
        return std::nullopt;
    return entry->root;
}

std::optional<DriveEntry> DriveTable::Entry(char letter) const
{
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const DriveEntry& entry : m_entries) {
        if (entry.letter == upper)
            return entry;
    }
    return std::nullopt;
}

} // namespace velomira
