// The list window: what the filter and order buttons show, the current entry kept
// across an order flip, the requests a click and the close button leave.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTableWidget>

#include "library/CListDlg.h"
#include "skin/CBitmapButton.h"

namespace velomira {
namespace {

RecordingEntry Entry(const std::string& kind, const std::string& stamp)
{
    RecordingEntry entry;
    entry.kind = kind;
    entry.date = stamp.substr(0, 8);
    entry.path = "E:\\" + kind + "\\" + stamp + "_ab.mp4";
    return entry;
}

std::vector<std::string> Kinds(const CListDlg& list)
{
    std::vector<std::string> kinds;
    for (int row = 0; row < list.ItemCount(); ++row)
        kinds.push_back(list.ItemText(row, 2).toStdString());
    return kinds;
}

TEST(ListWindowFilter, KindButtonsShowTheirKindsAndImportedFilesAlways)
{
    CListDlg list;
    list.lists().master = { Entry("NORMAL", "20120315_110000"), Entry("EVENT", "20120315_120000"),
        Entry("PARKING", "20120315_130000"), Entry("File", "20120315_140000") };
    struct Case {
        const char* button;
        std::vector<std::string> kinds;
    };
    const Case cases[] = {
        { "1201", { "File", "NORMAL" } },
        { "1205", { "File", "EVENT" } },
        { "1207", { "File", "EVENT", "NORMAL" } },
    };
    for (const Case& c : cases) {
        list.findChild<CBitmapButton*>(c.button)->click();
        EXPECT_EQ(Kinds(list), c.kinds) << c.button;
        EXPECT_EQ(list.lists().master.size(), 4u);
    }
}

TEST(ListWindowFilter, TheListShowsTheFourColumnsWithThePathHidden)
{
    CListDlg list;
    list.lists().master = { Entry("Normal", "20120315_110000") };
    EXPECT_EQ(list.FilterAndSortEntries(), 1);
    QTableWidget* view = list.visibleList();
    EXPECT_EQ(view->objectName(), "1013");
    EXPECT_EQ(view->columnCount(), 4);
    EXPECT_TRUE(view->isColumnHidden(3));
    EXPECT_EQ(view->columnWidth(0), 80);
    EXPECT_EQ(view->columnWidth(2), 70);
    EXPECT_EQ(view->palette().color(QPalette::Base), QColor(0x33, 0x33, 0x33));
    EXPECT_EQ(view->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(list.ItemText(0, 3), "E:\\Normal\\20120315_110000_ab.mp4");
    EXPECT_EQ(list.ItemText(5, 3), "");
}

TEST(ListWindowOrder, FlippingMirrorsTheCurrentEntry)
{
    struct Case {
        int entries;
        int current;
        int mirrored;
    };
    const Case cases[] = {
        { 10, 2, 7 }, { 10, 0, 9 }, { 1, 0, 0 }, { 10, -1, -1 }, // nothing loaded: nothing to keep
    };
    for (const Case& c : cases) {
        CListDlg list;
        for (int i = 0; i < c.entries; ++i)
            list.lists().master.push_back(
                Entry("Normal", "201203" + std::to_string(10 + i) + "_110000"));
        list.FilterAndSortEntries();
        int currentIndex = c.current;
        list.SetCurrentIndexField(&currentIndex);
        const QString path = list.ItemText(c.current, 3);
        auto* order = list.findChild<CBitmapButton*>("1331");
        order->click();
        EXPECT_EQ(currentIndex, c.mirrored) << c.entries << " " << c.current;
        EXPECT_EQ(list.SelectedRow(), c.mirrored);
        EXPECT_EQ(list.ItemText(c.mirrored, 3), path);
        EXPECT_EQ(order->normalImageId(), 477);
        order->click();
        EXPECT_EQ(order->normalImageId(), 476);
        EXPECT_EQ(currentIndex, c.current);
    }
}

TEST(ListWindowOrder, NewestFirstPutsEntriesWithoutAStampLast)
{
    CListDlg list;
    list.lists().master = { Entry("Normal", "20120315_110000"), Entry("Normal", "x"),
        Entry("Normal", "20120315_120000") };
    list.FilterAndSortEntries();
    EXPECT_EQ(list.ItemText(0, 3), "E:\\Normal\\20120315_120000_ab.mp4");
    EXPECT_EQ(list.ItemText(2, 3), "E:\\Normal\\x_ab.mp4");
}

TEST(ListWindowRequests, ClickAndCloseOnlyLeaveRequests)
{
    CListDlg list;
    list.lists().master
        = { Entry("Normal", "20120315_110000"), Entry("Normal", "20120315_120000") };
    list.FilterAndSortEntries();
    list.show();
    list.SelectOnly(1);
    EXPECT_FALSE(list.activateRequest());
    emit list.visibleList()->clicked(list.visibleList()->model()->index(1, 0));
    EXPECT_TRUE(list.activateRequest());
    EXPECT_EQ(list.SelectionMark(), 1);

    list.findChild<CBitmapButton*>("1200")->click();
    EXPECT_TRUE(list.closeRequest());
    EXPECT_TRUE(list.isVisible());
    list.SetCloseRequest(false);
    list.close(); // by the window system: the same request, the window stays
    EXPECT_TRUE(list.closeRequest());
    EXPECT_TRUE(list.isVisible());
    for (const int key : { Qt::Key_Return, Qt::Key_Escape }) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&list, &press);
    }
    EXPECT_TRUE(list.isVisible());
}

} // namespace
} // namespace velomira

namespace velomira {
namespace {

struct PlacementCase {
    const char* name;
    QPoint mainTopRight;
    QRect available;
    QPoint expected;
};

// The list window sits against the main window's right edge when the screen has room,
// and otherwise stays wholly on the screen instead of running off its edge.
TEST(ListWindowPlacement, BesideTheMainWindowWhileItFitsOnTheScreen)
{
    const PlacementCase cases[] = {
        { "room on the right", QPoint(1150, 40), QRect(0, 0, 1600, 900), QPoint(1150, 40) },
        { "exactly fits", QPoint(1344, 0), QRect(0, 0, 1600, 900), QPoint(1344, 0) },
        { "too narrow: pulled in", QPoint(1150, 40), QRect(0, 0, 1280, 800), QPoint(1024, 40) },
        { "too low: pulled up", QPoint(1150, 300), QRect(0, 0, 1600, 900), QPoint(1150, 180) },
        { "second screen", QPoint(3000, 100), QRect(1920, 0, 1280, 1024), QPoint(2944, 100) },
        { "main window off the left", QPoint(-300, 10), QRect(0, 0, 1600, 900), QPoint(0, 10) },
        { "no screen area", QPoint(5000, 5000), QRect(), QPoint(5000, 5000) },
    };
    for (const PlacementCase& c : cases)
        EXPECT_EQ(CListDlg::PlacementBeside(c.mainTopRight, c.available), c.expected) << c.name;
}

} // namespace
} // namespace velomira
