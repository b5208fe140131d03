#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velomira {

// One row of the recording lists. The path is what playback opens: a card path text
// ("E:\NORMAL\20240315_101010_F.mp4") for a scanned card, the file's own path for an
// imported file.
struct RecordingEntry {
    std::string date; // "YYYY-MM-DD" from the stamp, unchecked
    std::string time; // "HH:MM:SS"
    std::string kind; // the kind folder as spelled on the card, or "File"
    std::string path;
    bool operator==(const RecordingEntry&) const = default;
};

inline constexpr std::string_view kImportedKind = "File";

// The six kind folders, spelled exactly.
bool IsKindFolderName(std::string_view name);

// True when the last four characters, upper-cased, are ".AVI" or ".MP4".
bool HasRecordingExtension(std::string_view name);

// Date and time columns from a 15-character stamp YYYYMMDD?HHMMSS taken as it stands;
// missing characters give empty parts ("abc.MP4" gives "abc.-MP-4" and "::").
void FillStampColumns(std::string_view stamp, RecordingEntry& entry);

// The sort key: value(D) x 1000000 + value(H), with D and H read from the characters
// before the last seven of the path's last 22, as the C library's string-to-integer
// conversion reads them.
std::int64_t StampKey(std::string_view path);

// The C library's string-to-integer conversion of the start of `text` (white space, a
// sign, digits); 0 when no digit comes first; saturates instead of overflowing.
std::int64_t LeadingInteger(std::string_view text);

// The lists of the list window: every entry in the master list, the entries that pass
// the filter, in order, in the visible list.
struct RecordingLists {
    std::vector<RecordingEntry> master;
    std::vector<RecordingEntry> visible;
};

} // namespace velomira
