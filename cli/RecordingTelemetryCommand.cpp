// velomira-card telemetry REC [--json|--csv|--gpx]: what loading the recording puts
// into the telemetry store. `telemetry --samples ...` reads a sample text file instead.
#include <algorithm>
#include <cstddef>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/RecordingCommands.h"
#include "cli/TelemetryOutput.h"
#include "playback/ffmpeg/RecordingProbe.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryParser.h"

namespace velomira::cli {

int RunTelemetryCommand(std::span<char* const> args)
{
    if (std::any_of(args.begin(), args.end(),
            [](const char* a) { return std::string_view(a) == "--samples"; }))
        return RunTelemetrySamplesCommand(args);

    constexpr std::string_view kUsage = "usage: telemetry REC [--json|--csv|--gpx]";
    std::string path;
    std::string format = "--json";
    for (const char* arg : args) {
        const std::string_view text = arg;
        if (text == "--json" || text == "--csv" || text == "--gpx")
            format = text;
        else if (path.empty() && !text.starts_with("--"))
            path = text;
        else
            return BadInput(kUsage);
    }
    if (path.empty())
        return BadInput(kUsage);
    const std::optional<RecordingInfo> info = ProbeRecording(path);
    const auto pulled
        = info ? ReadTelemetrySamples(path, kTelemetrySampleBufferBytes) : std::nullopt;
    if (!info || !pulled)
        return BadInput(path + ": not a recording (MP4 or AVI) that the player opens");

    // The samples exactly as the player's pull hands them to the loader.
    std::vector<TelemetrySampleBytes> samples;
    samples.reserve(pulled->size());
    for (const RawTelemetrySample& sample : *pulled) {
        TelemetrySampleBytes copy;
        copy.timeMs = static_cast<std::uint32_t>(sample.timeMs);
        copy.bytes.resize(sample.bytes.size());
        std::transform(sample.bytes.begin(), sample.bytes.end(), copy.bytes.begin(),
            [](uint8_t b) { return static_cast<std::byte>(b); });
        samples.push_back(std::move(copy));
    }
    CTextData store;
    LoadTelemetry(
        store, samples, static_cast<std::uint32_t>(std::max<int64_t>(0, info->durationMs)));
    if (format == "--csv")
        WriteOut(TelemetryCsv(store));
    else if (format == "--gpx")
        WriteOut(TelemetryGpx(store));
    else
        WriteOut(TelemetryJson(store));
    if (samples.empty())
        return Negative(path + ": the recording holds no telemetry");
    return kExitSuccess;
}

} // namespace velomira::cli
