#pragma once

#include <string_view>
#include <vector>

#include "library/RecordingEntry.h"
#include "platform/CardSearch.h"

namespace velomira {

// Appends one entry per recording found below the card folder `folder` ("E:"), depth
// first in the listing's order: a file whose name ends in .avi or .mp4 (any case) below a
// kind folder of the root. The kind is the first folder of the path; date and time come
// from the first 15 characters of the file name. A folder whose listing fails adds what
// was read of it. Returns false when any listing failed: the entries are then not all
// the card holds.
bool ScanRecordings(
    std::string_view folder, const DirectoryLister& lister, std::vector<RecordingEntry>& entries);

struct ListFilter;

struct CardScanResult {
    std::size_t shown = 0; // entries of the visible list
    bool complete = true; // every folder of the card was listed to its end
};

// Empties both lists, scans the card of `cardDrive` into the master list and rebuilds the
// visible list.
CardScanResult RescanCard(RecordingLists& lists, std::string_view cardDrive,
    const DirectoryLister& lister, const ListFilter& filter);

} // namespace velomira
