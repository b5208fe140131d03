#pragma once

#include <array>
#include <span>

#include <QRect>

namespace velomira {

// Kinds of the main window's controls.
enum class ControlKind {
    BitmapButton, // CBitmapButton: normal, pressed, focused image
    SkinButton, // CSkinButton of kind Check, drawn in tile mode from one set of six
    Slider, // CBitSlider: thumb, remaining track, filled track
    TimeLabel, // a time text
    Frame, // a black frame
    PlayIcon, // the small play mark of the full-screen layout
};

// One control of the main window, as it is created and placed in the windowed
// layout. Controls that no layout ever shows are not created at all.
struct ControlEntry {
    int id;
    ControlKind kind;
    const char* caption;
    std::array<int, 3>
        images; // buttons: normal, pressed, focused; sliders: thumb, remaining, filled
    QRect windowed; // x of a right-hand window button counts from the client width
    bool windowedVisible;
};

// The controls in creation order (later ones lie above earlier ones).
std::span<const ControlEntry> MainWindowControls();
const ControlEntry* FindControl(int id);

// A control parked off the window: x 5000, zero size.
constexpr QRect kOffRect(5000, 0, 0, 0);

} // namespace velomira
