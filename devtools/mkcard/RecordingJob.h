#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "devtools/mkcard/MediaWriter.h"
#include "devtools/mkcard/NmeaSentenceWriter.h"
#include "devtools/mkcard/PowerCut.h"

namespace velomira {

enum class TelemetrySource { Drive, None, File };

// Everything the recording command takes.
struct RecordingOptions {
    std::filesystem::path out;
    uint32_t durationMs = 4000;
    VideoSize front { 1920, 1080 };
    std::optional<VideoSize> rear = VideoSize { 1280, 720 };
    int fps = 30;
    AudioKind audio = AudioKind::Aac;
    TelemetrySource telemetry = TelemetrySource::Drive;
    std::filesystem::path telemetryFile; // with TelemetrySource::File
    int gSensorRateHz = 10;
    bool gnrmc = false;
    std::string route = "seoul";
    std::optional<int> cutPercent; // keep this share of the file's bytes
    bool faststart = false; // MP4: index in front, so a cut file still opens
    // MP4: what a power loss leaves (no index, the media data's size at its placeholder).
    std::optional<PowerCutPoint> powerCut;
    bool timedTextTelemetry = false; // MP4: telemetry as a timed-text track
    std::optional<uint64_t> randomBytes; // write this many random bytes instead
    uint64_t seed = 1;
    std::filesystem::path telemetryOut; // empty: none
    CivilTime start { 2024, 3, 15, 10, 10, 10, 0 }; // clock of the drive's first sample
    uint32_t driveOffsetMs = 0; // where in its drive the recording starts
};

// The container named by the file's extension (.mp4 or .avi in any case).
std::optional<Container> ContainerForPath(const std::filesystem::path& path);

// Writes the recording the options describe. Returns an empty string or what went wrong.
std::string MakeRecording(const RecordingOptions& options);

// Writes what a power loss leaves of the complete MP4 `complete` (see WritePowerCut) to
// `out`, and when `telemetryOut` is given the samples of `written` (the complete one's
// telemetry) whose bytes lie wholly before the cut. Returns an empty string or the error.
std::string WritePowerLossCut(const std::filesystem::path& complete,
    const std::vector<TelemetrySample>& written, const std::filesystem::path& out,
    const PowerCutPoint& point, const std::filesystem::path& telemetryOut);

// Writes bytes to path through a temporary file in the same folder and a rename, so the
// final name never holds a partly written file.
std::string WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

} // namespace velomira
