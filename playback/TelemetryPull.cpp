#include "playback/TelemetryPull.h"

#include <algorithm>
#include <array>
#include <span>

#include "playback/PlayerPort.h"
#include "playback/PlayerResults.h"
#include "telemetry/CTextData.h"

namespace velomira {

TelemetryPullResult PullTelemetry(PlayerPort& player, CTextData& store)
{
    store.ResetForLoad();
    TelemetryPullResult result;
    std::array<std::uint8_t, kTelemetryPullBufferBytes> buffer {};
    int strayCodes = 0;
    while (true) {
        buffer.fill(0);
        std::int32_t timeMs = 0;
        std::uint32_t capacity = kTelemetryPullBufferBytes;
        const int code = player.PullTextSample(buffer.data(), &capacity, &timeMs);
        if (code == kResultOk) {
            strayCodes = 0;
            ++result.samples;
            // The parser sees the whole buffer: a shorter text sample is terminated by
            // the zero bytes after it, one that fills the buffer has no terminator.
            const auto bytes = std::as_bytes(std::span<const std::uint8_t>(buffer));
            store.ParseTelemetrySample(bytes, static_cast<std::uint32_t>(timeMs));
            continue;
        }
        if (code == kTextSamplesEnded || code == kResultFail)
            break;
        if (++strayCodes >= kTelemetryPullMaxStrayCodes) {
            result.gaveUp = true;
            break;
        }
    }
    return result;
}

std::uint32_t WaveOutVolumeFor(int volume)
{
    const int v = std::clamp(volume, 0, 100);
    const auto w = static_cast<std::uint32_t>(v * 655.35);
    return (std::min<std::uint32_t>(w, 0xFFFFu) << 16) + std::min<std::uint32_t>(w, 0xFFFFu);
}

} // namespace velomira
