#include "playback/RecordingTelemetry.h"

#include <algorithm>
#include <vector>

#include "playback/ffmpeg/RecordingProbe.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryParser.h"

namespace velomira {

std::optional<RecordingTelemetryLoad> LoadRecordingTelemetry(
    const std::string& path, CTextData& store)
{
    const std::optional<RecordingInfo> info = ProbeRecording(path);
    const auto pulled
        = info ? ReadTelemetrySamples(path, kTelemetrySampleBufferBytes) : std::nullopt;
    if (!info || !pulled)
        return std::nullopt;
    std::vector<TelemetrySampleBytes> samples;
    samples.reserve(pulled->size());
    for (const RawTelemetrySample& sample : *pulled) {
        TelemetrySampleBytes copy;
        copy.timeMs = static_cast<std::uint32_t>(sample.timeMs);
        copy.bytes.resize(sample.bytes.size());
        std::transform(sample.bytes.begin(), sample.bytes.end(), copy.bytes.begin(),
            [](std::uint8_t b) { return static_cast<std::byte>(b); });
        samples.push_back(std::move(copy));
    }
    RecordingTelemetryLoad load;
    load.durationMs
        = static_cast<std::uint32_t>(std::clamp<std::int64_t>(info->durationMs, 0, UINT32_MAX));
    load.samples = samples.size();
    LoadTelemetry(store, samples, load.durationMs);
    return load;
}

} // namespace velomira
