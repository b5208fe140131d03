#pragma once

#include <cstdint>
#include <string>

#include <QImage>

#include "telemetry/TrackExport.h"

namespace velomira {

// What a snapshot file records besides its picture.
struct SnapshotDetails {
    MomentFacts moment;
    std::string recording; // the recording's file name
    std::int64_t positionMs = 0; // the picture's time in the recording
};

// Writes `image` as a JPEG with EXIF (date and time, GPS position, speed and heading
// where the moment has them) or, for a name ending in .png, as a PNG with the same values
// as text chunks. Written under a temporary name and renamed, so a failed write leaves
// no partial file. False with `error` set when it cannot be written.
bool WriteSnapshot(const QImage& image, const SnapshotDetails& details, const std::string& path,
    std::string& error);

// Decodes the picture of `output` (0 front, 1 rear) at `positionMs` from the recording at
// full resolution and writes it to `path` with the moment's facts from the recording's
// telemetry. False with `error` set when the recording, the picture or the file fails.
bool SnapshotRecording(const std::string& recording, int output, std::int64_t positionMs,
    const std::string& path, std::string& error);

} // namespace velomira
