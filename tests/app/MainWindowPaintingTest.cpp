// The main window rendered offscreen, compared with the skin where a fault would show.
#include <gtest/gtest.h>

#include <QLabel>

#include "app/CSamplePlayerDlg.h"
#include "skin/CBitSlider.h"
#include "skin/SkinImages.h"
#include "support/ScriptedMessageBoxService.h"

namespace velomira {
namespace {

QImage Render(CSamplePlayerDlg& window)
{
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Counts the pixels of `area` where `shot` differs from `reference` at the same place.
int Differences(
    const QImage& shot, const QImage& reference, const QRect& area, QPoint referenceOrigin = {})
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (shot.pixel(x, y)
                != reference.pixel(x - referenceOrigin.x(), y - referenceOrigin.y()))
                ++count;
        }
    }
    return count;
}

struct Rig {
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
};

TEST(MainWindowPainting, BackgroundIsTheSkinWhereNoControlLies)
{
    Rig rig;
    const QImage shot = Render(rig.window);
    const QImage skin = LoadSkinImage(411);
    ASSERT_EQ(shot.size(), skin.size());
    // The title strip left of the window buttons, the strip between the panels, the map
    // area and the gap in the bottom row.
    for (const QRect area : { QRect(0, 0, 930, 33), QRect(660, 37, 20, 360),
             QRect(680, 354, 326, 353), QRect(400, 674, 35, 39), QRect(200, 460, 300, 100) })
        EXPECT_EQ(Differences(shot, skin, area), 0) << area.x() << "," << area.y();
}

TEST(MainWindowPainting, ButtonsShowTheirNormalImages)
{
    Rig rig;
    const QImage shot = Render(rig.window);
    const struct {
        int id;
        QPoint at;
    } buttons[] = { { 1007, { 680, 297 } }, { 1006, { 770, 297 } }, { 1194, { 15, 674 } },
        { 1199, { 600, 674 } }, { 1001, { 991, 1 } }, { 5005, { 17, 495 } },
        { 1023, { 16, 460 } } };
    const int images[] = { 412, 416, 8388, 409, 438, 448, 267 };
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        const QImage image = LoadSkinImage(images[i]);
        EXPECT_EQ(Differences(shot, image, QRect(buttons[i].at, image.size()), buttons[i].at), 0)
            << "control " << buttons[i].id;
    }
}

TEST(MainWindowPainting, PositionLabelFillsOnlyWhenItHasText)
{
    Rig rig;
    const QRect label(32, 420, 50, 12);
    QImage shot = Render(rig.window);
    // With "00:00:00": the fill colour around white text.
    EXPECT_EQ(QColor(shot.pixel(label.right(), label.top())), QColor(28, 33, 37));
    int white = 0;
    for (int x = label.left(); x <= label.right(); ++x)
        for (int y = label.top(); y <= label.bottom(); ++y)
            white += qGray(shot.pixel(x, y)) > 200 ? 1 : 0;
    EXPECT_GT(white, 10);
    qobject_cast<QLabel*>(rig.window.Control(1014))->setText(QString());
    shot = Render(rig.window);
    EXPECT_EQ(Differences(shot, LoadSkinImage(411), label), 0);
}

TEST(MainWindowPainting, DurationLabelDrawsWhiteTextWithoutFill)
{
    Rig rig;
    const QRect label(595, 420, 64, 12);
    const QImage shot = Render(rig.window);
    const QImage skin = LoadSkinImage(411);
    int white = 0;
    int kept = 0;
    for (int x = label.left(); x <= label.right(); ++x) {
        for (int y = label.top(); y <= label.bottom(); ++y) {
            white += qGray(shot.pixel(x, y)) > 200 ? 1 : 0;
            kept += shot.pixel(x, y) == skin.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(white, 10);
    EXPECT_GT(kept, label.width() * label.height() / 2) << "the background shows through";
}

TEST(MainWindowPainting, LargerClientIsBlackBeyondTheSkin)
{
    Rig rig;
    rig.window.resize(1200, 850);
    const QImage shot = Render(rig.window);
    EXPECT_EQ(QColor(shot.pixel(1100, 100)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(500, 800)), QColor(Qt::black));
    EXPECT_EQ(shot.pixel(100, 10), LoadSkinImage(411).pixel(100, 10));
}

TEST(MainWindowPainting, RepaintOfSomePartsDrawsEachInItsPlace)
{
    // A slider or the telemetry panel repaints a few parts of the window, not all of it;
    // a client larger than the skin has one part straddling its edge.
    Rig rig;
    rig.window.resize(1200, 850);
    const QImage skin = LoadSkinImage(411);
    const QRect parts[]
        = { QRect(200, 460, 300, 100), QRect(680, 354, 100, 50), QRect(990, 700, 100, 60) };
    QRegion region;
    for (const QRect& part : parts)
        region += part;
    QImage shot(rig.window.size(), QImage::Format_RGB32);
    shot.fill(Qt::red);
    // render() puts the region's bounding box at the offset given.
    rig.window.render(
        &shot, region.boundingRect().topLeft(), region, QWidget::DrawWindowBackground);
    EXPECT_EQ(Differences(shot, skin, parts[0]), 0);
    EXPECT_EQ(Differences(shot, skin, parts[1]), 0);
    EXPECT_EQ(Differences(shot, skin, parts[2].intersected(skin.rect())), 0);
    EXPECT_EQ(QColor(shot.pixel(1080, 750)), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(100, 100)), QColor(Qt::red)) << "outside the parts";
}

TEST(MainWindowPainting, SlidersShowTrackAndThumb)
{
    Rig rig;
    CBitSlider* volume = rig.window.Slider(1004);
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->value(), 50);
    EXPECT_EQ(volume->maximum(), 99);
    const QImage shot = Render(rig.window);
    const QRect thumb = volume->ThumbRect().translated(volume->pos());
    const QImage filled = LoadSkinImage(253);
    const QImage remaining = LoadSkinImage(252);
    EXPECT_EQ(Differences(shot, filled, QRect(50, 462, thumb.left() - 50, 20), { 50, 462 }), 0);
    EXPECT_EQ(Differences(shot, remaining,
                  QRect(thumb.right() + 1, 462, 142 - thumb.right() - 1, 20), { 50, 462 }),
        0);
    const QImage thumbImage = LoadSkinImage(233);
    EXPECT_EQ(Differences(shot, thumbImage, thumb, thumb.topLeft()), 0);
}

} // namespace
} // namespace velomira
