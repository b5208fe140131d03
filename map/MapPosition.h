#pragma once

#include <cstdint>

namespace velomira {

// What the tick and the transport commands ask of the map panes, realised by MapPanes.
// A viewer made without map panes gives none, and these calls are then not made.
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
    // Moves the visible pane away and back so it repaints after the video windows were
    // rearranged (windowed layout only; it does not reload the page).
    virtual void RefreshVisibleMapPane() = 0;
    // Returns both providers to their home position.
    virtual void ResetMapsToHome() = 0;
};

} // namespace velomira
