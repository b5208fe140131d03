#include "playback/ffmpeg/RecordingProbe.h"

#include "playback/ffmpeg/MediaSource.h"
#include "playback/ffmpeg/TelemetryReader.h"

namespace velomira {

std::optional<RecordingInfo> ProbeRecording(const std::string& path)
{
    const auto source = ffmpeg::MediaSource::Open(path);
    if (!source)
        return std::nullopt;
    return source->Info();
}

namespace {

using SampleVisitor = std::function<void(const uint8_t* bytes, uint32_t size, int32_t timeMs)>;

// Hands every telemetry sample of `source` to `sample`, in order, through one buffer of
// `capacity` bytes.
void VisitSamples(const ffmpeg::MediaSource& source, bool useIndex, uint32_t capacity,
    const SampleVisitor& sample)
{
    const auto reader = ffmpeg::TelemetryReader::Create(source, useIndex);
    if (!reader)
        return;
    std::vector<uint8_t> buffer(capacity);
    for (;;) {
        uint32_t size = capacity;
        int32_t timeMs = 0;
        if (reader->Next(buffer.data(), &size, &timeMs) != 0)
            break;
        sample(buffer.data(), size, timeMs);
    }
}

} // namespace

std::optional<std::vector<RawTelemetrySample>> ReadTelemetrySamples(
    const std::string& path, uint32_t capacity, TelemetryReading reading)
{
    const auto source = ffmpeg::MediaSource::Open(path);
    if (!source)
        return std::nullopt;
    std::vector<RawTelemetrySample> samples;
    VisitSamples(*source, reading == TelemetryReading::Index, capacity,
        [&samples](const uint8_t* bytes, uint32_t size, int32_t timeMs) {
            samples.push_back({ timeMs, std::vector<uint8_t>(bytes, bytes + size) });
        });
    return samples;
}

std::optional<RecordingInfo> VisitTelemetrySamples(
    const std::string& path, uint32_t capacity, const SampleVisitor& sample)
{
    const auto source = ffmpeg::MediaSource::Open(path);
    if (!source)
        return std::nullopt;
    VisitSamples(*source, true, capacity, sample);
    return source->Info();
}

} // namespace velomira
