#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "playback/ffmpeg/RecordingInfo.h"

namespace velomira {

// The source's view of a recording without playing it: for `velomira-card probe`, the
// loader's checks and the benchmarks.
std::optional<RecordingInfo> ProbeRecording(const std::string& path);

struct RawTelemetrySample {
    int32_t timeMs = 0;
    std::vector<uint8_t> bytes;
};

enum class TelemetryReading { Index, Packets };

// Every telemetry sample of the recording in file order, each cut to `capacity` bytes,
// as the player's text-sample pull hands them out. Nothing when the source rejects the
// file; an empty list without a telemetry stream. `Packets` reads through the
// demultiplexer even when the container has a sample index.
std::optional<std::vector<RawTelemetrySample>> ReadTelemetrySamples(
    const std::string& path, uint32_t capacity, TelemetryReading reading = TelemetryReading::Index);

// Opens the recording once and hands each telemetry sample, cut to `capacity` bytes, to
// `sample` in file order; returns what the source shows of the recording (nothing when it
// rejects the file). The same reading as ReadTelemetrySamples without keeping the samples.
std::optional<RecordingInfo> VisitTelemetrySamples(const std::string& path, uint32_t capacity,
    const std::function<void(const uint8_t* bytes, uint32_t size, int32_t timeMs)>& sample);

} // namespace velomira
