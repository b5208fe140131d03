#pragma once

#include <span>

namespace velomira::cli {

// The commands on recordings, through the player's source. Each takes the arguments
// after its name and returns the exit status.

// `probe REC [--json]`.
int RunProbeCommand(std::span<char* const> args);
// `telemetry REC [--json|--csv|--gpx]`; hands `telemetry --samples ...` on to
// RunTelemetrySamplesCommand.
int RunTelemetryCommand(std::span<char* const> args);
// `snapshot REC --at MS [--rear] OUT.(jpg|png)`.
int RunSnapshotCommand(std::span<char* const> args);
// `trips ROOT [--json|--gpx]`.
int RunTripsCommand(std::span<char* const> args);
// `cut REC --from MS --to MS OUT`.
int RunCutCommand(std::span<char* const> args);
// `repair REC OUT [--reference REF]`: a complete copy of a recording cut short.
int RunRepairCommand(std::span<char* const> args);

} // namespace velomira::cli
