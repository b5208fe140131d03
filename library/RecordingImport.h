#pragma once

#include <string>
#include <vector>

#include "library/RecordingEntry.h"

namespace velomira {

struct ListFilter;

// The file name of an imported path (after the last "/" or "\").
std::string_view ImportedFileName(std::string_view path);

// The stamp of an imported file name: the 15 characters after the first "^", or the
// start of the name when it has none.
std::string_view ImportStamp(std::string_view fileName);

// True for a file the import takes: its name ends in .avi or .mp4 (any case) and it opens
// for reading with more than 10 KiB.
bool IsImportableRecording(const std::string& path);

// Replaces the lists with the chosen files (paths as the file dialog gave them, kept as
// they are): each file whose name ends in .avi or .mp4 (any case) and that opens for
// reading with more than 10 KiB goes to the top of the master list with the kind "File".
// Then rebuilds the visible list and returns the number of entries shown.
std::size_t ImportOpenedFiles(
    RecordingLists& lists, const std::vector<std::string>& paths, const ListFilter& filter);

} // namespace velomira
