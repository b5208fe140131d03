// velomira-card telemetry REC [--json|--csv|--gpx|--kml]: what loading the recording puts
// into the telemetry store. `telemetry --samples ...` reads a sample text file instead.
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/RecordingCommands.h"
#include "cli/TelemetryOutput.h"
#include "playback/RecordingTelemetry.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryParser.h"

namespace velomira::cli {

int RunTelemetryCommand(std::span<char* const> args)
{
    if (std::any_of(args.begin(), args.end(),
            [](const char* a) { return std::string_view(a) == "--samples"; }))
        return RunTelemetrySamplesCommand(args);

    constexpr std::string_view kUsage = "usage: telemetry REC [--json|--csv|--gpx|--kml]";
    std::string path;
    std::string format = "--json";
    for (const char* arg : args) {
        const std::string_view text = arg;
        if (IsTelemetryFormatFlag(text))
            format = text;
        else if (path.empty() && !text.starts_with("--"))
            path = text;
        else
            return BadInput(kUsage);
    }
    if (path.empty())
        return BadInput(kUsage);
    CTextData store;
    const auto load = LoadRecordingTelemetry(path, store);
    if (!load)
        return BadInput(path + ": not a recording (MP4 or AVI) that the player opens");
    WriteOut(TelemetryText(store, format, std::filesystem::path(path).stem().string()));
    if (load->samples == 0)
        return Negative(path + ": the recording holds no telemetry");
    return kExitSuccess;
}

} // namespace velomira::cli
