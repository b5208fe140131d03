#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "playback/recovery/H264Headers.h"

namespace velomira::recovery {

enum class TrackKind { Video, Audio, Telemetry };
enum class TelemetryFraming { Raw, TimedText };

// One track of a complete recording, as far as rebuilding another recording of the same
// layout needs it: the boxes copied into the rebuilt index, the sample durations, and what
// its samples look like.
struct ReferenceTrack {
    TrackKind kind = TrackKind::Video;
    std::string codec; // sample description format, e.g. "avc1", "mp4a", "tx3g", "gpmd"
    uint32_t timescale = 0;
    // Whole boxes, copied as they are (their durations are rewritten).
    std::vector<std::byte> tkhd, elst, mdhd, hdlr, stsd;
    std::vector<std::vector<std::byte>> mediaHeaders; // minf children other than stbl
    bool hasSyncTable = false;

    std::vector<uint32_t> durations; // per sample, in the track's timescale
    std::vector<uint64_t> offsets; // per sample, in the reference file
    std::vector<uint32_t> sizes;
    uint32_t largestSize = 0;

    // Video.
    H264Parameters h264;
    int slicesPerPicture = 0; // 0: it varies

    // Audio: the first bytes frames start with (learned from the reference), frame sizes,
    // and whether frames end in an AAC END element followed by zero padding.
    std::array<bool, 256> audioFirstBytes {};
    bool audioFirstByteMatters = false;
    bool audioEndElement = false;
    bool audioHeaderChecked = false; // frames start with a well-formed element header
    uint32_t audioMinSize = 0, audioMaxSize = 0;
    double audioMeanSize = 0, audioSizeSpread = 1;

    TelemetryFraming framing = TelemetryFraming::Raw;

    // Samples per second in the reference.
    double Rate() const;
};

struct ReferenceRecording {
    std::vector<std::byte> mvhd; // whole box
    uint32_t movieTimescale = 1000;
    std::vector<ReferenceTrack> tracks;
};

// Reads a complete recording's index (and the first bytes of its samples) from its bytes.
// Nothing, with the reason in `why`, when it has no index or a track the rebuilder does
// not know (video other than H.264, more than one audio track, ...).
std::optional<ReferenceRecording> ReadReferenceRecording(
    std::span<const std::byte> file, std::string& why);

// The duration of a recovered track's sample `index`, from the reference's durations (the
// last one again past their end).
uint32_t ReferenceDuration(const ReferenceTrack& track, size_t index);

} // namespace velomira::recovery
