#pragma once

#include <cstddef>

#include "library/RecordingEntry.h"

namespace velomira {

// What the list window shows and in which order.
struct ListFilter {
    bool normalShown = true;
    bool eventShown = true;
    bool sortDescending = true; // newest first
};

// Rebuilds the visible list from the master list: imported files always, Normal/NORMAL
// while normal recordings are shown, Event/EVENT while event recordings are shown, never
// any other kind; ordered by StampKey, entries with equal keys in master-list order.
// Returns the number of entries shown.
std::size_t FilterAndSortEntries(RecordingLists& lists, const ListFilter& filter);

} // namespace velomira
