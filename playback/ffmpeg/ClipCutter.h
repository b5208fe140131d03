#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace velomira {

// What cutting a clip gave.
struct ClipCut {
    enum class Status { Written, Cancelled, BadInput, Failed };
    Status status = Status::Failed;
    std::string message; // why it failed, for the user or the command line
    std::int64_t startMs = 0; // where the clip starts in the recording (its first keyframe)
    std::int64_t endMs = 0;
};

// Called now and then with the share done (0 to 1); returning false cancels the cut.
using ClipProgress = std::function<bool(double done)>;

// Copies the part of the recording at `input` from `fromMs` to `toMs` into `output`
// without decoding: from the front picture's keyframe at or before `fromMs`, every stream
// the player uses (both pictures, the sound, the telemetry), times rebased to start at 0,
// in the recording's own container. The clip is written under a temporary name in the
// output's folder and renamed over `output` only when complete, so a cancelled or failed
// cut leaves nothing under that name (and an older file of that name untouched).
ClipCut CutClip(const std::string& input, std::int64_t fromMs, std::int64_t toMs,
    const std::string& output, const ClipProgress& progress = {});

} // namespace velomira
