#include "trips/TrackReading.h"

#include <algorithm>
#include <cstddef>

#include "playback/ffmpeg/RecordingProbe.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {

RecordingTrack ReadRecordingTrack(const std::string& file)
{
    RecordingTrackBuilder builder;
    const auto info = VisitTelemetrySamples(file, kTelemetrySampleBufferBytes,
        [&builder](const std::uint8_t* bytes, std::uint32_t size, std::int32_t timeMs) {
            builder.Add(std::span(reinterpret_cast<const std::byte*>(bytes), size),
                static_cast<std::uint32_t>(std::max(0, timeMs)));
        });
    if (!info)
        return {};
    return builder.Finish(
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(info->durationMs, 0, UINT32_MAX)));
}

} // namespace velomira
