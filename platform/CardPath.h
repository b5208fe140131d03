#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DriveRoots.h"

namespace velomira {

// Card paths are texts in the viewer's own form, a drive letter and backslashes
// ("E:\SETUP\data_setup.cfg"); they become Linux paths only through ToLinuxPath.

// "%c:\%s": a file in the card's root.
std::string CardRootPath(char letter, std::string_view name);
// "%c:\SETUP\%s": a file in the card's SETUP folder.
std::string CardSetupPath(char letter, std::string_view name);
// "%c:SETUP\%s": the same folder named relative to the drive (whose current folder is its
// root).
std::string CardSetupRelativePath(char letter, std::string_view name);

// Letter case folded the way the card's file system compares names (ASCII letters).
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The Linux path of a card path text: the drive's root folder, then each component matched
// without regard to letter case against what exists (an exact match wins). Components that
// do not exist are kept as written, so a file about to be created gets its name. Nothing
// when the text has no drive letter, the letter has no root, or a component is "." or "..".
std::optional<std::filesystem::path> ToLinuxPath(
    std::string_view cardPath, const DriveRoots& drives);

// The same translation for a path whose names were read from the card's own listings and
// so are spelled as stored: the components are joined without looking anything up.
std::optional<std::filesystem::path> ToLinuxPathAsListed(
    std::string_view cardPath, const DriveRoots& drives);

// A fixed letter table: the command line and tests use it for a card in a given folder.
class FixedDriveRoots : public DriveRoots {
public:
    FixedDriveRoots() = default;
    FixedDriveRoots(char letter, std::filesystem::path root) { Assign(letter, std::move(root)); }
    void Assign(char letter, std::filesystem::path root);
    std::optional<std::filesystem::path> RootOf(char letter) const override;

private:
    std::map<char, std::filesystem::path> m_roots;
};

} // namespace velomira
