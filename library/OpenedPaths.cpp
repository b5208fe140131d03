#include "library/OpenedPaths.h"

#include <system_error>

#include "library/RecordingImport.h"
#include "library/RecordingScan.h"
#include "platform/CardPath.h"

namespace velomira {

bool LooksLikeCard(std::string_view root, const DirectoryLister& lister)
{
    std::vector<DirectoryItem> items;
    lister.List(root, items);
    for (const DirectoryItem& item : items) {
        if (SameNameIgnoringCase(item.name, "EVENT"))
            return true;
    }
    for (const DirectoryItem& item : items) {
        if (!item.isFolder || !IsKindFolderName(item.name))
            continue;
        std::vector<RecordingEntry> found;
        ScanRecordings(std::string(root) + "\\" + item.name, lister, found);
        if (!found.empty())
            return true;
    }
    return false;
}

OpenedPathKind ClassifyOpenedPath(const std::filesystem::path& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        // The folder is looked at as the root of a drive of its own.
        const FixedDriveRoots drive('D', path);
        const CardDirectoryLister lister(drive);
        return LooksLikeCard("D:", lister) ? OpenedPathKind::CardFolder
                                           : OpenedPathKind::Unplayable;
    }
    return IsImportableRecording(path.string()) ? OpenedPathKind::Recording
                                                : OpenedPathKind::Unplayable;
}

OpeningPlan PlanOpening(const std::vector<std::string>& paths,
    const std::function<OpenedPathKind(const std::string&)>& classify)
{
    OpeningPlan plan;
    bool cardFirst = false;
    bool decided = false;
    for (const std::string& path : paths) {
        const OpenedPathKind kind = classify(path);
        if (kind == OpenedPathKind::Unplayable) {
            plan.unplayable.push_back(path);
            continue;
        }
        if (!decided) {
            decided = true;
            cardFirst = kind == OpenedPathKind::CardFolder;
            if (cardFirst) {
                plan.cardFolder = path;
                continue;
            }
        }
        if (!cardFirst && kind == OpenedPathKind::Recording)
            plan.recordings.push_back(path);
        else
            plan.leftAside.push_back(path);
    }
    return plan;
}

} // namespace velomira
