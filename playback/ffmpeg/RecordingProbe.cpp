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

std::optional<std::vector<RawTelemetrySample>> ReadTelemetrySamples(
    const std::string& path, uint32_t capacity, TelemetryReading reading)
{
    const auto source = ffmpeg::MediaSource::Open(path);
    if (!source)
        return std::nullopt;
    std::vector<RawTelemetrySample> samples;
    const auto reader
        = ffmpeg::TelemetryReader::Create(*source, reading == TelemetryReading::Index);
    if (!reader)
        return samples;
    std::vector<uint8_t> buffer(capacity);
    for (;;) {
        uint32_t size = capacity;
        int32_t timeMs = 0;
        if (reader->Next(buffer.data(), &size, &timeMs) != 0)
            break;
        samples.push_back({ timeMs, std::vector<uint8_t>(buffer.begin(), buffer.begin() + size) });
    }
    return samples;
}

std::optional<RecordingInfo> VisitTelemetrySamples(const std::string& path, uint32_t capacity,
    const std::function<void(const uint8_t* bytes, uint32_t size, int32_t timeMs)>& sample)
{
    const auto source = ffmpeg::MediaSource::Open(path);
    if (!source)
        return std::nullopt;
    const auto reader = ffmpeg::TelemetryReader::Create(*source);
    if (reader) {
        std::vector<uint8_t> buffer(capacity);
        for (;;) {
            uint32_t size = capacity;
            int32_t timeMs = 0;
            if (reader->Next(buffer.data(), &size, &timeMs) != 0)
                break;
            sample(buffer.data(), size, timeMs);
        }
    }
    return source->Info();
}

} // namespace velomira
