#pragma once

#include <filesystem>
#include <optional>

namespace velomira {

// Where a drive letter of the viewer lives on Linux: the folder that backs it.
// The drive-letter table realises this over the mount table (or VELOMIRA_DRIVES);
// tests realise it over temporary folders.
class DriveRoots {
public:
    virtual ~DriveRoots() = default;
    // The root folder of drive `letter` ('A'..'Z', upper case), or nothing when the
    // letter is not assigned.
    virtual std::optional<std::filesystem::path> RootOf(char letter) const = 0;
};

} // namespace velomira
