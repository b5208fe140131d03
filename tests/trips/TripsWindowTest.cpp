// The trips window on the whole viewer: a generated card of two drives, the window opened
// from the list window, a click on the map's track playing the recording at that moment.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>

#include <QProgressBar>
#include <QTableWidget>

#include "app/commands/TripsCommand.h"
#include "e2e/ViewerSupport.h"
#include "trips/views/CTripsDlg.h"
#include "trips/views/TripsMapView.h"

namespace velomira {
namespace {

TEST(TripsWindow, ListsTheTripsAndAClickOnTheMapPlaysThatMoment)
{
    test::ViewerOnCard viewer(false);
    const std::string make = std::string(VELOMIRA_MKCARD) + " trips '" + viewer.cardFolder.string()
        + "' --trips 2 --per-trip 3";
    ASSERT_EQ(std::system(make.c_str()), 0);
    // A file named as the older drive's fourth recording that is no recording at all.
    std::ofstream(viewer.cardFolder / "NORMAL" / "20240301_080230_NF.mp4") << "not a recording";
    viewer.Press(1012);
    ASSERT_TRUE(test::WaitUntil([&] { return viewer.list().ItemCount() == 7; }, 30000));

    int drawn = 0;
    viewer.list().tripsButton()->click();
    CTripsDlg* trips = viewer.session->tripsCommand().tripsWindow();
    ASSERT_NE(trips, nullptr);
    QObject::connect(trips, &CTripsDlg::tripDrawn, [&drawn](int n) { drawn = n; });
    ASSERT_TRUE(test::WaitUntil(
        [&] { return !trips->loading() && trips->tripList()->rowCount() == 2 && drawn == 2; },
        60000));
    EXPECT_GE(trips->width(), 1000);
    EXPECT_GE(trips->height(), 700);
    EXPECT_EQ(trips->tripList()->item(0, 0)->text(), "2024-03-01 14:05:00"); // newest first
    EXPECT_EQ(trips->tripList()->item(0, 6)->text(), "3");
    EXPECT_EQ(trips->tripList()->item(1, 6)->text(), "4 (1 cannot be read)");
    EXPECT_EQ(trips->progress()->value(), 7);

    // The older trip's second recording, about 20.5 s in: the page is clicked there.
    const TripBook& book = *trips->book();
    const Trip& older = book.trips().back();
    const std::size_t source = older.recordings[1];
    const TrackFix* target = nullptr;
    for (const TrackFix& fix : book.TrackOf(source)->fixes) {
        if (fix.offsetMs >= 20000 && target == nullptr)
            target = &fix;
    }
    ASSERT_NE(target, nullptr);
    // Selected, the trip fills the map; the click goes where a pointer's would, through
    // whatever lies on top of the track at that point (the car's marker is on the map).
    trips->SelectTrip(TripBook::KeyOf(older));
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            QVariant inView;
            trips->mapView()->Run(
                QStringLiteral("selected === %1 && car !== null").arg(TripBook::KeyOf(older)),
                [&](const QVariant& v) { inView = v; });
            test::WaitUntil([&] { return inView.isValid(); }, 5000);
            return inView.toBool();
        },
        30000));
    trips->mapView()->Run(
        QStringLiteral("(function () { var p = map.latLngToContainerPoint(L.latLng(%1, %2));"
                       " var box = map.getContainer().getBoundingClientRect();"
                       " var x = box.left + p.x, y = box.top + p.y;"
                       " var target = document.elementFromPoint(x, y);"
                       " ['mousedown', 'mouseup', 'click'].forEach(function (type) {"
                       "   target.dispatchEvent(new MouseEvent(type, { bubbles: true,"
                       "     cancelable: true, clientX: x, clientY: y, view: window })); }); })()")
            .arg(target->latitude, 0, 'f', 9)
            .arg(target->longitude, 0, 'f', 9));

    // The list is newest first: the older trip's second recording is row 4.
    const QString path = QString::fromStdString(book.sources()[source].entry.path);
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            return viewer.currentIndex() >= 0
                && viewer.list().ItemText(viewer.currentIndex(), 3) == path;
        },
        30000));
    EXPECT_EQ(viewer.list().SelectedRow(), viewer.currentIndex());
    EXPECT_EQ(trips->SelectedTrip(), TripBook::KeyOf(older));
    ASSERT_TRUE(test::WaitUntil([&] { return viewer.Label(1014) >= "00:00:20"; }, 30000));
    EXPECT_LE(viewer.Label(1014), "00:00:23");
}

TEST(TripsMapPicks, OnlyWellFormedReportsFromThePageCount)
{
    const auto pick = ParseMapPick(QStringLiteral("velomira-trips:pick:12:37.5:-127.25"));
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->trip, 12u);
    EXPECT_DOUBLE_EQ(pick->latitude, 37.5);
    EXPECT_DOUBLE_EQ(pick->longitude, -127.25);
    for (const char* text : { "velomira-trips:pick:12:37.5", "velomira-trips:pick:x:37.5:127",
             "velomira-trips:pick:1:91:127", "velomira-trips:pick:1:37.5:NaN", "pick:1:37.5:127",
             "" })
        EXPECT_FALSE(ParseMapPick(QString::fromLatin1(text))) << text;
}

TEST(TripsCommand, ListsTheCardsTripsAsJsonAndGpxAndRefusesBadUsage)
{
    test::TempDir folder { "velomira-trips-cli" };
    const std::string card = (folder / "card").string();
    ASSERT_EQ(
        std::system((std::string(VELOMIRA_MKCARD) + " trips '" + card + "' --trips 2 --per-trip 2")
                        .c_str()),
        0);
    const auto run = [](const std::string& arguments, std::string& out) {
        out.clear();
        FILE* pipe = popen(
            (std::string(VELOMIRA_CARD_PROGRAM) + " " + arguments + " 2>/dev/null").c_str(), "r");
        char buffer[4096];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        return WEXITSTATUS(pclose(pipe));
    };
    std::string out;
    ASSERT_EQ(run("trips '" + card + "' --json", out), 0);
    EXPECT_EQ(out.rfind("[{\"start\":\"2024-03-01 14:05:00\"", 0), 0u) << out.substr(0, 200);
    EXPECT_NE(out.find("\"durationMs\":120000"), std::string::npos);
    ASSERT_EQ(run("trips '" + card + "' --gpx", out), 0);
    std::size_t tracks = 0, segments = 0;
    for (std::size_t at = out.find("<trk>"); at != std::string::npos;
         at = out.find("<trk>", at + 1))
        ++tracks;
    for (std::size_t at = out.find("<trkseg>"); at != std::string::npos;
         at = out.find("<trkseg>", at + 1))
        ++segments;
    EXPECT_EQ(tracks, 2u);
    EXPECT_EQ(segments, 4u);
    EXPECT_EQ(run("trips", out), 2);
    EXPECT_EQ(run("trips '" + card + "' --kml", out), 2);
    EXPECT_EQ(run("trips '" + card + "/missing'", out), 2);
}

} // namespace
} // namespace velomira
