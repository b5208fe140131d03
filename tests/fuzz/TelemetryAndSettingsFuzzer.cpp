// libFuzzer target: every input goes through the telemetry sample parser (as a loaded
// sample and as an RMC line), the timeline and position indices, the sample-text reader
// and the settings and factory record readers. Sanitizers catch any read or write outside
// an array.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "settings/FactoryFile.h"
#include "settings/SettingsRecord.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetrySampleText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velomira;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    static CTextData store;
    store.ResetForLoad();
    // The input as one sample, then cut into samples at every newline.
    store.ParseTelemetrySample(bytes, 0);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            store.ParseTelemetrySample(
                bytes.subspan(start, i - start), static_cast<std::uint32_t>(i));
            start = i + 1;
        }
    }
    const std::uint32_t durationMs
        = size >= 2 ? static_cast<std::uint32_t>(data[0] | (data[1] << 8)) * 7 : 0;
    store.BuildTimeline(durationMs);
    for (std::uint32_t position :
        { 0u, durationMs / 2, durationMs, durationMs + 1000, 0xFFFFFFFFu }) {
        volatile double sink = store.Timeline()[store.TimelineIndexAt(position, durationMs)].x;
        if (store.gSensorSampleCount() > 0)
            sink = store.GSensorSamples()[store.SampleIndexAt(position, durationMs)].y;
        if (store.trackCount() > 0)
            sink = store.TrackPoints()[store.TrackIndexAt(position)].eastMetres;
        (void)sink;
    }

    const CGPSData record = ParseRmcLine(text, 1);
    volatile double degrees
        = DegreesFromNmea(record.latitudeRaw) + DegreesFromNmea(record.longitudeRaw);
    (void)degrees;

    std::vector<TelemetrySampleBytes> samples;
    std::string error;
    ParseTelemetrySampleText(text, samples, error);

    const std::span<const std::uint8_t> raw(data, size);
    volatile bool valid = IsSettingsRecordValid(raw);
    for (std::size_t offset = 0; offset <= 200; ++offset)
        valid = valid ^ SettingsWord(raw, offset).has_value();
    valid = valid ^ IsNewFirmwareVersion(ReadFirmwareVersion(raw)) ^ HasSettingsMark(raw);
    (void)valid;
    return 0;
}
