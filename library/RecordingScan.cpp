#include "library/RecordingScan.h"

#include <string>

#include "library/RecordingFilter.h"

namespace velomira {
namespace {

// The text between the first "\" of the path and the next one; empty when there is none.
std::string_view KindOfPath(std::string_view path)
{
    const auto first = path.find('\\');
    if (first == std::string_view::npos)
        return {};
    const auto second = path.find('\\', first + 1);
    if (second == std::string_view::npos)
        return {};
    return path.substr(first + 1, second - first - 1);
}

// False when this folder's listing, or one below it, failed.
bool ScanFolder(const std::string& folder, const DirectoryLister& lister,
    std::vector<RecordingEntry>& entries, std::vector<DirectoryItem>& scratch)
{
    bool complete = lister.List(folder, scratch);
    // The recursion reuses `scratch`, so this folder's listing is moved out first.
    const std::vector<DirectoryItem> items = std::move(scratch);
    for (const DirectoryItem& item : items) {
        if (item.isFolder) {
            if (item.name == "." || item.name == "..")
                continue;
            complete = ScanFolder(folder + "\\" + item.name, lister, entries, scratch) && complete;
            continue;
        }
        if (!HasRecordingExtension(item.name))
            continue;
        std::string path = folder + "\\" + item.name;
        const std::string_view kind = KindOfPath(path);
        if (!IsKindFolderName(kind))
            continue;
        RecordingEntry entry;
        FillStampColumns(item.name, entry);
        entry.kind = std::string(kind);
        entry.path = std::move(path);
        entries.push_back(std::move(entry));
    }
    return complete;
}

} // namespace

bool ScanRecordings(
    std::string_view folder, const DirectoryLister& lister, std::vector<RecordingEntry>& entries)
{
    std::vector<DirectoryItem> scratch;
    return ScanFolder(std::string(folder), lister, entries, scratch);
}

CardScanResult RescanCard(RecordingLists& lists, std::string_view cardDrive,
    const DirectoryLister& lister, const ListFilter& filter)
{
    lists.master.clear();
    lists.visible.clear();
    CardScanResult result;
    result.complete = ScanRecordings(cardDrive, lister, lists.master);
    result.shown = FilterAndSortEntries(lists, filter);
    return result;
}

} // namespace velomira
