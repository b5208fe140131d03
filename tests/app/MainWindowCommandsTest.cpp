// The window's own commands, the mute button, title and tooltips.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>

#include "app/CSamplePlayerDlg.h"
#include "skin/CBitmapButton.h"
#include "skin/CSkinButton.h"
#include "support/ScriptedMessageBoxService.h"

namespace velomira {
namespace {

struct Rig {
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
};

void Click(QWidget* w)
{
    const QPoint at = w->rect().center();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)),
        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), w->mapToGlobal(QPointF(at)),
        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

TEST(MainWindowControls, EveryControlIsAddressedByItsId)
{
    Rig rig;
    for (const int id : { 1000, 1001, 1002, 1004, 1006, 1014, 1023, 1193, 1199, 5005 }) {
        QWidget* control = rig.window.findChild<QWidget*>(QString::number(id));
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control, rig.window.Control(id));
    }
    EXPECT_EQ(rig.window.objectName(), "102");
    EXPECT_TRUE(rig.window.windowFlags() & Qt::FramelessWindowHint);
}

TEST(MainWindowControls, MuteButtonIsACheckButtonThatTogglesOnClick)
{
    Rig rig;
    CSkinButton* mute = rig.window.MuteButton();
    ASSERT_NE(mute, nullptr);
    EXPECT_EQ(mute->kind(), SkinButtonKind::Check);
    EXPECT_EQ(mute->drawMode(), SkinDrawMode::Tile);
    bool sawChecked = false;
    QObject::connect(mute, &QAbstractButton::clicked, [&] { sawChecked = mute->GetCheck(); });
    Click(mute);
    EXPECT_TRUE(mute->GetCheck());
    EXPECT_TRUE(sawChecked);
}

TEST(MainWindowControls, ExitButtonClosesTheWindowAfterStoppingThePlayer)
{
    Rig rig;
    int stops = 0;
    MainWindowHooks hooks;
    hooks.stopPlayer = [&stops] { ++stops; };
    rig.window.SetHooks(hooks);
    rig.window.show();
    Click(rig.window.Control(1001));
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(rig.window.isVisible());
}

TEST(MainWindowControls, EnterAndEscapeDoNotCloseTheWindow)
{
    Rig rig;
    rig.window.show();
    for (const int key : { Qt::Key_Escape, Qt::Key_Return }) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&rig.window, &press);
    }
    EXPECT_TRUE(rig.window.isVisible());
}

struct TitleCase {
    int language;
    const char* title;
};

class WindowTitle : public ::testing::TestWithParam<TitleCase> { };

TEST_P(WindowTitle, FollowsTheLanguage)
{
    Rig rig;
    rig.window.SetLanguage(GetParam().language);
    rig.window.ApplyWindowTitle();
    EXPECT_EQ(rig.window.windowTitle(), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowTitle,
    ::testing::Values(TitleCase { 0, "ベロミラ6" }, TitleCase { 1, "VELOMIRA6" },
        TitleCase { 2, "루미엘" }, TitleCase { 7, "" }));

struct TooltipCase {
    int language;
    int control;
    const char* text;
};

class Tooltips : public ::testing::TestWithParam<TooltipCase> { };

TEST_P(Tooltips, ReadInTheLanguageRegistered)
{
    Rig rig;
    rig.window.SetLanguage(GetParam().language);
    EXPECT_EQ(rig.window.RegisterTooltips(), 1);
    EXPECT_EQ(
        rig.window.Control(GetParam().control)->toolTip(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Languages, Tooltips,
    ::testing::Values(TooltipCase { 1, 1206, "Play speed" }, TooltipCase { 0, 1206, "速度再生" },
        TooltipCase { 2, 1206, "재생 속도" }, TooltipCase { 2, 1194, "파일열기" },
        TooltipCase { 1, 1041, "Front View <-> Rear View" },
        TooltipCase { 0, 1008, "次のファイルを表示" }, TooltipCase { 7, 1206, "" },
        TooltipCase { 1, 1001, "" }));

TEST(TooltipRegistration, SameLanguageTwiceRegistersOnce)
{
    Rig rig;
    rig.window.SetLanguage(1);
    EXPECT_EQ(rig.window.RegisterTooltips(), 1);
    EXPECT_EQ(rig.window.RegisterTooltips(), 0);
    EXPECT_EQ(rig.window.lastTooltipLanguage(), 1);
}

TEST(TooltipRegistration, UnknownLanguageRegistersNothingButIsRemembered)
{
    Rig rig;
    rig.window.SetLanguage(7);
    EXPECT_EQ(rig.window.RegisterTooltips(), 1);
    EXPECT_EQ(rig.window.lastTooltipLanguage(), 7);
    EXPECT_EQ(rig.window.RegisterTooltips(), 0);
    EXPECT_TRUE(rig.window.Control(1194)->toolTip().isEmpty());
}

TEST(TooltipRegistration, AfterALanguageChangeTheNewTextIsShown)
{
    Rig rig;
    rig.window.SetLanguage(1);
    rig.window.RegisterTooltips();
    rig.window.SetLanguage(2);
    EXPECT_EQ(rig.window.RegisterTooltips(), 1);
    EXPECT_EQ(rig.window.Control(1007)->toolTip(), QString::fromUtf8("정지"));
    EXPECT_EQ(rig.window.Control(1199)->toolTip(), QString::fromUtf8("소프트웨어 정보"));
}

} // namespace
} // namespace velomira

namespace velomira {
namespace {

void Press(QWidget* w, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), w->mapToGlobal(QPointF(at)),
        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

TEST(MainWindowMouse, TopStripMovesTheWindowAndTheRestReachesTheSeekBand)
{
    Rig rig;
    std::vector<QPoint> seen;
    int focus = 0;
    MainWindowHooks hooks;
    hooks.leftButtonOnWindow = [&seen](QPoint p) { seen.push_back(p); };
    hooks.focusList = [&focus] { ++focus; };
    rig.window.SetHooks(hooks);
    Press(&rig.window, QPoint(300, 10));
    EXPECT_TRUE(seen.empty()) << "a press on the strip starts the window move";
    EXPECT_EQ(focus, 1);
    Press(&rig.window, QPoint(300, 430));
    EXPECT_EQ(seen, (std::vector<QPoint> { QPoint(300, 430) }));
}

TEST(MainWindowPainting, TelemetryIsPaintedWhilePlayingOrPausedOnly)
{
    // A paused recording keeps its panel when the window is uncovered; a stopped, fresh or
    // closed player shows the empty gauges.
    Rig rig;
    int state = 1;
    int draws = 0;
    MainWindowHooks hooks;
    hooks.playerState = [&state] { return state; };
    hooks.paintTelemetry = [&draws](QPainter&) { ++draws; };
    rig.window.SetHooks(hooks);
    rig.window.grab();
    EXPECT_EQ(draws, 1);
    state = 0;
    rig.window.grab();
    EXPECT_EQ(draws, 2);
    for (const int stopped : { 2, 3, -1 }) {
        state = stopped;
        rig.window.grab();
    }
    EXPECT_EQ(draws, 2);
}

struct AboutCase {
    int language;
    const char* box; // objectName of the box shown, empty for none
};

class AboutCommand : public ::testing::TestWithParam<AboutCase> { };

TEST_P(AboutCommand, ShowsTheBoxOfTheLanguage)
{
    Rig rig;
    int focus = 0;
    MainWindowHooks hooks;
    hooks.focusList = [&focus] { ++focus; };
    rig.window.SetHooks(hooks);
    rig.window.SetLanguage(GetParam().language);
    QString shown;
    // Closes whatever modal box the command opens, noting which it was.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = modal->objectName();
            modal->close();
        }
    });
    closer.start(10);
    rig.window.OnAbout();
    EXPECT_EQ(shown, QString::fromUtf8(GetParam().box));
    EXPECT_EQ(focus, 1);
}

INSTANTIATE_TEST_SUITE_P(Languages, AboutCommand,
    ::testing::Values(AboutCase { 0, "7394" }, AboutCase { 1, "7394" }, AboutCase { 2, "382" },
        AboutCase { 7, "" }));

} // namespace
} // namespace velomira
