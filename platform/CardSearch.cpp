#include "platform/CardSearch.h"

#include <filesystem>
#include <system_error>

#include "platform/CardPath.h"

namespace velomira {

std::optional<std::string> FindCardDrive(const DriveRoots& drives)
{
    for (char letter = 'D'; letter <= 'Y'; ++letter) {
        if (!drives.RootOf(letter))
            continue;
        const auto path = ToLinuxPath(CardRootPath(letter, "EVENT"), drives);
        std::error_code error;
        if (path && std::filesystem::exists(std::filesystem::symlink_status(*path, error)))
            return std::string(1, letter) + ":";
    }
    return std::nullopt;
}

bool CardDirectoryLister::List(std::string_view cardFolder, std::vector<DirectoryItem>& items) const
{
    items.clear();
    const auto folder = ToLinuxPath(cardFolder, m_drives);
    if (!folder)
        return false;
    std::error_code error;
    std::filesystem::directory_iterator it(*folder, error);
    if (error)
        return false;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        // The card's file system cannot hold a backslash in a name; such a name (possible
        // on a folder standing in for a card) would be misread as a path.
        if (name.find('\\') != std::string::npos)
            continue;
        std::error_code statusError;
        const bool isFolder = it->is_directory(statusError) && !it->is_symlink(statusError);
        items.push_back({ std::move(name), isFolder });
    }
    return !error;
}

} // namespace velomira
