// Where every control of the main window sits in the two layouts, and where the video
// panels go as the places change.
#include <gtest/gtest.h>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"
#include "playback/views/VideoPanels.h"
#include "skin/CBitmapButton.h"
#include "support/ScriptedMessageBoxService.h"

namespace velomira {
namespace {

struct Expected {
    int id;
    QRect rect; // ignored for a hidden control
    bool visible;
};

void ExpectControls(const CSamplePlayerDlg& window, const std::vector<Expected>& expected)
{
    for (const Expected& e : expected) {
        QWidget* control = window.Control(e.id);
        ASSERT_NE(control, nullptr) << "control " << e.id;
        EXPECT_EQ(control->isVisibleTo(const_cast<CSamplePlayerDlg*>(&window)), e.visible)
            << "control " << e.id;
        if (e.visible) {
            EXPECT_EQ(control->geometry(), e.rect) << "control " << e.id;
        }
    }
}

// The windowed layout as the window shows it after start, client 1020 x 720.
const std::vector<Expected> kWindowedControls = {
    { 1000, { 935, 1, 26, 24 }, true },
    { 1018, { 963, 1, 26, 24 }, true },
    { 1001, { 991, 1, 26, 24 }, true },
    { 1002, { 105, 420, 537, 20 }, true },
    { 1014, { 32, 420, 50, 12 }, true },
    { 1015, { 595, 420, 64, 12 }, true },
    { 1023, { 16, 460, 23, 23 }, true },
    { 1004, { 50, 462, 92, 20 }, true },
    { 1007, { 680, 297, 40, 39 }, true },
    { 1005, { 725, 297, 40, 39 }, true },
    { 1006, { 770, 297, 40, 39 }, true },
    { 1008, { 815, 297, 40, 39 }, true },
    { 1206, { 860, 297, 40, 39 }, true },
    { 1193, { 1009, 281, 12, 145 }, true },
    { 1194, { 15, 674, 40, 39 }, true },
    { 1012, { 60, 674, 40, 39 }, true },
    { 1121, { 135, 674, 40, 39 }, true },
    { 3021, { 180, 674, 40, 39 }, true },
    { 1041, { 225, 674, 40, 39 }, true },
    { 1201, { 270, 674, 40, 39 }, true },
    { 1195, { 315, 674, 40, 39 }, true },
    { 1198, { 360, 674, 40, 39 }, true },
    { 1196, { 435, 674, 40, 39 }, true },
    { 1020, { 480, 674, 40, 39 }, true },
    { 1197, { 555, 674, 40, 39 }, true },
    { 1199, { 600, 674, 40, 39 }, true },
    { 5005, { 17, 495, 180, 165 }, true },
    { 1218, { 17, 495, 180, 165 }, true },
    { 1009, { 5000, 0, 0, 0 }, true },
    { 1010, { 5000, 0, 0, 0 }, true },
    { 1200, { 5000, 0, 0, 0 }, true },
    { 1026, {}, false },
};

struct Rig {
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
    int entries = 1;
    int streams = 2;
    int state = 0;
    int focusCalls = 0;

    Rig()
    {
        MainWindowHooks hooks;
        hooks.listEntryCount = [this] { return entries; };
        hooks.videoStreamCount = [this] { return streams; };
        hooks.playerState = [this] { return state; };
        hooks.focusList = [this] { ++focusCalls; };
        window.SetHooks(hooks);
    }

    void EnterFullScreenAt(QSize client)
    {
        window.OnFullScreen();
        window.showNormal();
        window.resize(client);
    }
};

TEST(WindowedLayout, EveryControlAtItsPlaceAfterStart)
{
    Rig rig;
    EXPECT_EQ(rig.window.size(), QSize(1020, 720));
    ExpectControls(rig.window, kWindowedControls);
    EXPECT_EQ(rig.window.Button(1018)->normalImageId(), 434);
}

TEST(WindowedLayout, BeforeAnyRecordingThePlaceholderAndBothPanelsShow)
{
    Rig rig;
    CSamplePlayerDlg& w = rig.window;
    EXPECT_TRUE(w.frontPlaceholder()->isVisibleTo(&w));
    EXPECT_EQ(w.frontPlaceholder()->geometry(), kLargeSlot);
    EXPECT_FALSE(w.rearPlaceholder()->isVisibleTo(&w));
    EXPECT_TRUE(w.frontPanel()->isVisibleTo(&w));
    EXPECT_TRUE(w.rearPanel()->isVisibleTo(&w));
    EXPECT_EQ(w.frontPanel()->geometry(), kLargeSlot);
    EXPECT_EQ(w.rearPanel()->geometry(), kSmallSlot);
    EXPECT_EQ(w.rearView()->geometry(), QRect(0, 0, 320, 240));
    EXPECT_EQ(w.screenMode(), 1);
    EXPECT_EQ(w.frontPlace(), 0);
    EXPECT_EQ(w.rearPlace(), 0);
}

TEST(FullScreenLayout, OnA1920By1080Screen)
{
    Rig rig;
    rig.EnterFullScreenAt({ 1920, 1080 });
    CSamplePlayerDlg& w = rig.window;
    ASSERT_EQ(w.screenMode(), 2);
    EXPECT_EQ(w.displayMode(), 1);
    std::vector<Expected> expected = {
        { 1018, { 1875, 1, 26, 24 }, true },
        { 1000, {}, false },
        { 1001, {}, false },
        { 1007, { 25, 1030, 40, 39 }, true },
        { 1005, { 70, 1030, 40, 39 }, true },
        { 1006, { 115, 1030, 40, 39 }, true },
        { 1008, { 160, 1030, 40, 39 }, true },
        { 1206, { 205, 1030, 40, 39 }, true },
        { 1121, { 250, 1030, 40, 39 }, true },
        { 3021, { 295, 1030, 40, 39 }, true },
        { 1002, { 25, 1010, 537, 15 }, true },
        { 1004, { 1813, 1014, 92, 20 }, true },
        { 1023, { 1779, 1012, 30, 19 }, true },
        { 1026, { 15, 1014, 11, 11 }, true },
        { 1218, {}, false },
        { 5005, {}, false },
        { 1014, {}, false },
        { 1015, {}, false },
        { 1193, {}, false },
    };
    for (const int id : { 1194, 1012, 1041, 1201, 1195, 1198, 1196, 1020, 1197, 1199 })
        expected.push_back({ id, {}, false });
    ExpectControls(w, expected);
    EXPECT_EQ(w.Button(1018)->normalImageId(), 438);
    EXPECT_EQ(w.Button(1018)->pressedImageId(), 438);
}

TEST(FullScreenLayout, FrontPanelFillsTheVideoArea)
{
    Rig rig;
    rig.window.SetPlaces(kLarge, kSmall);
    rig.EnterFullScreenAt({ 1920, 1080 });
    CSamplePlayerDlg& w = rig.window;
    EXPECT_EQ(w.frontPanel()->geometry(), QRect(QPoint(18, 50), QPoint(1901, 1000)));
    EXPECT_EQ(w.frontView()->geometry(), QRect(0, 0, 1884, 951));
    EXPECT_TRUE(w.frontPanel()->isVisibleTo(&w));
    EXPECT_FALSE(w.rearPanel()->isVisibleTo(&w));
    EXPECT_FALSE(w.frontPlaceholder()->isVisibleTo(&w));
}

TEST(FullScreenLayout, BackToWindowedRestoresEveryControl)
{
    Rig rig;
    rig.EnterFullScreenAt({ 1920, 1080 });
    rig.window.OnFullScreen();
    EXPECT_EQ(rig.window.screenMode(), 1);
    EXPECT_EQ(rig.window.displayMode(), 0);
    ExpectControls(rig.window, kWindowedControls);
    EXPECT_EQ(rig.window.Button(1018)->normalImageId(), 434);
}

TEST(FullScreenLayout, EmptyListShowsTheWarningAndChangesNothing)
{
    Rig rig;
    rig.entries = 0;
    rig.window.SetLanguage(1);
    rig.window.OnFullScreen();
    EXPECT_EQ(rig.window.screenMode(), 1);
    ASSERT_EQ(rig.messages.shown().size(), 1u);
    const MessageBoxRequest& box = rig.messages.shown()[0];
    EXPECT_EQ(box.text, "File is not selected.");
    EXPECT_EQ(box.title, "VELOMIRA6 v.1.0.3");
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    ExpectControls(rig.window, kWindowedControls);
}

TEST(FullScreenLayout, EmptyListWithAnUnknownLanguageShowsNothing)
{
    Rig rig;
    rig.entries = 0;
    rig.window.SetLanguage(7);
    rig.window.OnFullScreen();
    EXPECT_TRUE(rig.messages.shown().empty());
    EXPECT_EQ(rig.window.screenMode(), 1);
}

TEST(Swap, TwiceReturnsFrontLargeAndRearSmall)
{
    Rig rig;
    CSamplePlayerDlg& w = rig.window;
    w.SetPlaces(kLarge, kSmall);
    w.ApplyArrangement();
    w.frontView()->ZoomByWheel(0, 120, w.frontView()->mapToGlobal(QPoint(10, 10)));
    ASSERT_EQ(w.frontView()->zoomLevel(), 2);
    w.OnSwap();
    EXPECT_EQ(w.frontView()->zoomLevel(), 1);
    EXPECT_EQ(w.frontPlace(), kSmall);
    EXPECT_EQ(w.rearPlace(), kLarge);
    EXPECT_EQ(w.frontPanel()->geometry(), kSmallSlot);
    EXPECT_EQ(w.rearPanel()->geometry(), kLargeSlot);
    EXPECT_EQ(w.rearView()->geometry(), QRect(0, 0, 640, 360));
    EXPECT_EQ(w.frontView()->geometry(), QRect(0, 0, 320, 240));
    w.OnSwap();
    EXPECT_EQ(w.frontPlace(), kLarge);
    EXPECT_EQ(w.rearPlace(), kSmall);
    EXPECT_EQ(w.frontPanel()->geometry(), kLargeSlot);
    EXPECT_EQ(w.rearPanel()->geometry(), kSmallSlot);
    EXPECT_EQ(rig.focusCalls, 2);
}

TEST(Swap, WithOneStreamOnlyTheZoomIsReset)
{
    Rig rig;
    rig.streams = 1;
    CSamplePlayerDlg& w = rig.window;
    w.SetPlaces(kLarge, kHidden);
    w.ApplyArrangement();
    w.frontView()->ZoomByWheel(0, 120, w.frontView()->mapToGlobal(QPoint(10, 10)));
    const QRect zoomed = w.frontView()->geometry();
    w.OnSwap();
    EXPECT_EQ(w.frontView()->zoomLevel(), 1);
    EXPECT_EQ(w.frontPlace(), kLarge);
    EXPECT_EQ(w.rearPlace(), kHidden);
    EXPECT_EQ(w.frontView()->geometry(), zoomed) << "re-laid out by the next zoom or layout";
    EXPECT_EQ(rig.focusCalls, 1);
}

TEST(Swap, InFullScreenTheRearVideoFillsTheArea)
{
    Rig rig;
    CSamplePlayerDlg& w = rig.window;
    w.SetPlaces(kLarge, kSmall);
    rig.EnterFullScreenAt({ 1920, 1080 });
    w.OnSwap();
    EXPECT_FALSE(w.frontPanel()->isVisibleTo(&w));
    EXPECT_TRUE(w.rearPanel()->isVisibleTo(&w));
    EXPECT_EQ(w.rearPanel()->geometry(), FullScreenVideoArea({ 1920, 1080 }));
}

TEST(Arrangement, RearPlaceNeedsASecondStream)
{
    const Arrangement one = ArrangePanels(kWindowed, kLarge, kSmall, false, { 1020, 720 });
    EXPECT_EQ(one.front.rect, kLargeSlot);
    EXPECT_FALSE(one.rear.rect.has_value());
    EXPECT_FALSE(one.rear.viewVisible.has_value());
    const Arrangement two = ArrangePanels(kWindowed, kLarge, kHidden, true, { 1020, 720 });
    EXPECT_EQ(two.rear.viewVisible, false);
}

TEST(ZoomCommands, ZoomInAndOutActOnTheLargeView)
{
    Rig rig;
    CSamplePlayerDlg& w = rig.window;
    w.SetPlaces(kLarge, kSmall);
    w.ApplyArrangement();
    w.OnZoomIn();
    EXPECT_EQ(w.frontView()->zoomLevel(), 2);
    EXPECT_EQ(w.rearView()->zoomLevel(), 1);
    w.OnZoomOut();
    EXPECT_EQ(w.frontView()->zoomLevel(), 1);
    EXPECT_EQ(w.frontView()->geometry(), QRect(0, 0, 640, 360));
    rig.state = 2;
    w.OnZoomIn();
    EXPECT_EQ(w.frontView()->zoomLevel(), 1) << "no zoom while the player is stopped";
    EXPECT_EQ(rig.focusCalls, 3);
}

} // namespace
} // namespace velomira
