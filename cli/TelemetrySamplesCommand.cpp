// velomira-card telemetry --samples FILE --duration-ms D [--json|--csv|--gpx|--kml]
#include <filesystem>
#include <limits>
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/TelemetryOutput.h"
#include "telemetry/TelemetrySampleText.h"

namespace velomira::cli {

int RunTelemetrySamplesCommand(std::span<char* const> args)
{
    constexpr std::string_view kUsage
        = "usage: telemetry --samples FILE --duration-ms D [--json|--csv|--gpx|--kml]";
    std::string file;
    std::optional<std::int64_t> durationMs;
    std::string format = "--json";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--samples" && i + 1 < args.size()) {
            file = args[++i];
        } else if (arg == "--duration-ms" && i + 1 < args.size()) {
            durationMs = ParseInteger(args[++i]);
            if (!durationMs || *durationMs < 0
                || *durationMs > std::numeric_limits<std::uint32_t>::max())
                return BadInput("--duration-ms needs a number of milliseconds (0 to 4294967295)");
        } else if (IsTelemetryFormatFlag(arg)) {
            format = arg;
        } else {
            return BadInput(kUsage);
        }
    }
    if (file.empty() || !durationMs)
        return BadInput(kUsage);
    const auto text = ReadWholeFile(file);
    if (!text)
        return BadInput("cannot read " + file);
    std::vector<TelemetrySampleBytes> samples;
    std::string error;
    if (!ParseTelemetrySampleText(*text, samples, error))
        return BadInput(file + ": " + error);

    CTextData store;
    LoadTelemetry(store, samples, static_cast<std::uint32_t>(*durationMs));
    WriteOut(TelemetryText(store, format, std::filesystem::path(file).stem().string()));
    return kExitSuccess;
}

} // namespace velomira::cli
