#include "platform/DriveChanges.h"

namespace velomira {

PresentDrives PresentDrivesOf(const DriveTable& table, bool folderMustExist,
    const std::function<bool(const std::filesystem::path&)>& folderExists)
{
    PresentDrives present;
    for (const DriveEntry& entry : table.Entries()) {
        if ((folderMustExist || entry.openedFolder) && !folderExists(entry.root))
            continue;
        present.emplace(entry.letter, entry.root);
    }
    return present;
}

std::vector<DriveChange> DiffDrives(const PresentDrives& before, const PresentDrives& after)
{
    std::vector<DriveChange> changes;
    for (const auto& [letter, root] : before) {
        const auto now = after.find(letter);
        if (now == after.end() || now->second != root)
            changes.push_back({ letter, false });
    }
    for (const auto& [letter, root] : after) {
        const auto then = before.find(letter);
        if (then == before.end() || then->second != root)
            changes.push_back({ letter, true });
    }
    return changes;
}

} // namespace velomira
