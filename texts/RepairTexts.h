#pragma once

#include <string>

namespace velomira {

// The texts about recordings cut short by a power loss: the note on a recording that
// plays through its rebuilt index, and the export menu's repaired copy.
enum class RepairText {
    RebuiltNote, // the list row's and the end time's tooltip
    SaveRepairedCopy, // the menu entry and the folder dialog's title
    Repairing, // the copy's progress
};

// The text in `language` (Korean, English, Japanese; other languages read English).
std::string RepairLabel(RepairText text, int language);

} // namespace velomira
