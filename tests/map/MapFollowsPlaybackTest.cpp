// The whole viewer on the generated card with the maps API served by the stub: the map
// page follows the recording while it plays, one script call per tick and no reload,
// its track is drawn once, and Stop sends the marker home.
#include <gtest/gtest.h>

#include <fstream>

#include "e2e/ViewerSupport.h"
#include "map/CMapView.h"
#include "map/MapPanes.h"
#include "map/StubMapServer.h"
#include "settings/SettingsRecord.h"

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
    // The marker follows tick after tick (five ticks take a second; a loaded machine may
    // take longer), one call per tick at most: never more calls than ticks could fire.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(test::WaitFor([&] { return moves() - ticksBefore >= 5; }, 30000));
    const auto moved = moves() - ticksBefore;
    EXPECT_LE(moved, clock.elapsed() / 200 + 2) << clock.elapsed() << " ms";
    EXPECT_EQ(map->mapPagePane()->documentGeneration(), generation);
    EXPECT_EQ(server.events().filter("track ").size(), 1);
    // The marker stands on the recording's own track (the generated one has two fixes),
    // or at home where the Stop that SDOPEN runs before Play put it.
    const QStringList track = server.events().filter("track ").value(0).split(' ');
    ASSERT_EQ(track.size(), 6);
    const QStringList ends
        = { track[2] + ' ' + track[3], track[4] + ' ' + track[5], "35.684066 139.774494" };
    for (const QString& place : server.events().filter("marker-at"))
        EXPECT_TRUE(ends.contains(place.mid(10))) << place.toStdString();

    viewer.Press(1007);
    ASSERT_TRUE(
        test::WaitFor([&] { return server.events().endsWith("pan 35.684066 139.774494"); }, 5000));

    // Full screen parks every pane; back in the window the map page is in view again.
    viewer.window->OnFullScreen();
    EXPECT_EQ(map->mapPagePane()->geometry(), kMapParkedRect);
    viewer.window->OnFullScreen();
    EXPECT_EQ(map->mapPagePane()->geometry(), kMapVisibleRect);
}

TEST(MapProviderChoice, KoreanCardStartsOnTheSecondProviderUntilSetupShowsTheMapPage)
{
    test::StubMapServer server;
    qputenv("VELOMIRA_MAPS_API_BASE", server.base().toLatin1());
    qputenv("VELOMIRA_TILE_URL", server.tileTemplate().toLatin1());
    const struct {
        int language;
        int provider;
    } cases[] = { { 2, 0 }, { 1, 1 }, { 0, 1 } };
    for (const auto& c : cases) {
        test::TempDir folder("velomira-map-language");
        std::filesystem::copy(
            test::TestDataDir() / "card", folder.Path(), std::filesystem::copy_options::recursive);
        SettingsRecord record = DefaultSettingsRecord(c.language);
        SetSettingsWord(record, 146, static_cast<std::uint16_t>(c.language));
        UpdateSettingsChecksum(record);
        std::ofstream(folder / "data_setup.cfg", std::ios::binary)
            .write(reinterpret_cast<const char*>(record.data()),
                static_cast<std::streamsize>(record.size()));
        qputenv("VELOMIRA_DRIVES", QByteArray("E=") + QByteArray::fromStdString(folder.Path()));
        test::ScriptedMessageBoxService messages;
        CSamplePlayerDlg window(nullptr, &messages);
        ViewerSession session(window);
        ASSERT_EQ(window.language(), c.language);
        EXPECT_EQ(session.mapProvider(), c.provider) << c.language;
        MapPanes* map = session.map();
        EXPECT_EQ(map->mapProvider(), c.provider);
        EXPECT_EQ(map->secondProviderPane()->geometry(),
            c.provider == 0 ? kMapVisibleRect : kMapParkedRect);
        EXPECT_EQ(
            map->mapPagePane()->geometry(), c.provider == 1 ? kMapVisibleRect : kMapParkedRect);

        // The Setup command's end shows the map page from then on.
        session.ShowMapPage();
        EXPECT_EQ(session.mapProvider(), 1);
        EXPECT_EQ(map->mapProvider(), 1);
        EXPECT_EQ(map->mapPagePane()->geometry(), kMapVisibleRect);
        EXPECT_EQ(map->secondProviderPane()->geometry(), kMapParkedRect);
    }
    qunsetenv("VELOMIRA_DRIVES");
}

} // namespace
} // namespace velomira
