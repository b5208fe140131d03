#include "app/ScreenLayout.h"

#include "app/ControlTable.h"

namespace velomira {

namespace {

// The windowed bottom row: from x 15 in steps of 45, with a gap of 30 after the
// card buttons, after print and after the graph mode button.
constexpr int kBottomRow[]
    = { 1194, 1012, 1121, 3021, 1041, 1201, 1195, 1198, 1196, 1020, 1197, 1199 };
constexpr int kBottomRowX[] = { 15, 60, 135, 180, 225, 270, 315, 360, 435, 480, 555, 600 };
constexpr int kTransportRow[] = { 1007, 1005, 1006, 1008, 1206 };

} // namespace

std::vector<Placement> WindowedPlacements(int width)
{
    std::vector<Placement> placements;
    for (const ControlEntry& control : MainWindowControls())
        placements.push_back({ control.id, control.windowed, control.windowedVisible });
    const auto set = [&placements](int id, QRect rect) {
        for (Placement& p : placements) {
            if (p.id == id)
                p.rect = rect;
        }
    };
    set(1000, QRect(width - 85, 1, 26, 24));
    set(1018, QRect(width - 57, 1, 26, 24));
    set(1001, QRect(width - 29, 1, 26, 24));
    for (std::size_t i = 0; i < std::size(kBottomRow); ++i)
        set(kBottomRow[i], QRect(kBottomRowX[i], 674, 40, 39));
    for (std::size_t i = 0; i < std::size(kTransportRow); ++i)
        set(kTransportRow[i], QRect(680 + 45 * static_cast<int>(i), 297, 40, 39));
    for (Placement& p : placements) {
        if (p.id == 1018) {
            p.normalImage = 434;
            p.pressedImage = 435;
        }
    }
    return placements;
}

std::vector<Placement> FullScreenPlacements(QSize size)
{
    const int w = size.width();
    const int h = size.height();
    std::vector<Placement> placements = {
        { 1218, {}, false },
        { 1018, QRect(w - 45, 1, 26, 24), true, 438, 438 },
        { 1000, {}, false },
        { 1001, {}, false },
        { 1002, QRect(25, h - 70, 537, 15), true },
        { 1004, QRect(w - 107, h - 66, 92, 20), true },
        { 1023, QRect(w - 141, h - 68, 30, 19), true },
        { 1026, QRect(15, h - 66, 11, 11), true },
    };
    const int transport[] = { 1007, 1005, 1006, 1008, 1206, 1121, 3021 };
    for (std::size_t i = 0; i < std::size(transport); ++i)
        placements.push_back(
            { transport[i], QRect(25 + 45 * static_cast<int>(i), h - 50, 40, 39), true });
    for (const int id :
        { 1014, 1015, 1193, 1194, 1012, 1041, 1201, 1195, 1198, 1196, 1020, 1197, 1199, 5005 })
        placements.push_back({ id, {}, false });
    return placements;
}

QRect FullScreenVideoArea(QSize client)
{
    return QRect(QPoint(0, 0), client).adjusted(18, 50, -18, -79);
}

Arrangement ArrangePanels(
    int screenMode, int frontPlace, int rearPlace, bool rearStreamPresent, QSize client)
{
    Arrangement a;
    if (screenMode == kWindowed) {
        if (frontPlace == kHidden) {
            a.front.viewVisible = false;
        } else if (frontPlace == kLarge) {
            a.front.rect = kLargeSlot;
            a.front.viewVisible = true;
        } else if (frontPlace == kSmall) {
            a.front.rect = kSmallSlot;
            a.front.panelVisible = true;
            a.front.viewVisible = true;
        }
        if (rearStreamPresent) {
            if (rearPlace == kHidden) {
                a.rear.viewVisible = false;
            } else if (rearPlace == kLarge || rearPlace == kSmall) {
                a.rear.rect = rearPlace == kLarge ? kLargeSlot : kSmallSlot;
                a.rear.panelVisible = true;
                a.rear.viewVisible = true;
            }
        }
        return a;
    }
    const QRect area = FullScreenVideoArea(client);
    if (frontPlace == kLarge) {
        a.front.rect = area;
        a.front.panelVisible = true;
        a.front.viewVisible = true;
        a.rear.panelVisible = false;
    } else {
        a.front.panelVisible = false;
    }
    if (rearPlace == kLarge) {
        a.rear.rect = area;
        a.rear.panelVisible = true;
        a.rear.viewVisible = true;
    }
    return a;
}

} // namespace velomira
