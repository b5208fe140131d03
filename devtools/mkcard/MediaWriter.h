#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devtools/mkcard/TelemetrySample.h"

namespace velomira {

enum class Container { Mp4, Avi };
enum class AudioKind { Aac, Pcm, None };

struct VideoSize {
    int width = 0;
    int height = 0;
};

struct RecordingPlan {
    Container container = Container::Mp4;
    uint32_t durationMs = 4000;
    VideoSize front { 1920, 1080 };
    std::optional<VideoSize> rear = VideoSize { 1280, 720 };
    int fps = 30;
    AudioKind audio = AudioKind::Aac;
    bool telemetryStream = true;
    // In time order; samples at or after durationMs are written too.
    std::vector<TelemetrySample> telemetry;
    uint64_t seed = 1;
    std::string frontName = "FRONT";
    std::string rearName = "REAR";
    // MP4 only: the index (moov) goes in front of the media data instead of after it, so
    // a file cut short still opens.
    bool faststart = false;
    // MP4 only: the telemetry as a timed-text track ('tx3g'), each sample behind its 16-bit
    // length, instead of a data track.
    bool timedTextTelemetry = false;
};

struct RecordingResult {
    std::string error; // empty on success
    // The telemetry as a reader of the file gets it: in AVI, whose text stream advances one
    // millisecond per chunk, a sample in the same millisecond as the one before it moves
    // to the next free millisecond.
    std::vector<TelemetrySample> writtenTelemetry;
};

// Encodes and writes one recording: H.264 front (and rear) video with frame stamps, AAC or
// PCM audio (a tone that rises and falls), and the telemetry as a data stream (MP4, time
// base 1/1000, each sample lasting until the next) or a text stream 'txts' (AVI).
RecordingResult WriteRecording(const std::filesystem::path& path, const RecordingPlan& plan);

// Where each telemetry sample of an MP4 recording lies: the byte just past its end, in
// stored order, read from the file's index (a timed-text track's empty samples left out). Nothing
// when the file does not open or has no telemetry stream.
std::optional<std::vector<int64_t>> TelemetrySampleEnds(const std::filesystem::path& path);

// The times the telemetry gets in the given container (see RecordingResult).
std::vector<TelemetrySample> TelemetryAsStored(
    Container container, const std::vector<TelemetrySample>& samples);

} // namespace velomira
