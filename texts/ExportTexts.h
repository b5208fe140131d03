#pragma once

#include <string>

namespace velomira {

// The texts of the export menu that the video views and the list rows open with a right
// click, and of its results.
enum class ExportText {
    ExportTrack, // the menu entries
    SaveSnapshot,
    CutClip,
    MarkStart,
    MarkEnd,
    SaveClip,
    TrackFileTypes, // the save dialogs' file types
    SnapshotFileTypes,
    Saved, // the results' boxes: %s the file or files written, or what went wrong
    NotSaved,
    Cutting, // the cut's progress
    Cancel,
};

// The text in `language` (Korean, English, Japanese; the device's other languages and
// unknown values read English, since a menu without words is no use).
std::string ExportLabel(ExportText text, int language);

} // namespace velomira
