#include "library/RecordingFilter.h"

#include <algorithm>
#include <cstdint>

namespace velomira {
namespace {

bool Passes(const RecordingEntry& entry, const ListFilter& filter)
{
    if (entry.kind == kImportedKind)
        return true;
    if (entry.kind == "Normal" || entry.kind == "NORMAL")
        return filter.normalShown;
    if (entry.kind == "Event" || entry.kind == "EVENT")
        return filter.eventShown;
    return false;
}

} // namespace

std::size_t FilterAndSortEntries(RecordingLists& lists, const ListFilter& filter)
{
    struct Keyed {
        std::int64_t key;
        std::size_t index;
    };
    std::vector<Keyed> shown;
    shown.reserve(lists.master.size());
    for (std::size_t i = 0; i < lists.master.size(); ++i) {
        if (Passes(lists.master[i], filter))
            shown.push_back({ StampKey(lists.master[i].path), i });
    }
    // A stable sort gives the order of a neighbour-swapping sort that never swaps equal
    // keys, in O(n log n).
    if (filter.sortDescending)
        std::stable_sort(shown.begin(), shown.end(),
            [](const Keyed& a, const Keyed& b) { return a.key > b.key; });
    else
        std::stable_sort(shown.begin(), shown.end(),
            [](const Keyed& a, const Keyed& b) { return a.key < b.key; });

    lists.visible.clear();
    lists.visible.reserve(shown.size());
    for (const Keyed& k : shown)
        lists.visible.push_back(lists.master[k.index]);
    return lists.visible.size();
}

} // namespace velomira
