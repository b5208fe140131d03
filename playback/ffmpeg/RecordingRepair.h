#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velomira {

// What was recovered of one track of a recording cut short.
struct RepairedTrack {
    std::string kind; // "video", "audio" or "telemetry"
    std::string codec; // the sample description's format, e.g. "avc1"
    std::uint64_t samples = 0;
    std::int64_t durationMs = 0;
};

struct RepairResult {
    enum class Status { Written, NothingRebuilt, BadInput, Cancelled, Failed };
    Status status = Status::Failed;
    std::string message; // why it failed, for the user or the command line
    std::string referencePath; // the complete recording the index was rebuilt from
    std::vector<RepairedTrack> tracks;
};

// True when `path` is an MP4 without an index whose media data box is there: what a power
// loss leaves. Reads only the top-level box headers.
bool LooksCutShort(const std::string& path);

// Called now and then with the bytes written and the total; returning false cancels.
using RepairProgress = std::function<bool(std::uint64_t doneBytes, std::uint64_t totalBytes)>;

// Writes a complete MP4 of the recording `input` cut short (its media data as it is, the
// rebuilt index at the end) to `output`, with the index rebuilt from `referencePath` or,
// when that is empty, from the nearest complete recording of the same layout. The copy
// goes to a new temporary file in the output's folder, renamed over `output` only when
// whole. `input` is only read. BadInput: `input` is not an MP4 cut short (or is
// `output`); NothingRebuilt: no reference of its layout, no recognisable sample.
RepairResult RepairRecording(const std::string& input, const std::string& output,
    const std::string& referencePath = {}, const RepairProgress& progress = {});

} // namespace velomira
