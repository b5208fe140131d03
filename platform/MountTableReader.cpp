#include "platform/MountTableReader.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <libmount/libmount.h>

namespace velomira {

namespace {

struct TableDeleter {
    void operator()(libmnt_table* table) const { mnt_unref_table(table); }
};
struct IterDeleter {
    void operator()(libmnt_iter* iter) const { mnt_free_iter(iter); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TablePtr = std::unique_ptr<libmnt_table, TableDeleter>;

std::string Text(const char* value)
{
    return value != nullptr ? value : "";
}

std::vector<MountEntry> Entries(libmnt_table* table)
{
    std::vector<MountEntry> mounts;
    std::unique_ptr<libmnt_iter, IterDeleter> iter(mnt_new_iter(MNT_ITER_FORWARD));
    if (!iter)
        return mounts;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table, iter.get(), &fs) == 0) {
        MountEntry entry;
        entry.mountPoint = Text(mnt_fs_get_target(fs));
        entry.device = Text(mnt_fs_get_srcpath(fs));
        if (entry.device.empty())
            entry.device = Text(mnt_fs_get_source(fs));
        entry.fsType = Text(mnt_fs_get_fstype(fs));
        const std::string root = Text(mnt_fs_get_root(fs));
        entry.fsRoot = root.empty() ? "/" : root;
        entry.pseudo = mnt_fs_is_pseudofs(fs) != 0;
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

std::string ReadFirstLine(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

} // namespace

std::optional<std::vector<MountEntry>> ParseMountTable(std::string_view text)
{
    // libmount reads from a stream; the text is handed over as one in memory.
    std::string copy(text);
    if (copy.empty())
        return std::vector<MountEntry> {};
    std::unique_ptr<std::FILE, FileCloser> stream(fmemopen(copy.data(), copy.size(), "r"));
    TablePtr table(mnt_new_table());
    if (!stream || !table)
        return std::nullopt;
    if (mnt_table_parse_stream(table.get(), stream.get(), "mount table") != 0)
        return std::nullopt;
    return Entries(table.get());
}

std::vector<MountEntry> ReadMountTable()
{
    TablePtr table(mnt_new_table());
    if (!table || mnt_table_parse_file(table.get(), "/proc/self/mountinfo") != 0)
        return {};
    return Entries(table.get());
}

BlockDeviceFacts ReadBlockDeviceFacts(const std::string& device, const std::string& sysfsRoot)
{
    namespace fs = std::filesystem;
    BlockDeviceFacts facts;
    std::error_code error;
    std::string name = device;
    if (sysfsRoot == "/sys" && device.rfind("/dev/", 0) == 0) {
        const fs::path real = fs::canonical(device, error);
        if (!error)
            name = real.string();
    }
    name = fs::path(name).filename().string();
    if (name.empty())
        return facts;
    fs::path disk = fs::path(sysfsRoot) / "class" / "block" / name;
    if (fs::exists(disk / "partition", error)) {
        const fs::path real = fs::canonical(disk, error);
        if (error)
            return facts;
        disk = real.parent_path();
    }
    facts.removable = ReadFirstLine(disk / "removable") == "1";
    facts.sdCard = ReadFirstLine(disk / "device" / "type") == "SD";
    return facts;
}

DriveTable CurrentDriveTable(const DriveTable* previous)
{
    if (const char* text = std::getenv("VELOMIRA_DRIVES"); text != nullptr)
        return DriveTable::FromOverride(text);
    return DriveTable::FromMounts(
        ReadMountTable(), [](const std::string& device) { return ReadBlockDeviceFacts(device); },
        previous);
}

} // namespace velomira
