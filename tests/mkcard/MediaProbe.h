#pragma once

// Reads generated recordings back with libavformat/libavcodec for the tests.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "devtools/mkcard/TelemetrySample.h"

namespace velomira::test {

struct StreamInfo {
    std::string type; // "video", "audio", "data", "subtitle", "unknown"
    std::string codec; // libavcodec's codec name, e.g. "h264", "aac", "pcm_s16le"
    int width = 0;
    int height = 0;
};

// The streams of a file in order; nothing when libavformat cannot open it.
std::optional<std::vector<StreamInfo>> ProbeStreams(const std::filesystem::path& path);

// Every packet of the first data or subtitle stream, with its time in milliseconds.
std::vector<TelemetrySample> ReadTelemetryPackets(const std::filesystem::path& path);

// Decodes the video stream with the given index (0 first video stream, 1 second) and reads
// the frame stamp from each picture, scaled to scaleWidth x scaleHeight RGB32 when those are
// non-zero (as a player would show it), else from the decoded luma. -1 for a picture without
// a readable stamp; the stream ids found go to streamIds.
std::vector<int> DecodeFrameNumbers(const std::filesystem::path& path, int videoIndex,
    std::vector<int>& streamIds, int scaleWidth = 0, int scaleHeight = 0);

// Milliseconds of the file's duration as libavformat reports it, or -1.
long long DurationMs(const std::filesystem::path& path);

} // namespace velomira::test
