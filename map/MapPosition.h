#pragma once

#include <cstdint>

namespace velomira {

// What the tick and the transport commands ask of the map panes. The map subsystem
// realises it with its web panes; until a realisation is given to the viewer, these
// calls are simply not made.
class MapPosition {
public:
    virtual ~MapPosition() = default;

    // Which provider's pane is visible: 1 the map page, 0 the second provider.
    virtual int mapProvider() const = 0;
    // Moves the marker of the map page pane (and of the spare pane when `sparePane`) to
    // the track point of `positionMs`.
    virtual void UpdateMapPosition(std::uint32_t positionMs, bool sparePane) = 0;
    // Hands a fix (NMEA dddmm.mmmm values, signed by hemisphere) to the second
    // provider's page. False when its document, script object or function cannot be
    // reached.
    virtual bool SendSecondProviderPosition(double longitudeRaw, double latitudeRaw) = 0;
    // Reloads the visible pane (windowed layout only).
    virtual void RefreshVisibleMapPane() = 0;
    // Returns both providers to their home position.
    virtual void ResetMapsToHome() = 0;
};

} // namespace velomira
