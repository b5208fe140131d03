// velomira-card repair REC OUT [--reference REF]
#include <cstdio>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/RecordingCommands.h"
#include "playback/ffmpeg/RecordingRepair.h"

namespace velomira::cli {

int RunRepairCommand(std::span<char* const> args)
{
    constexpr std::string_view kUsage = "usage: repair REC OUT [--reference REF]";
    std::string recording;
    std::string out;
    std::string reference;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--reference" && i + 1 < args.size())
            reference = args[++i];
        else if (arg.starts_with("--"))
            return BadInput(kUsage);
        else if (recording.empty())
            recording = arg;
        else if (out.empty())
            out = arg;
        else
            return BadInput(kUsage);
    }
    if (recording.empty() || out.empty())
        return BadInput(kUsage);
    const RepairResult repair = RepairRecording(recording, out, reference);
    if (repair.status == RepairResult::Status::BadInput)
        return BadInput(repair.message);
    if (repair.status != RepairResult::Status::Written)
        return Negative(repair.message);
    std::string text = out + "\nreference: " + repair.referencePath + "\n";
    for (const RepairedTrack& track : repair.tracks)
        text += track.kind + " " + track.codec + ": " + std::to_string(track.samples) + " samples, "
            + std::to_string(track.durationMs) + " ms\n";
    WriteOut(text);
    return kExitSuccess;
}

} // namespace velomira::cli
