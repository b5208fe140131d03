// The viewer from start-up to a card playing, the list window's buttons, the keys that
// must not close the windows, the Open command and the card taken away.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QScreen>

#include "drives/StickAndCardMounts.h"
#include "e2e/ViewerSupport.h"
#include "playback/views/CPlxVideoView.h"
#include "skin/CBitSlider.h"
#include "skin/CBitmapButton.h"

namespace velomira {
namespace {

using test::ViewerOnCard;
using test::WaitUntil;

const std::vector<std::string> kNewestFirst = {
    "E:\\EVENT\\20240315_101400_EF.mp4",
    "E:\\Event\\20240315_101300_EF.avi",
    "E:\\Normal\\20240315_101210_NF.mp4",
    "E:\\Normal\\20240315_101110_NF.mp4",
    "E:\\NORMAL\\2024\\0315\\20240315_101010_NF.mp4",
};

std::vector<std::string> Paths(const CListDlg& list)
{
    std::vector<std::string> paths;
    for (int row = 0; row < list.ItemCount(); ++row)
        paths.push_back(list.ItemText(row, 3).toStdString());
    return paths;
}

TEST(ViewerStartUp, TakesTheLanguageTitleAndTooltipsFromTheCard)
{
    ViewerOnCard viewer;
    EXPECT_EQ(viewer.window->language(), 1);
    EXPECT_EQ(viewer.window->windowTitle(), "VELOMIRA6");
    EXPECT_EQ(viewer.window->lastTooltipLanguage(), 1);
    EXPECT_FALSE(viewer.window->Control(1012)->toolTip().isEmpty());
    EXPECT_EQ(viewer.session->mapProvider(), 1);
    EXPECT_EQ(viewer.window->size(), QSize(1020, 720));
    EXPECT_FALSE(viewer.list().isVisible());
    EXPECT_EQ(viewer.Label(1014), "00:00:00");
    EXPECT_TRUE(viewer.session->drives().watching());
    EXPECT_TRUE(viewer.messages.shown().empty());
}

TEST(ViewerStartUp, WithoutACardIsJapaneseAndSdOpenSaysSo)
{
    ViewerOnCard viewer(false);
    EXPECT_EQ(viewer.window->language(), 0);
    EXPECT_EQ(viewer.window->windowTitle(), QString::fromUtf8("ベロミラ6"));
    viewer.Press(1012);
    ASSERT_EQ(viewer.messages.shown().size(), 1u);
    EXPECT_EQ(viewer.messages.shown()[0].text, "SDカードを認識できません。");
    EXPECT_EQ(viewer.list().ItemCount(), 0);
}

TEST(ViewerSdOpen, ListsNormalAndEventNewestFirstAndPlaysTheFirst)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    EXPECT_EQ(Paths(viewer.list()), kNewestFirst);
    EXPECT_EQ(viewer.list().ItemText(0, 0), "2024-03-15");
    EXPECT_EQ(viewer.list().ItemText(0, 1), "10:14:00");
    EXPECT_EQ(viewer.list().ItemText(0, 2), "EVENT");
    EXPECT_TRUE(viewer.list().isVisible());
    EXPECT_TRUE(viewer.session->listShown());
    EXPECT_EQ(viewer.list().pos(),
        CListDlg::PlacementBeside(viewer.window->mapToGlobal(QPoint(viewer.window->width(), 0)),
            viewer.window->screen()->availableGeometry()));
    EXPECT_EQ(viewer.currentIndex(), 0);
    EXPECT_EQ(viewer.list().SelectedRow(), 0);
    EXPECT_EQ(viewer.session->state().currentDateText, "2024-03-15");
    EXPECT_EQ(viewer.window->Button(1006)->text(), "Pause");
    EXPECT_EQ(viewer.window->Button(1006)->normalImageId(), 426);
    EXPECT_EQ(viewer.window->rearPlace(), 2); // two video streams
    EXPECT_GT(viewer.session->telemetry().GpsRecords().size(), 0u);
    EXPECT_TRUE(viewer.messages.shown().empty());

    // After a few ticks the position has moved on screen.
    ASSERT_TRUE(WaitUntil([&] { return viewer.window->Slider(1002)->value() > 500; }));
    EXPECT_TRUE(viewer.Playing());
    EXPECT_EQ(viewer.Label(1015), "00:00:02");
    EXPECT_TRUE(WaitUntil([&] { return viewer.Label(1014) == "00:00:01"; }));
}

TEST(ViewerSdOpen, AnotherGenerationsCardGetsTheJapaneseVersionMessage)
{
    ViewerOnCard viewer;
    std::filesystem::resize_file(viewer.cardFolder / "SETUP" / "data_factory.cfg", 78);
    viewer.Press(1012);
    ASSERT_EQ(viewer.messages.shown().size(), 1u);
    EXPECT_NE(
        viewer.messages.shown()[0].text.find("バージョンが合っていません"), std::string::npos);
    EXPECT_EQ(viewer.list().ItemCount(), 0);
    EXPECT_EQ(viewer.session->card().cardDrive, "E:");
}

TEST(ListWindowButtons, FilterByKindAndFlipTheOrderKeepingTheCurrentEntry)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    viewer.Press(1008); // next: entry 1
    ASSERT_EQ(viewer.currentIndex(), 1);
    const QString current = viewer.list().ItemText(1, 3);
    auto* normal = viewer.list().findChild<CBitmapButton*>("1201");
    auto* event = viewer.list().findChild<CBitmapButton*>("1205");
    auto* all = viewer.list().findChild<CBitmapButton*>("1207");
    auto* order = viewer.list().findChild<CBitmapButton*>("1331");

    normal->click();
    EXPECT_EQ(Paths(viewer.list()),
        (std::vector<std::string>(kNewestFirst.begin() + 2, kNewestFirst.end())));
    EXPECT_EQ(normal->normalImageId(), 460);
    EXPECT_EQ(event->normalImageId(), 466); // a hidden kind shows its images swapped
    EXPECT_EQ(all->normalImageId(), 474);
    event->click();
    EXPECT_EQ(Paths(viewer.list()),
        (std::vector<std::string>(kNewestFirst.begin(), kNewestFirst.begin() + 2)));
    all->click();
    EXPECT_EQ(Paths(viewer.list()), kNewestFirst);
    EXPECT_EQ(all->normalImageId(), 473);

    order->click();
    EXPECT_EQ(order->normalImageId(), 477);
    EXPECT_EQ(viewer.currentIndex(), 3);
    EXPECT_EQ(viewer.list().SelectedRow(), 3);
    EXPECT_EQ(viewer.list().ItemText(3, 3), current);
    EXPECT_EQ(viewer.list().ItemText(0, 3).toStdString(), kNewestFirst.back());
}

TEST(ListWindowButtons, CloseButtonHidesTheWindowAtTheNextTick)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    viewer.list().findChild<CBitmapButton*>("1200")->click();
    EXPECT_TRUE(viewer.list().isVisible()); // only a request so far
    ASSERT_TRUE(WaitUntil([&] { return !viewer.list().isVisible(); }, 30000));
    EXPECT_FALSE(viewer.session->listShown());
    EXPECT_EQ(viewer.window->Button(1193)->normalImageId(), 340);
    viewer.Press(1193);
    EXPECT_TRUE(viewer.list().isVisible());
    EXPECT_EQ(viewer.window->Button(1193)->normalImageId(), 342);
}

TEST(ListWindowButtons, FullScreenDropsACloseRequestAndLeavingShowsTheListWithItsArrow)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    viewer.list().SetCloseRequest(true);
    viewer.window->OnFullScreen();
    EXPECT_FALSE(viewer.list().closeRequest());
    EXPECT_FALSE(viewer.session->listShown());
    EXPECT_EQ(viewer.window->Button(1193)->normalImageId(), 340);
    viewer.window->OnFullScreen();
    EXPECT_TRUE(viewer.session->listShown());
    EXPECT_TRUE(viewer.list().isVisible());
    EXPECT_EQ(viewer.window->Button(1193)->normalImageId(), 342);
    // No stale request hides the list again at the next tick.
    test::Pump(500);
    EXPECT_TRUE(viewer.list().isVisible());
}

TEST(ListWindowClick, AClickedEntryPlaysAtTheNextTick)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    // Paused at 0 the tick would move on to the next recording by itself.
    ASSERT_TRUE(WaitUntil([&] { return viewer.player().PositionMs() > 300; }));
    viewer.Press(1006); // pause
    ASSERT_EQ(viewer.player().State(), 1);
    viewer.list().SelectOnly(3);
    const QModelIndex index = viewer.list().visibleList()->model()->index(3, 0);
    emit viewer.list().visibleList()->clicked(index);
    EXPECT_TRUE(viewer.list().activateRequest());
    ASSERT_TRUE(WaitUntil([&] { return viewer.currentIndex() == 3 && viewer.Playing(); }));
    EXPECT_FALSE(viewer.list().activateRequest());
}

TEST(ViewerKeys, EnterAndEscapeLeaveBothWindowsOpen)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    for (QWidget* target :
        { static_cast<QWidget*>(viewer.window.get()), static_cast<QWidget*>(&viewer.list()) }) {
        for (const int key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape }) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &press);
        }
    }
    test::Pump(100);
    EXPECT_TRUE(viewer.window->isVisible());
    EXPECT_TRUE(viewer.list().isVisible());
}

TEST(ViewerOpenFiles, PlaysTheChosenFilesAndCancelChangesNothing)
{
    ViewerOnCard viewer;
    viewer.dialogs.answers.push_back(std::nullopt);
    viewer.Press(1194);
    EXPECT_EQ(viewer.dialogs.shown, 1);
    EXPECT_EQ(viewer.list().ItemCount(), 0);

    const std::string front = (test::TestDataDir() / "rec" / "front-only.mp4").string();
    const std::string both = (test::TestDataDir() / "rec" / "default.avi").string();
    viewer.dialogs.answers.push_back(std::vector<std::string> { front, both });
    viewer.Press(1194);
    ASSERT_EQ(viewer.list().ItemCount(), 2);
    EXPECT_EQ(viewer.list().ItemText(0, 2), "File");
    EXPECT_TRUE(viewer.list().isVisible());
    EXPECT_EQ(viewer.currentIndex(), 0);
    EXPECT_TRUE(WaitUntil([&] { return viewer.Playing(); }));
    // A recording with one camera shows it alone in the large place.
    const bool frontOnly = viewer.list().ItemText(0, 3).toStdString() == front;
    EXPECT_EQ(viewer.window->rearPlace(), frontOnly ? 0 : 2);
}

TEST(ViewerCardRemoved, WhilePlayingResetsListsLabelsSlidersAndPlayer)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    ASSERT_TRUE(WaitUntil([&] { return viewer.window->Slider(1002)->value() > 300; }));
    viewer.window->Slider(1004)->setValue(80);
    ASSERT_TRUE(viewer.window->frontView()->HasPicture());

    std::filesystem::rename(viewer.cardFolder, viewer.cardFolder.string() + "-gone");
    ASSERT_TRUE(WaitUntil([&] { return viewer.list().ItemCount() == 0; }, 30000));
    EXPECT_TRUE(viewer.list().lists().master.empty());
    EXPECT_EQ(viewer.player().State(), -1);
    EXPECT_FALSE(viewer.session->timer().isActive());
    EXPECT_EQ(viewer.Label(1014), "00:00:00");
    EXPECT_EQ(viewer.Label(1015), "00:00:00");
    EXPECT_EQ(viewer.window->Slider(1002)->value(), 0);
    EXPECT_EQ(viewer.window->Slider(1004)->value(), 50);
    EXPECT_TRUE(viewer.session->card().cardDrive.empty());
    EXPECT_EQ(viewer.window->Button(1006)->text(), "Play");
    EXPECT_FALSE(viewer.window->frontView()->HasPicture());
    EXPECT_FALSE(viewer.window->rearView()->HasPicture());
}

TEST(ViewerCardRemoved, AnotherDriveGoingAwayChangesNothing)
{
    ViewerOnCard viewer;
    viewer.Press(1012);
    viewer.session->OnDriveRemoved('F');
    EXPECT_EQ(viewer.list().ItemCount(), 5);
    EXPECT_TRUE(viewer.session->timer().isActive());
}

TEST(ViewerCardRemoved, UnpluggingAStickLeavesThePlayingCardAndItsLetterAlone)
{
    // The three user mounts as real folders under /media, as a desktop mounts them.
    test::StickAndCardMounts mounts;
    mounts.media = "/media/velomira-e2e-" + std::to_string(QCoreApplication::applicationPid());
    std::error_code error;
    for (const char* name : { "OTHER", "STICK" })
        std::filesystem::create_directories(mounts.media + "/" + name, error);
    std::filesystem::copy(test::TestDataDir() / "card", mounts.media + "/CARD",
        std::filesystem::copy_options::recursive, error);
    if (error)
        GTEST_SKIP() << "cannot make folders under /media: " << error.message();
    struct Cleanup {
        std::string folder;
        ~Cleanup() { std::filesystem::remove_all(folder); }
    } cleanup { mounts.media };
    qunsetenv("VELOMIRA_DRIVES");

    test::ScriptedMessageBoxService messages;
    test::ScriptedFileDialogs dialogs;
    CSamplePlayerDlg window(nullptr, &messages);
    ViewerSession session(
        window, &dialogs, [&mounts](const DriveTable* previous) { return mounts.Read(previous); });
    window.show();
    window.Button(1012)->click();
    ASSERT_EQ(session.card().cardDrive, "F:");
    ASSERT_TRUE(WaitUntil([&] { return session.player().PositionMs() > 300; }));

    mounts.stick = false;
    session.drives().Refresh();
    EXPECT_EQ(session.list().ItemCount(), 5);
    EXPECT_EQ(session.card().cardDrive, "F:");
    EXPECT_TRUE(session.timer().isActive());
    EXPECT_EQ(session.player().State(), 0);

    mounts.card = false;
    session.drives().Refresh();
    EXPECT_EQ(session.list().ItemCount(), 0);
    EXPECT_EQ(session.player().State(), -1);
    EXPECT_TRUE(session.card().cardDrive.empty());

    // Back in the slot the card gets the first free letter and SD-open finds it there.
    mounts.card = true;
    session.drives().Refresh();
    window.Button(1012)->click();
    EXPECT_EQ(session.card().cardDrive, "E:");
    EXPECT_EQ(session.list().ItemCount(), 5);
    EXPECT_TRUE(WaitUntil([&] { return session.player().State() == 0; }));
    EXPECT_TRUE(messages.shown().empty());
}

} // namespace
} // namespace velomira
