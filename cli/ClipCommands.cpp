// velomira-card snapshot REC --at MS [--rear] OUT.(jpg|png)
// velomira-card cut REC --from MS --to MS OUT
#include <string>

#include "cli/CommandSupport.h"
#include "cli/RecordingCommands.h"
#include "export/SnapshotFile.h"
#include "playback/ffmpeg/ClipCutter.h"

namespace velomira::cli {

int RunSnapshotCommand(std::span<char* const> args)
{
    constexpr std::string_view kUsage = "usage: snapshot REC --at MS [--rear] OUT.(jpg|png)";
    std::string recording;
    std::string out;
    std::optional<std::int64_t> atMs;
    bool rear = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--at" && i + 1 < args.size())
            atMs = ParseInteger(args[++i]);
        else if (arg == "--rear")
            rear = true;
        else if (arg.starts_with("--"))
            return BadInput(kUsage);
        else if (recording.empty())
            recording = arg;
        else if (out.empty())
            out = arg;
        else
            return BadInput(kUsage);
    }
    if (recording.empty() || out.empty() || !atMs || *atMs < 0)
        return BadInput(kUsage);
    std::string error;
    if (!SnapshotRecording(recording, rear ? 1 : 0, *atMs, out, error))
        return Negative(error);
    WriteOut(out + "\n");
    return kExitSuccess;
}

int RunCutCommand(std::span<char* const> args)
{
    constexpr std::string_view kUsage = "usage: cut REC --from MS --to MS OUT";
    std::string recording;
    std::string out;
    std::optional<std::int64_t> fromMs;
    std::optional<std::int64_t> toMs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--from" && i + 1 < args.size())
            fromMs = ParseInteger(args[++i]);
        else if (arg == "--to" && i + 1 < args.size())
            toMs = ParseInteger(args[++i]);
        else if (arg.starts_with("--"))
            return BadInput(kUsage);
        else if (recording.empty())
            recording = arg;
        else if (out.empty())
            out = arg;
        else
            return BadInput(kUsage);
    }
    if (recording.empty() || out.empty() || !fromMs || !toMs)
        return BadInput(kUsage);
    const ClipCut cut = CutClip(recording, *fromMs, *toMs, out);
    if (cut.status == ClipCut::Status::BadInput)
        return BadInput(cut.message);
    if (cut.status != ClipCut::Status::Written)
        return Negative(cut.message);
    WriteOut(out + " " + std::to_string(cut.startMs) + " " + std::to_string(cut.endMs) + "\n");
    return kExitSuccess;
}

} // namespace velomira::cli
