#pragma once

#include <string>

#include "trips/RecordingTrack.h"

namespace velomira {

// Reads a recording's telemetry through the player's source (the container's sample index,
// never the whole file) into its track. A file the source rejects gives a track that is
// not readable.
RecordingTrack ReadRecordingTrack(const std::string& file);

} // namespace velomira
