#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "playback/recovery/MovieBoxWriter.h"

namespace velomira::recovery {

// What an MP4 file's top-level boxes say about it.
struct FileShape {
    bool hasIndex = false; // a complete 'moov'
    bool hasMediaData = false;
    uint64_t mediaDataBox = 0; // offset of the 'mdat' header
    uint64_t mediaDataStart = 0; // first byte after it
    uint64_t mediaDataEnd = 0; // end of the box as declared, or of the file
};
FileShape ReadFileShape(std::span<const std::byte> file);

// A recording cut short, made whole in memory: read as the bytes of the file up to
// `dataEnd`, with `mediaDataHeader` over the file's own 'mdat' header at `mediaDataBox`,
// followed by `movieBox`. The media data stays where it is in the file.
struct RebuiltIndex {
    std::string failure; // empty on success: why nothing could be rebuilt
    uint64_t mediaDataBox = 0;
    std::vector<std::byte> mediaDataHeader;
    uint64_t dataEnd = 0;
    std::vector<std::byte> movieBox;
    std::vector<TrackSummary> tracks;
    std::vector<RecoveredSample> samples;

    bool Ok() const { return failure.empty(); }
    uint64_t Size() const { return dataEnd + movieBox.size(); }
};

// Rebuilds the index of `cut` (an MP4 without one) from the complete recording
// `reference` of the same layout. Fails when `cut` has an index or no media data, when
// `reference` is not usable, or when the media data does not read as samples of the
// reference's tracks (another layout).
// `walkedPast` is handed to the walk (see WalkMediaData).
RebuiltIndex RebuildIndex(std::span<const std::byte> cut, std::span<const std::byte> reference,
    const WalkedPast& walkedPast = {});

} // namespace velomira::recovery
