#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velomira {

// What kind of sound a recording carries; PCM plays without an audio decoder.
enum class AudioKind { None, Pcm, Compressed };

// The outputs of the source for one recording, as the player and `velomira-card probe`
// see them. Output names: "Video" per video stream in stream order (front first),
// "Audio" per audio stream, "Text" for the telemetry stream.
struct RecordingInfo {
    std::string container; // "mp4" or "avi"
    std::vector<std::string> outputNames;
    int64_t durationMs = 0;
    struct Size {
        int width = 0;
        int height = 0;
    };
    std::vector<Size> videoSizes; // per "Video" output, front first
    AudioKind audioKind = AudioKind::None;
    // One per "Audio" output, plus 1000 per PCM one: the audio chain follows from it.
    int audioScore = 0;
    bool hasTelemetry = false;
    // Cut short (a power loss) and opened through an index rebuilt from the media data.
    bool rebuilt = false;
};

} // namespace velomira
