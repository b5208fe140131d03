// velomira-card scan ROOT [--show normal|event|all] [--ascending] [--json]
// velomira-card import [--json] FILE...
#include <string>
#include <vector>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/RecordingListOutput.h"
#include "library/RecordingFilter.h"
#include "library/RecordingImport.h"
#include "library/RecordingScan.h"
#include "platform/CardSearch.h"

namespace velomira::cli {

int RunScanCommand(std::span<char* const> args)
{
    std::string root;
    ListFilter filter;
    bool json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--ascending") {
            filter.sortDescending = false;
        } else if (arg == "--show") {
            if (i + 1 >= args.size())
                return BadInput("--show needs normal, event or all");
            const std::string_view show = args[++i];
            if (show == "normal")
                filter = { true, false, filter.sortDescending };
            else if (show == "event")
                filter = { false, true, filter.sortDescending };
            else if (show == "all")
                filter = { true, true, filter.sortDescending };
            else
                return BadInput("--show needs normal, event or all");
        } else if (arg.starts_with("--") || !root.empty()) {
            return BadInput("usage: scan ROOT [--show normal|event|all] [--ascending] [--json]");
        } else {
            root = arg;
        }
    }
    if (root.empty())
        return BadInput("usage: scan ROOT [--show normal|event|all] [--ascending] [--json]");
    const auto drives = CardDrive(root);
    if (!drives)
        return kExitBadInput;

    CardDirectoryLister lister(*drives);
    RecordingLists lists;
    const CardScanResult scan
        = RescanCard(lists, std::string(1, kCardLetter) + ":", lister, filter);
    WriteOut(json ? RecordingListJson(lists.visible, &*drives)
                  : RecordingListText(lists.visible, &*drives));
    if (!scan.complete)
        return Negative("the card could not be read to its end: the list is incomplete");
    return kExitSuccess;
}

int RunImportCommand(std::span<char* const> args)
{
    bool json = false;
    std::vector<std::string> files;
    for (const char* arg : args) {
        if (std::string_view(arg) == "--json")
            json = true;
        else
            files.emplace_back(arg);
    }
    if (files.empty())
        return BadInput("usage: import [--json] FILE...");
    RecordingLists lists;
    ImportOpenedFiles(lists, files, ListFilter {});
    WriteOut(json ? RecordingListJson(lists.visible, nullptr)
                  : RecordingListText(lists.visible, nullptr));
    return kExitSuccess;
}

} // namespace velomira::cli
