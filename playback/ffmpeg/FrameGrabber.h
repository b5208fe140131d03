#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QImage>

namespace velomira {

// One picture of a recording, decoded from the file at full resolution.
struct GrabbedPicture {
    QImage image; // RGB32, the stream's own size
    std::int64_t timeMs = 0; // the picture's time in the recording
};

// The picture of video output `output` (0 front, 1 rear) that is on screen at
// `positionMs`: the last one whose time is at or before it (the first picture for an
// earlier position). Nothing when the file or the output cannot be decoded.
std::optional<GrabbedPicture> GrabPicture(
    const std::string& path, int output, std::int64_t positionMs);

} // namespace velomira
