#pragma once

#include <cstdint>

namespace velomira {

// The displays that follow the play position: the speed box below the video and the
// three drawings of the telemetry panel. Each looks its record up from `positionMs` with
// the store's index rules and repaints its own area of the main window. Realised by the
// panel and graph code; until a realisation is given to the viewer the calls are not
// made.
class SpeedDisplay {
public:
    virtual ~SpeedDisplay() = default;
    virtual void RefreshSpeed(std::uint32_t positionMs, std::uint32_t durationMs) = 0;
};

class TelemetryDrawing {
public:
    virtual ~TelemetryDrawing() = default;
    virtual void DrawStripGraph(std::uint32_t positionMs, std::uint32_t durationMs) = 0;
    virtual void DrawTelemetryText(std::uint32_t positionMs, std::uint32_t durationMs) = 0;
    virtual void DrawGaugeAndCompass(std::uint32_t positionMs, std::uint32_t durationMs) = 0;
};

} // namespace velomira
