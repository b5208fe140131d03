#include "skin/CBitSlider.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>

namespace velomira {
namespace {

// A track image whose pixels say where they come from: one colour channel holds the
// column, so a pixel drawn from the wrong place or the wrong image shows.
QImage Track(bool filled)
{
    QImage image(200, 20, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, filled ? qRgb(x, 0, 0) : qRgb(0, 0, x));
    }
    return image;
}

std::unique_ptr<CBitSlider> MakeSlider(QWidget* parent)
{
    auto slider = std::make_unique<CBitSlider>(Qt::Horizontal, parent);
    slider->setGeometry(10, 10, 300, 30);
    slider->setRange(0, 100);
    slider->InitThumb(233, 5, 20);
    slider->SetTrackImages(Track(false), Track(true));
    return slider;
}

TEST(BitSlider, TakesTheSizeOfTheFilledImage)
{
    CBitSlider slider(Qt::Horizontal);
    slider.setGeometry(3, 4, 300, 40);
    slider.InitThumb(233, 5, 20);
    slider.SetTrackImages(252, 253);
    EXPECT_EQ(slider.geometry(), QRect(3, 4, 92, 20));
}

TEST(BitSlider, TrackLeftOfTheThumbIsFilledAndRightOfItRemaining)
{
    QWidget parent;
    auto slider = MakeSlider(&parent);
    slider->setValue(50);
    const QRect thumb = slider->ThumbRect();
    ASSERT_GT(thumb.left(), 20);
    ASSERT_LT(thumb.right(), 180);
    EXPECT_EQ(slider->thumb()->geometry(), thumb);
    const QImage shot = slider->grab().toImage();
    for (const int x : { 0, 5, thumb.left() - 1 }) {
        EXPECT_EQ(shot.pixel(x, 10) & 0xFFFFFF, qRgb(x, 0, 0) & 0xFFFFFF) << "x " << x;
    }
    for (const int x : { thumb.right() + 1, thumb.right() + 7, 199 }) {
        EXPECT_EQ(shot.pixel(x, 10) & 0xFFFFFF, qRgb(0, 0, x) & 0xFFFFFF) << "x " << x;
    }
    // The thumb image lies over the track at its place.
    const QImage thumbImage = QImage(":/skin/233.png").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot.pixel(thumb.left() + 2, 10), thumbImage.pixel(2, 10));
}

TEST(BitSlider, ThumbFollowsTheValue)
{
    QWidget parent;
    auto slider = MakeSlider(&parent);
    slider->setValue(10);
    const int low = slider->thumb()->x();
    slider->setValue(90);
    EXPECT_GT(slider->thumb()->x(), low + 100);
    slider->SetThumbOffset(1);
    EXPECT_EQ(slider->thumb()->y(), 1);
}

TEST(BitSlider, WheelNeverMovesIt)
{
    QWidget parent;
    auto slider = MakeSlider(&parent);
    slider->setValue(40);
    int moved = 0;
    QObject::connect(slider.get(), &QAbstractSlider::actionTriggered, [&moved] { ++moved; });
    for (const int delta : { 120, -120, 480 }) {
        QWheelEvent wheel(QPointF(50, 10), slider->mapToGlobal(QPointF(50, 10)), QPoint(),
            QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(slider.get(), &wheel);
    }
    EXPECT_EQ(slider->value(), 40);
    EXPECT_EQ(moved, 0);
}

TEST(BitSlider, DraggingTheThumbMovesTheSlider)
{
    QWidget parent;
    parent.resize(400, 60);
    auto slider = MakeSlider(&parent);
    slider->setValue(0);
    QWidget* thumb = const_cast<CBitWnd*>(slider->thumb());
    const QPoint start = thumb->rect().center();
    const auto send
        = [thumb](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
              QMouseEvent event(
                  type, QPointF(at), thumb->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
              QCoreApplication::sendEvent(thumb, &event);
          };
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, start + QPoint(100, 0), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, start + QPoint(100, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_GT(slider->value(), 30);
    EXPECT_LT(slider->value(), 70);
}

TEST(BitSlider, InitThumbRunsOnceAndNotForImageZero)
{
    CBitSlider slider(Qt::Horizontal);
    slider.InitThumb(0, 5, 20);
    EXPECT_EQ(slider.thumb(), nullptr);
    slider.InitThumb(233, 5, 20);
    const CBitWnd* first = slider.thumb();
    ASSERT_NE(first, nullptr);
    slider.InitThumb(233, 9, 9);
    EXPECT_EQ(slider.thumb(), first);
    EXPECT_EQ(first->size(), QSize(5, 20));
}

TEST(BitSlider, WithoutImagesItShowsNothing)
{
    QWidget parent;
    parent.resize(200, 60);
    parent.setAutoFillBackground(true);
    QPalette green = parent.palette();
    green.setColor(QPalette::Window, Qt::green);
    parent.setPalette(green);
    CBitSlider slider(Qt::Horizontal, &parent);
    slider.setGeometry(10, 10, 150, 30);
    slider.InitThumb(233, 5, 20);
    const QImage shot = parent.grab().toImage();
    for (int x = 10; x < 160; x += 7) {
        for (int y = 10; y < 40; y += 5)
            ASSERT_EQ(shot.pixelColor(x, y), QColor(Qt::green)) << x << "," << y;
    }
}

} // namespace
} // namespace velomira
