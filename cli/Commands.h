#pragma once

#include <span>

namespace velomira::cli {

// Each takes the arguments after its name and returns the exit status.
int RunScanCommand(std::span<char* const> args);
int RunImportCommand(std::span<char* const> args);
int RunSettingsCommand(std::span<char* const> args);
int RunFactoryCommand(std::span<char* const> args);
// `telemetry --samples FILE --duration-ms D [--json|--csv|--gpx]`.
int RunTelemetrySamplesCommand(std::span<char* const> args);

} // namespace velomira::cli
