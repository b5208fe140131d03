#pragma once

#include <functional>

#include <QPoint>

class QPainter;

namespace velomira {

// What the main window asks of the subsystems that are wired to it (player, recording
// list). Unset functions mean: no graph, no stream, an empty list, nothing to do.
struct MainWindowHooks {
    // The player's state: 0 running, 1 paused, 2 stopped, 3 fresh, -1 no graph.
    std::function<int()> playerState;
    // Video streams of the loaded recording.
    std::function<int()> videoStreamCount;
    // Entries of the recording list.
    std::function<int()> listEntryCount;
    // Asks the player to redraw into the views' current rectangles.
    std::function<void()> refreshVideo;
    // Tells the player the window's size changed.
    std::function<void()> refreshAfterResize;
    // Gives the keyboard focus back to the recording-list window.
    std::function<void()> focusList;
    // Shows or hides the recording-list window (the list button's command); called with
    // false when full screen hides it.
    std::function<void(bool show)> showList;
    // Stops and closes the player before the window closes.
    std::function<void()> stopPlayer;
    // A left-button press, or a move with only the left button held, on the window
    // itself outside the top strip (client coordinates): the position band's seek.
    std::function<void(QPoint clientPoint)> leftButtonOnWindow;
    // Paints the telemetry panel onto the window after the skin, as last composed.
    std::function<void(QPainter& painter)> paintTelemetry;
    // A screen layout (1 windowed, 2 full screen) has just been applied.
    std::function<void(int screenMode)> screenLayoutApplied;
};

} // namespace velomira
