#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>

#include "playback/views/VideoPanels.h"

namespace velomira {
namespace {

struct PanelRig {
    QWidget window;
    CZoomDlg* front;
    CRearViewDlg* rear;
    bool allowZoom = true;
    int refreshes = 0;
    int swaps = 0;

    PanelRig()
        : front(new CZoomDlg(&window))
        , rear(new CRearViewDlg(&window))
    {
        window.resize(1020, 720);
        front->setGeometry(16, 37, 640, 360);
        front->view()->SetViewRect(0, 0, 640, 360);
        rear->setGeometry(684, 37, 320, 240);
        rear->view()->SetViewRect(0, 0, 320, 240);
        VideoViewHooks hooks;
        hooks.zoomAllowed = [this] { return allowZoom; };
        hooks.refreshVideo = [this] { ++refreshes; };
        hooks.swapRequested = [this] { ++swaps; };
        front->view()->SetHooks(hooks);
        rear->view()->SetHooks(hooks);
    }
};

void Wheel(QWidget* view, QPoint at, int delta, Qt::MouseButtons held = Qt::NoButton)
{
    QWheelEvent wheel(QPointF(at), view->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), held,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
}

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(
        type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

TEST(VideoViewZoom, WheelEnlargesTheViewInsideItsPanel)
{
    PanelRig rig;
    CPlxVideoView* view = rig.front->view();
    Wheel(view, QPoint(200, 100), 120);
    EXPECT_EQ(view->zoomLevel(), 2);
    EXPECT_EQ(view->geometry(), QRect(-100, -50, 960, 540));
    EXPECT_EQ(rig.refreshes, 1);
    // What the player is told to draw: the whole stretched size, and the part in view.
    EXPECT_EQ(view->PictureSize(), QSize(960, 540));
    EXPECT_EQ(view->VisibleRect(), QRect(100, 50, 640, 360));
}

TEST(VideoViewZoom, SmallWheelDeltasAddUpToWholeSteps)
{
    PanelRig rig;
    CPlxVideoView* view = rig.front->view();
    for (int i = 0; i < 7; ++i)
        Wheel(view, QPoint(200, 100), 15);
    EXPECT_EQ(view->zoomLevel(), 1);
    Wheel(view, QPoint(200, 100), 15);
    EXPECT_EQ(view->zoomLevel(), 2);
    Wheel(view, QPoint(200, 100), 360);
    EXPECT_EQ(view->zoomLevel(), 5);
}

TEST(VideoViewZoom, NothingHappensWhileZoomIsNotAllowed)
{
    PanelRig rig;
    rig.allowZoom = false;
    Wheel(rig.front->view(), QPoint(200, 100), 120);
    EXPECT_EQ(rig.front->view()->zoomLevel(), 1);
    EXPECT_EQ(rig.front->view()->geometry(), QRect(0, 0, 640, 360));
    EXPECT_EQ(rig.refreshes, 0);
}

TEST(VideoViewZoom, WheelWithTheLeftButtonHeldZoomsAboutTheCentre)
{
    PanelRig rig;
    Wheel(rig.front->view(), QPoint(10, 10), 120, Qt::LeftButton);
    EXPECT_EQ(rig.front->view()->geometry(), QRect(-160, -90, 960, 540));
}

TEST(VideoViewDrag, DragStaysWithinTheZoomedView)
{
    PanelRig rig;
    CPlxVideoRearView* view = static_cast<CPlxVideoRearView*>(rig.rear->view());
    Wheel(view, QPoint(160, 120), 120);
    Wheel(view, QPoint(160, 120), 120);
    ASSERT_EQ(view->zoomLevel(), 3);
    ASSERT_EQ(view->size(), QSize(640, 480));
    Mouse(view, QEvent::MouseButtonPress, QPoint(400, 300), Qt::LeftButton);
    // Far to the lower right: the offset stops at 0.
    Mouse(view, QEvent::MouseMove, QPoint(900, 900), Qt::LeftButton);
    EXPECT_EQ(view->pos(), QPoint(0, 0));
    // Far to the upper left: the view stops with its right and bottom edges on the panel's.
    Mouse(view, QEvent::MouseMove, QPoint(-2000, -2000), Qt::LeftButton);
    EXPECT_EQ(view->pos(), QPoint(-320, -240));
    Mouse(view, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::NoButton);
    EXPECT_EQ(view->size(), QSize(640, 480));
}

TEST(VideoViewDrag, UnzoomedViewCannotBeDragged)
{
    PanelRig rig;
    CPlxVideoView* view = rig.front->view();
    Mouse(view, QEvent::MouseButtonPress, QPoint(100, 100), Qt::LeftButton);
    Mouse(view, QEvent::MouseMove, QPoint(10, 10), Qt::LeftButton);
    Mouse(view, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::NoButton);
    EXPECT_EQ(view->pos(), QPoint(0, 0));
    EXPECT_EQ(rig.refreshes, 0);
}

TEST(VideoViewSwap, DoubleClickOnEitherViewAsksForTheSwap)
{
    PanelRig rig;
    Mouse(rig.front->view(), QEvent::MouseButtonDblClick, QPoint(5, 5), Qt::LeftButton);
    Mouse(rig.rear->view(), QEvent::MouseButtonDblClick, QPoint(5, 5), Qt::LeftButton);
    EXPECT_EQ(rig.swaps, 2);
}

TEST(VideoViewPicture, ShowsThePartItIsGivenAndClearsToBlack)
{
    PanelRig rig;
    CPlxVideoView* view = rig.front->view();
    QImage picture(640, 360, QImage::Format_RGB32);
    picture.fill(Qt::red);
    view->ShowPicture(picture, view->VisibleRect());
    EXPECT_EQ(view->grab().toImage().pixelColor(320, 180), QColor(Qt::red));
    view->ClearPicture();
    const QImage cleared = view->grab().toImage();
    EXPECT_EQ(cleared.pixelColor(5, 5), QColor(Qt::black));
}

TEST(VideoViewPicture, BlackOnlyWhereThePartDoesNotReach)
{
    PanelRig rig;
    CPlxVideoView* view = rig.front->view();
    QImage picture(320, 360, QImage::Format_RGB32);
    picture.fill(Qt::red);
    view->ShowPicture(picture, QRect(0, 0, 320, 360)); // the left half only
    const QImage shown = view->grab().toImage();
    EXPECT_EQ(shown.pixelColor(100, 180), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(319, 359), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(320, 0), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(600, 300), QColor(Qt::black));
}

// What the player is asked to convert: the view's part inside its panel, nothing while
// the view or its panel is hidden.
TEST(VideoViewVisiblePart, IsThePanelsPartOfTheViewAndEmptyWhileHidden)
{
    const struct {
        const char* name;
        QRect view; // in the panel
        bool panelHidden;
        bool viewHidden;
        QRect visible;
    } cases[] = {
        { "panel size", { 0, 0, 640, 360 }, false, false, { 0, 0, 640, 360 } },
        { "zoomed and moved", { -100, -50, 960, 540 }, false, false, { 100, 50, 640, 360 } },
        { "panel hidden", { 0, 0, 640, 360 }, true, false, {} },
        { "view hidden", { 0, 0, 640, 360 }, false, true, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PanelRig rig;
        CPlxVideoView* view = rig.front->view();
        view->SetViewRect(c.view.x(), c.view.y(), c.view.width(), c.view.height());
        rig.front->setVisible(!c.panelHidden);
        view->setVisible(!c.viewHidden);
        EXPECT_EQ(view->VisibleRect(), c.visible);
        EXPECT_EQ(view->PictureSize(), c.view.size());
    }
}

TEST(VideoViewVisiblePart, ShowingAHiddenPanelAsksForItsPicture)
{
    PanelRig rig;
    rig.rear->hide();
    rig.window.show();
    const int before = rig.refreshes;
    rig.rear->show();
    EXPECT_EQ(rig.refreshes, before + 1);
    EXPECT_EQ(rig.rear->view()->VisibleRect(), QRect(0, 0, 320, 240));
}

TEST(VideoPanels, EnterAndEscapeAreSwallowed)
{
    PanelRig rig;
    for (const int key : { Qt::Key_Return, Qt::Key_Escape }) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(rig.front, &press);
        EXPECT_TRUE(press.isAccepted());
    }
}

} // namespace
} // namespace velomira
