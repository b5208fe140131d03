#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "platform/DriveTable.h"

namespace velomira {

// The drives present now: letter -> root folder. With `folderMustExist` (the
// VELOMIRA_DRIVES table, whose letters never leave the table on their own) a letter whose
// folder is gone is not present; the same holds for a folder opened by name.
using PresentDrives = std::map<char, std::filesystem::path>;
PresentDrives PresentDrivesOf(const DriveTable& table, bool folderMustExist,
    const std::function<bool(const std::filesystem::path&)>& folderExists);

// One drive added or removed.
struct DriveChange {
    char letter = 0;
    bool added = false;
};

// What changed between two tables: removals first, then additions, each in letter
// order. A letter whose folder changed counts as removed and added.
std::vector<DriveChange> DiffDrives(const PresentDrives& before, const PresentDrives& after);

} // namespace velomira
