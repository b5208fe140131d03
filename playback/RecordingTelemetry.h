#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velomira {

class CTextData;

// What loading a recording's telemetry gave.
struct RecordingTelemetryLoad {
    std::uint32_t durationMs = 0;
    std::size_t samples = 0; // samples in the recording's telemetry stream
};

// Reads every telemetry sample of the recording at `path` into `store` exactly as loading
// it for playback does (each sample cut to the pull buffer, the timeline built), without
// playing it. Nothing when the file is not a recording the player opens.
std::optional<RecordingTelemetryLoad> LoadRecordingTelemetry(
    const std::string& path, CTextData& store);

} // namespace velomira
