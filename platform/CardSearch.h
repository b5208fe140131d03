#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DriveRoots.h"

namespace velomira {

// The card's drive ("E:"): the first letter from D to Y whose root holds an entry named
// EVENT in any letter case. A, B, C and Z are never tried.
std::optional<std::string> FindCardDrive(const DriveRoots& drives);

// One entry of a folder listing.
struct DirectoryItem {
    std::string name;
    bool isFolder = false;
};

// Lists a card folder named by a card path text ("E:\NORMAL"), in the file system's
// order. The scan of the recordings walks the card through it.
class DirectoryLister {
public:
    virtual ~DirectoryLister() = default;
    // False when the folder cannot be listed, or its listing failed part-way (a card
    // pulled out, a read error); `items` then holds what was read before the failure.
    virtual bool List(std::string_view cardFolder, std::vector<DirectoryItem>& items) const = 0;
};

// Lists the real folder that the card path translates to. Symbolic links are listed as
// files, so a link loop can never make a scan endless; names holding a backslash are left
// out.
class CardDirectoryLister : public DirectoryLister {
public:
    explicit CardDirectoryLister(const DriveRoots& drives)
        : m_drives(drives)
    { }
    bool List(std::string_view cardFolder, std::vector<DirectoryItem>& items) const override;

private:
    const DriveRoots& m_drives;
};

} // namespace velomira
