#include "skin/CBitWnd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>

namespace velomira {
namespace {

QImage Frames(int count)
{
    QImage image(20 * count, 20, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

// A parent that records the mouse events that reach it, with their points.
class RecordingParent : public QWidget {
public:
    std::vector<std::string>* log = nullptr;
    QPoint lastPoint;

protected:
    void mousePressEvent(QMouseEvent* e) override { Note("press", e); }
    void mouseReleaseEvent(QMouseEvent* e) override { Note("release", e); }
    void mouseMoveEvent(QMouseEvent* e) override { Note("move", e); }

private:
    void Note(const char* what, QMouseEvent* e)
    {
        log->push_back(what);
        lastPoint = e->position().toPoint();
    }
};

void Send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

void Enter(QWidget* w)
{
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)));
    QCoreApplication::sendEvent(w, &event);
}

void Leave(QWidget* w)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(w, &event);
}

struct FrameSequence {
    const char* name;
    int frames;
    int hover, pressed, released, left;
};

class BitWndFrames : public ::testing::TestWithParam<FrameSequence> { };

TEST_P(BitWndFrames, FollowThePointerWithinTheStrip)
{
    const FrameSequence& c = GetParam();
    QWidget parent;
    CBitWnd wnd(&parent);
    wnd.SetStrip(std::make_unique<ImageStrip>(Frames(c.frames), 20, 20));
    EXPECT_EQ(wnd.frameIndex(), 0);
    Enter(&wnd);
    EXPECT_EQ(wnd.frameIndex(), c.hover);
    Send(&wnd, QEvent::MouseButtonPress, { 5, 5 }, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(wnd.frameIndex(), c.pressed);
    Send(&wnd, QEvent::MouseButtonRelease, { 5, 5 }, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(wnd.frameIndex(), c.released);
    Leave(&wnd);
    EXPECT_EQ(wnd.frameIndex(), c.left);
}

INSTANTIATE_TEST_SUITE_P(Strips, BitWndFrames,
    ::testing::Values(FrameSequence { "OneFrameAlwaysShowsFrameZero", 1, 0, 0, 0, 0 },
        FrameSequence { "TwoFramesHaveNoPressedLook", 2, 1, 0, 1, 0 },
        FrameSequence { "ThreeFramesShowHoverAndPress", 3, 1, 2, 1, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitWnd, SetStripSizesTheWindowToOneFrameAtTheOrigin)
{
    QWidget parent;
    CBitWnd wnd(&parent);
    wnd.move(30, 40);
    wnd.SetStrip(std::make_unique<ImageStrip>(Frames(3), 20, 20));
    EXPECT_EQ(wnd.geometry(), QRect(0, 0, 20, 20));
}

TEST(BitWnd, ClickReachesTheParentBeforeTheForwardedRelease)
{
    std::vector<std::string> log;
    RecordingParent parent;
    parent.log = &log;
    parent.resize(100, 50);
    CBitWnd wnd(&parent);
    wnd.SetStrip(std::make_unique<ImageStrip>(Frames(1), 20, 20));
    wnd.move(30, 10);
    wnd.SetForwardMouse(true);
    QObject::connect(&wnd, &CBitWnd::clicked, [&log] { log.push_back("click"); });
    Send(&wnd, QEvent::MouseButtonPress, { 2, 3 }, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(parent.lastPoint, QPoint(32, 13)) << "forwarded in the parent's coordinates";
    Send(&wnd, QEvent::MouseButtonRelease, { 2, 3 }, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(log, (std::vector<std::string> { "press", "click", "release" }));
}

TEST(BitWnd, WithoutForwardingTheParentSeesNothing)
{
    std::vector<std::string> log;
    RecordingParent parent;
    parent.log = &log;
    CBitWnd wnd(&parent);
    wnd.SetStrip(std::make_unique<ImageStrip>(Frames(1), 20, 20));
    Send(&wnd, QEvent::MouseButtonPress, { 2, 3 }, Qt::LeftButton, Qt::LeftButton);
    Send(&wnd, QEvent::MouseMove, { 4, 3 }, Qt::NoButton, Qt::LeftButton);
    Send(&wnd, QEvent::MouseButtonRelease, { 2, 3 }, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(log.empty());
}

TEST(BitWnd, WindowWithoutStripPaintsNothing)
{
    QWidget parent;
    parent.resize(40, 40);
    parent.setAutoFillBackground(true);
    QPalette green = parent.palette();
    green.setColor(QPalette::Window, Qt::green);
    parent.setPalette(green);
    CBitWnd wnd(&parent);
    wnd.setGeometry(0, 0, 20, 20);
    const QImage shot = parent.grab().toImage();
    EXPECT_EQ(shot.pixelColor(10, 10), QColor(Qt::green));
}

} // namespace
} // namespace velomira
