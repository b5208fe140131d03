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

void ScanFolder(const std::string& folder, const DirectoryLister& lister,
    std::vector<RecordingEntry>& entries, std::vector<DirectoryItem>& scratch)
{
    if (!lister.List(folder, scratch))
        return;
    // The recursion reuses `scratch`, so this folder's listing is moved out first.
    const std::vector<DirectoryItem> items = std::move(scratch);
    for (const DirectoryItem& item : items) {
        if (item.isFolder) {
            if (item.name == "." || item.name == "..")
                continue;
            ScanFolder(folder + "\\" + item.name, lister, entries, scratch);
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
}

} // namespace

void ScanRecordings(
    std::string_view folder, const DirectoryLister& lister, std::vector<RecordingEntry>& entries)
{
    std::vector<DirectoryItem> scratch;
    ScanFolder(std::string(folder), lister, entries, scratch);
}

std::size_t RescanCard(RecordingLists& lists, std::string_view cardDrive,
    const DirectoryLister& lister, const ListFilter& filter)
{
    lists.master.clear();
    lists.visible.clear();
    ScanRecordings(cardDrive, lister, lists.master);
    return FilterAndSortEntries(lists, filter);
}

} // namespace velomira
