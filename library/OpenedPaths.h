#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/CardSearch.h"

namespace velomira {

// What a path handed to the viewer (command line, drop, a second start) looks like.
enum class OpenedPathKind {
    CardFolder, // opened as the card, as SD-open opens one
    Recording, // imported into the lists, as the Open command imports
    Unplayable, // anything else: the viewer's message for a file it cannot play
};

// A card folder holds an entry named EVENT (any letter case), or a kind folder with at
// least one recording below it. `root` is the folder as a card path ("D:") that `lister`
// lists.
bool LooksLikeCard(std::string_view root, const DirectoryLister& lister);

// Looks at the file system: a folder is a card folder or unplayable; a file the Open
// command would import is a recording; everything else is unplayable.
OpenedPathKind ClassifyOpenedPath(const std::filesystem::path& path);

// What to do with a list of paths. The first path that can be opened decides: a card
// folder opens that card alone, a recording imports every recording given. Paths that
// cannot be opened are collected for the message; openable paths of the other kind
// than the first are left aside.
struct OpeningPlan {
    std::string cardFolder; // empty: no card to open
    std::vector<std::string> recordings; // in the order given
    std::vector<std::string> unplayable;
    std::vector<std::string> leftAside;
};
OpeningPlan PlanOpening(const std::vector<std::string>& paths,
    const std::function<OpenedPathKind(const std::string&)>& classify);

} // namespace velomira
