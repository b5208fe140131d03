#pragma once

#include <cstdint>
#include <functional>

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class CTextData;
class MapPosition;
class PlayerPort;
class SpeedDisplay;
class TelemetryDrawing;
struct TransportState;

// The main window's periodic refresh (timer 100, every 200 ms from the first Play on):
// reads the player's state and position, moves the position slider and the time labels,
// the map marker, the speed box and the telemetry drawings, serves the list window's
// requests and runs the next-recording command at the end of a recording.
class TickLoop {
public:
    struct Commands {
        std::function<void()> next; // the next-recording command
        std::function<void()> play; // the Play/Pause command
        std::function<void()> toggleList; // shows or hides the list window
    };

    TickLoop(PlayerPort& player, CSamplePlayerDlg& window, CListDlg& list, const CTextData& store,
        TransportState& state, Commands commands);

    // Displays that follow the position; null ones are not called.
    void SetDisplays(MapPosition* map, SpeedDisplay* speed, TelemetryDrawing* drawing);
    void SetMap(MapPosition* map) { m_map = map; }
    // The speed box and the telemetry panel alone, leaving the map as it is.
    void SetTelemetryDisplays(SpeedDisplay* speed, TelemetryDrawing* drawing);
    // Whether the left mouse button is held now (the default asks the window system).
    void SetLeftButtonQuery(std::function<bool()> query) { m_leftButtonHeld = std::move(query); }

    // The timer handler: `refresh` is true for timer 100, whose refresh waits while the
    // left button is held (the user drags the slider or a video).
    void OnTimer(bool refresh = true);
    // One refresh; also run directly after a seek or skip.
    void Tick();
    // Rewrites the two time labels where their text changed.
    void UpdateTimeLabels(std::uint32_t positionMs, std::uint32_t durationMs);

private:
    void MoveSlider(std::uint32_t positionMs);
    void DrawTelemetry(std::uint32_t positionMs, std::uint32_t durationMs);
    void UpdateMap(std::uint32_t positionMs);

    PlayerPort& m_player;
    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    const CTextData& m_store;
    TransportState& m_state;
    Commands m_commands;
    MapPosition* m_map = nullptr;
    SpeedDisplay* m_speed = nullptr;
    TelemetryDrawing* m_drawing = nullptr;
    std::function<bool()> m_leftButtonHeld;
};

} // namespace velomira
