// velomira-card: the command-line companion of the viewer, on the same modules.
// Exit status: 0 success, 1 a negative answer, 2 bad input (one line on stderr).
#include <cstdio>
#include <span>
#include <string_view>

#include "cli/Commands.h"
#include "cli/RecordingCommands.h"
#include "playback/ffmpeg/MediaBackendInfo.h"
#include "texts/AppValues.h"

namespace {

using CommandFunction = int (*)(std::span<char* const> args);

struct Command {
    std::string_view name;
    std::string_view usage;
    CommandFunction run;
};

// One row per command; each command lives in a file of its own.
constexpr Command kCommands[] = {
    { "", "", nullptr },
    { "scan", "scan ROOT [--show normal|event|all] [--ascending] [--json]",
        velomira::cli::RunScanCommand },
    { "import", "import [--json] FILE...", velomira::cli::RunImportCommand },
    { "settings",
        "settings show ROOT [--json] | check ROOT | restore ROOT --language N | set ROOT "
        "OFFSET=VALUE...",
        velomira::cli::RunSettingsCommand },
    { "factory", "factory ROOT [--json]", velomira::cli::RunFactoryCommand },
    { "telemetry",
        "telemetry REC [--json|--csv|--gpx|--kml] | telemetry --samples FILE --duration-ms D "
        "[--json|--csv|--gpx|--kml]",
        velomira::cli::RunTelemetryCommand },
    { "probe", "probe REC [--json]", velomira::cli::RunProbeCommand },
    { "snapshot", "snapshot REC --at MS [--rear] OUT.(jpg|png)",
        velomira::cli::RunSnapshotCommand },
    { "cut", "cut REC --from MS --to MS OUT", velomira::cli::RunCutCommand },
    { "trips", "trips ROOT [--json|--gpx]", velomira::cli::RunTripsCommand },
    { "repair", "repair REC OUT [--reference REF]", velomira::cli::RunRepairCommand },
};

void PrintHelp(std::FILE* out)
{
    std::fputs("Usage: velomira-card COMMAND [ARGS...]\n"
               "       velomira-card --help | --version\n\n"
               "The command-line companion of velomira-viewer: reads a VELOMIRA 6 dashcam's\n"
               "SD card and recordings with the viewer's own modules.\n",
        out);
    bool first = true;
    for (const Command& command : kCommands) {
        if (command.run == nullptr)
            continue;
        if (first)
            std::fputs("\nCommands:\n", out);
        first = false;
        std::fprintf(out, "  %.*s\n", static_cast<int>(command.usage.size()), command.usage.data());
    }
    std::fputs("\nExit status: 0 success, 1 negative answer, 2 bad input.\n", out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintHelp(stderr);
        return 2;
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintHelp(stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("velomira-card %s (%s)\n", velomira::VersionNumber().c_str(),
            velomira::MediaBackendVersions().c_str());
        return 0;
    }
    for (const Command& command : kCommands) {
        if (command.run != nullptr && command.name == first)
            return command.run(std::span<char* const>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "velomira-card: unknown command '%s' (see --help)\n", argv[1]);
    return 2;
}
