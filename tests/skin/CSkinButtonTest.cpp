#include "skin/CSkinButton.h"

#include <gtest/gtest.h>

#include <vector>

#include <QCoreApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "skin/SkinImages.h"

namespace velomira {
namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held
        = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

void Key(QWidget* w, QEvent::Type type, int key)
{
    QKeyEvent event(
        type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QCoreApplication::sendEvent(w, &event);
}

// A check button on a parent; every click records the check state it saw.
struct CheckRig {
    QWidget parent;
    CSkinButton* button;
    std::vector<bool> clicksSaw;

    explicit CheckRig(SkinButtonKind kind = SkinButtonKind::Check)
        : button(new CSkinButton(kind, &parent))
    {
        parent.resize(100, 100);
        button->setGeometry(10, 10, 23, 23);
        button->SetSkin(267, 293, 267, 267, 267, 267, 2, 0, 0);
        QObject::connect(
            button, &QAbstractButton::clicked, [this] { clicksSaw.push_back(button->GetCheck()); });
    }
};

TEST(SkinButtonEvents, CheckStateChangesBeforeTheClickArrives)
{
    CheckRig rig;
    Mouse(rig.button, QEvent::MouseButtonPress, { 5, 5 });
    EXPECT_TRUE(rig.button->pressTracking());
    Mouse(rig.button, QEvent::MouseButtonRelease, { 5, 5 });
    EXPECT_FALSE(rig.button->pressTracking());
    EXPECT_EQ(rig.clicksSaw, (std::vector<bool> { true }));
    Mouse(rig.button, QEvent::MouseButtonPress, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonRelease, { 5, 5 });
    EXPECT_EQ(rig.clicksSaw, (std::vector<bool> { true, false }));
}

TEST(SkinButtonEvents, ReleaseOutsideKeepsTheStateAndSendsNoClick)
{
    CheckRig rig;
    Mouse(rig.button, QEvent::MouseButtonPress, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonRelease, { 60, 60 });
    EXPECT_FALSE(rig.button->GetCheck());
    EXPECT_TRUE(rig.clicksSaw.empty());
}

TEST(SkinButtonEvents, DoubleClickTogglesTwice)
{
    CheckRig rig;
    Mouse(rig.button, QEvent::MouseButtonPress, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonRelease, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonDblClick, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonRelease, { 5, 5 });
    EXPECT_EQ(rig.clicksSaw, (std::vector<bool> { true, false }));
}

TEST(SkinButtonEvents, SpaceTogglesOnKeyDownAndClicksOnKeyUp)
{
    CheckRig rig;
    Key(rig.button, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(rig.button->GetCheck());
    EXPECT_TRUE(rig.clicksSaw.empty());
    Key(rig.button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(rig.clicksSaw, (std::vector<bool> { true }));
}

TEST(SkinButtonEvents, PushButtonNeverStaysChecked)
{
    CheckRig rig(SkinButtonKind::Push);
    rig.button->SetCheck(true);
    EXPECT_FALSE(rig.button->GetCheck());
    Mouse(rig.button, QEvent::MouseButtonPress, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonRelease, { 5, 5 });
    EXPECT_EQ(rig.clicksSaw, (std::vector<bool> { false }));
}

TEST(SkinButtonRadio, CheckingOneUnchecksTheOthersOfItsGroupAfterwards)
{
    QWidget parent;
    auto* a = new CSkinButton(SkinButtonKind::Radio, &parent);
    auto* b = new CSkinButton(SkinButtonKind::Radio, &parent);
    auto* c = new CSkinButton(SkinButtonKind::Radio, &parent);
    auto* other = new CSkinButton(SkinButtonKind::Check, &parent);
    other->SetRadioGroup(1);
    other->SetCheck(true);
    a->SetCheck(true);
    QCoreApplication::processEvents();
    b->SetCheck(true);
    EXPECT_TRUE(a->GetCheck()) << "the others clear only after the current event";
    QCoreApplication::processEvents();
    EXPECT_FALSE(a->GetCheck());
    EXPECT_TRUE(b->GetCheck());
    EXPECT_FALSE(c->GetCheck());
    EXPECT_TRUE(other->GetCheck()) << "another group is left alone";
}

TEST(SkinButtonRadio, ReleaseOverARadioButtonChecksIt)
{
    CheckRig rig(SkinButtonKind::Radio);
    Mouse(rig.button, QEvent::MouseButtonPress, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonRelease, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonPress, { 5, 5 });
    Mouse(rig.button, QEvent::MouseButtonRelease, { 5, 5 });
    EXPECT_EQ(rig.clicksSaw, (std::vector<bool> { true, true }));
}

TEST(SkinButtonLooks, HoverBeatsFocusAndCheckedBeatsHover)
{
    QWidget parent;
    auto* button = new CSkinButton(SkinButtonKind::Check, &parent);
    parent.resize(200, 200);
    button->setGeometry(100, 100, 40, 39);
    button->setFocusPolicy(Qt::StrongFocus);
    button->SetSkin(412, 413, 416, 0, 418, 0, 1, 0, 0);
    parent.show();
    button->setFocus();
    QCoreApplication::processEvents();
    ASSERT_TRUE(button->hasFocus());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->CurrentImage(), LoadSkinImage(418));
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(button->CurrentImage(), LoadSkinImage(416));
    button->SetCheck(true);
    EXPECT_EQ(button->CurrentImage(), LoadSkinImage(413));
}

TEST(SkinButtonLooks, DisabledWithoutItsOwnImageUsesTheNormalImage)
{
    CSkinButton button(SkinButtonKind::Push);
    button.SetSkin(412, 413, 0, 0, 0, 0, 1, 0, 0);
    button.setEnabled(false);
    EXPECT_EQ(button.CurrentImage(), LoadSkinImage(412));
}

struct SkinNumbers {
    const char* name;
    int drawMode, focusMargin;
    SkinDrawMode storedMode;
    int storedMargin;
};

class SkinButtonSetSkin : public ::testing::TestWithParam<SkinNumbers> { };

TEST_P(SkinButtonSetSkin, ClampsItsNumbers)
{
    const SkinNumbers& c = GetParam();
    CSkinButton button(SkinButtonKind::Push);
    button.SetSkin(267, 293, 0, 0, 0, 0, c.drawMode, -1, c.focusMargin);
    EXPECT_EQ(button.drawMode(), c.storedMode);
    EXPECT_EQ(button.focusMargin(), c.storedMargin);
    EXPECT_EQ(button.border(), -1);
}

INSTANTIATE_TEST_SUITE_P(Values, SkinButtonSetSkin,
    ::testing::Values(SkinNumbers { "ModeAboveRange", 5, 3, SkinDrawMode::Tile, 3 },
        SkinNumbers { "ModeBelowRange", -3, 0, SkinDrawMode::Plain, 0 },
        SkinNumbers { "NegativeMargin", 1, -4, SkinDrawMode::Stretch, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SkinButtonShape, MuteButtonMaskKeepsTheWholeRectangle)
{
    CSkinButton button(SkinButtonKind::Check);
    button.resize(23, 23);
    button.SetSkin(267, 293, 267, 267, 267, 267, 2, 0, 0);
    EXPECT_EQ(button.windowRegion(), QRegion(0, 0, 23, 23));
}

TEST(SkinButtonShape, PlainModeTakesTheMaskSize)
{
    CSkinButton button(SkinButtonKind::Push);
    button.resize(60, 60);
    button.SetSkin(412, 0, 0, 0, 0, 412, 0, 0, 0);
    EXPECT_EQ(button.size(), QSize(40, 39));
}

TEST(SkinButtonShape, CheckedMuteButtonPaintsTheDownImage)
{
    CSkinButton button(SkinButtonKind::Check);
    button.resize(23, 23);
    button.SetSkin(267, 293, 267, 267, 267, 267, 2, 0, 0);
    button.SetCheck(true);
    const QImage shot = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shot, LoadSkinImage(293));
}

} // namespace
} // namespace velomira
