#pragma once

#include <string>
#include <vector>

#include "library/RecordingEntry.h"
#include "platform/DriveRoots.h"

namespace velomira::cli {

// The visible list, one entry a line "date<TAB>time<TAB>kind<TAB>path", or as a JSON array
// of {date, time, kind, path, key}. Card paths are shown as the Linux paths they stand for
// (`drives` translates them); other paths as they are.
std::string RecordingListText(const std::vector<RecordingEntry>& entries, const DriveRoots* drives);
std::string RecordingListJson(const std::vector<RecordingEntry>& entries, const DriveRoots* drives);

} // namespace velomira::cli
