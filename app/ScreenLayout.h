#pragma once

#include <optional>
#include <vector>

#include <QRect>
#include <QSize>

namespace velomira {

// Screen layouts of the main window.
enum ScreenMode { kWindowed = 1, kFullScreen = 2 };
// Where a video panel sits: hidden, the large slot or the small slot.
enum PanelPlace { kHidden = 0, kLarge = 1, kSmall = 2 };

constexpr QRect kLargeSlot(16, 37, 640, 360);
constexpr QRect kSmallSlot(684, 37, 320, 240);

// Where one control goes in a layout. Button images are set only when non-zero.
struct Placement {
    int id;
    QRect rect;
    bool visible;
    int normalImage = 0;
    int pressedImage = 0;
};

// Every created control's place in the windowed layout for a client `width` wide.
std::vector<Placement> WindowedPlacements(int width);
// The controls the full-screen layout moves, shows or hides, for a client of `size`.
// Controls it does not name keep their place.
std::vector<Placement> FullScreenPlacements(QSize size);

// The full-screen video area: the client less 18 left and right, 50 at the top and
// 79 at the bottom.
QRect FullScreenVideoArea(QSize client);

// The panels as ApplyArrangement leaves them.
// Fields left empty are not changed. A panel that gets a rectangle also gets its view
// set to (0, 0) with the rectangle's size.
struct PanelState {
    std::optional<QRect> rect;
    std::optional<bool> panelVisible;
    std::optional<bool> viewVisible;
};
struct Arrangement {
    PanelState front;
    PanelState rear;
};
// `rearStreamPresent`: the recording has more than one video stream (windowed only).
Arrangement ArrangePanels(
    int screenMode, int frontPlace, int rearPlace, bool rearStreamPresent, QSize client);

} // namespace velomira
