#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velomira {

// Where a power loss stops the writer: at a byte offset of the file, or after a share (in
// per mille) of the media data.
struct PowerCutPoint {
    std::optional<uint64_t> byteOffset;
    std::optional<int> mediaPerMille;
};

// Parses "BYTES" or "PERCENT%" (a share of the media data, decimals allowed).
std::optional<PowerCutPoint> ParsePowerCutPoint(const std::string& text);

// Where the media data box of a complete MP4 starts and ends (header included).
struct MediaDataSpan {
    uint64_t boxOffset = 0;
    uint64_t dataOffset = 0; // first byte after the box header
    uint64_t end = 0;
};
std::optional<MediaDataSpan> FindMediaData(const std::filesystem::path& path);

// Writes what a power loss leaves of the complete MP4 `complete`: its bytes up to the cut,
// the media data box's size reset to the writer's placeholder (0, "to the end of the
// file") and no index. The cut never reaches past the media data. Returns the cut offset,
// or nothing with `error` set.
std::optional<uint64_t> WritePowerCut(const std::filesystem::path& complete,
    const std::filesystem::path& out, const PowerCutPoint& point, std::string& error);

} // namespace velomira
