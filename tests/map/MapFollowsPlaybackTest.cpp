// The whole viewer on the generated card with the maps API served by the stub: the map
// page follows the recording while it plays, one script call per tick and no reload,
// its track is drawn once, and Stop sends the marker home.
#include <gtest/gtest.h>

#include "e2e/ViewerSupport.h"
#include "map/CMapView.h"
#include "map/MapPanes.h"
#include "map/StubMapServer.h"

namespace velomira {
namespace {

TEST(MapFollowsPlayback, MarkerMovesAlongTheTrackWhilePlayingAndGoesHomeOnStop)
{
    test::StubMapServer server;
    qputenv("VELOMIRA_MAPS_API_BASE", server.base().toLatin1());
    qputenv("VELOMIRA_TILE_URL", server.tileTemplate().toLatin1());
    test::ViewerOnCard viewer;
    MapPanes* map = viewer.session->map();
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->mapProvider(), 1);
    EXPECT_EQ(map->mapPagePane()->geometry(), kMapVisibleRect);
    ASSERT_TRUE(test::WaitFor([&] { return map->mapPagePane()->HasPageFunction("DrawCurrent"); }));
    const int generation = map->mapPagePane()->documentGeneration();

    viewer.Press(1012);
    ASSERT_TRUE(test::WaitFor([&] { return viewer.Playing(); }));
    const auto moves = [&] { return server.events().filter("marker-at").size(); };
    const auto ticksBefore = moves();
    test::Pump(2000);
    const auto moved = moves() - ticksBefore;
    // About ten ticks in two seconds, each one call (a fix moves the marker once).
    EXPECT_GE(moved, 5);
    EXPECT_LE(moved, 12);
    EXPECT_EQ(map->mapPagePane()->documentGeneration(), generation);
    EXPECT_EQ(server.events().filter("track ").size(), 1);
    // The marker stands on the recording's own track (the generated one has two fixes).
    const QStringList track = server.events().filter("track ").value(0).split(' ');
    ASSERT_EQ(track.size(), 6);
    const QStringList ends = { track[2] + ' ' + track[3], track[4] + ' ' + track[5] };
    for (const QString& place : server.events().filter("marker-at"))
        EXPECT_TRUE(ends.contains(place.mid(10))) << place.toStdString();

    viewer.Press(1007);
    ASSERT_TRUE(
        test::WaitFor([&] { return server.events().endsWith("pan 35.684066 139.774494"); }, 5000));
}

} // namespace
} // namespace velomira
