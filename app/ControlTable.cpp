#include "app/ControlTable.h"

#include <algorithm>

namespace velomira {

namespace {

using K = ControlKind;

// Right-hand window buttons are placed from the client width by the layouts; their x
// here is for a client 1020 pixels wide.
constexpr ControlEntry kControls[] = {
    { 1218, K::Frame, "", { 0, 0, 0 }, { 17, 495, 180, 165 }, true },
    { 1000, K::BitmapButton, "-", { 432, 445, 0 }, { 935, 1, 26, 24 }, true },
    { 1018, K::BitmapButton, " ", { 434, 435, 0 }, { 963, 1, 26, 24 }, true },
    { 1001, K::BitmapButton, "Exit", { 438, 439, 0 }, { 991, 1, 26, 24 }, true },
    { 1002, K::Slider, "", { 233, 236, 236 }, { 105, 420, 537, 20 }, true },
    { 1014, K::TimeLabel, "00:00:00", { 0, 0, 0 }, { 32, 420, 50, 12 }, true },
    { 1015, K::TimeLabel, "00:00:00", { 0, 0, 0 }, { 595, 420, 64, 12 }, true },
    { 1023, K::SkinButton, "", { 267, 293, 267 }, { 16, 460, 23, 23 }, true },
    { 1004, K::Slider, "", { 233, 252, 253 }, { 50, 462, 92, 20 }, true },
    { 1007, K::BitmapButton, "STOP", { 412, 413, 412 }, { 680, 297, 40, 39 }, true },
    { 1005, K::BitmapButton, "PRE", { 414, 415, 414 }, { 725, 297, 40, 39 }, true },
    { 1006, K::BitmapButton, "PLAY", { 416, 417, 0 }, { 770, 297, 40, 39 }, true },
    { 1008, K::BitmapButton, "c", { 418, 419, 418 }, { 815, 297, 40, 39 }, true },
    { 1206, K::BitmapButton, "X2 ", { 420, 441, 0 }, { 860, 297, 40, 39 }, true },
    { 1193, K::BitmapButton, ">", { 340, 340, 340 }, { 1009, 281, 12, 145 }, true },
    { 1194, K::BitmapButton, "OPEN", { 8388, 389, 8388 }, { 15, 674, 40, 39 }, true },
    { 1012, K::BitmapButton, "SDOPEN", { 390, 3391, 390 }, { 60, 674, 40, 39 }, true },
    { 1121, K::BitmapButton, "????", { 468, 469, 468 }, { 135, 674, 40, 39 }, true },
    { 3021, K::BitmapButton, "Zoom-", { 470, 471, 470 }, { 180, 674, 40, 39 }, true },
    { 1041, K::BitmapButton, "ChgScrn", { 394, 395, 394 }, { 225, 674, 40, 39 }, true },
    { 1201, K::BitmapButton, "Format", { 396, 397, 396 }, { 270, 674, 40, 39 }, true },
    { 1195, K::BitmapButton, "SETUP", { 398, 399, 398 }, { 315, 674, 40, 39 }, true },
    { 1198, K::BitmapButton, "PRINT", { 400, 401, 400 }, { 360, 674, 40, 39 }, true },
    { 1196, K::BitmapButton, "GRAPH", { 402, 403, 402 }, { 435, 674, 40, 39 }, true },
    { 1020, K::BitmapButton, "GMode", { 405, 430, 0 }, { 480, 674, 40, 39 }, true },
    { 1197, K::BitmapButton, "DOWN", { 407, 408, 407 }, { 555, 674, 40, 39 }, true },
    { 1199, K::BitmapButton, "INFO", { 409, 410, 409 }, { 600, 674, 40, 39 }, true },
    { 5005, K::BitmapButton, "SMART", { 448, 448, 448 }, { 17, 495, 180, 165 }, true },
    { 1009, K::BitmapButton, "<- SEC", { 331, 337, 331 }, kOffRect, true },
    { 1010, K::BitmapButton, "-> SEC", { 330, 335, 330 }, kOffRect, true },
    { 1200, K::BitmapButton, "LIST", { 350, 355, 350 }, kOffRect, true },
    { 1026, K::PlayIcon, "IDB_BITMAP_PLAYICON", { 0, 0, 0 }, { 15, 654, 11, 11 }, false },
};

} // namespace

std::span<const ControlEntry> MainWindowControls()
{
    return kControls;
}

const ControlEntry* FindControl(int id)
{
    const auto it = std::find_if(std::begin(kControls), std::end(kControls),
        [id](const ControlEntry& c) { return c.id == id; });
    return it == std::end(kControls) ? nullptr : &*it;
}

} // namespace velomira
