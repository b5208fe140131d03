// The whole viewer on the generated card with the maps API served by the stub: the map
// page follows the recording while it plays, one script call per tick and no reload,
// its track is drawn once, and Stop sends the marker home.
#include <gtest/gtest.h>

#include <fstream>

#include <QElapsedTimer>

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
    const int firstEntry = viewer.currentIndex();
    const auto moves = [&] { return server.events().filter("marker-at").size(); };
    // A tick moves the marker with one call when the fix has changed: a generated
    // recording has two fixes, so two moves take at least two ticks, and no more calls
    // than ticks can have run meanwhile (one per 200 ms, and the first at once).
    const auto movesBefore = moves();
    QElapsedTimer playing;
    playing.start();
    ASSERT_TRUE(test::WaitFor([&] { return moves() - movesBefore >= 2; }, 60000));
    const auto moved = moves() - movesBefore;
    EXPECT_LE(moved, playing.elapsed() / 190 + 2);
    EXPECT_EQ(map->mapPagePane()->documentGeneration(), generation);
    // A track drawn once, not at every tick: at most one a recording loaded (the card's
    // recordings last 2 s, so on a busy machine the next one may have started meanwhile).
    const QStringList tracks = server.events().filter("track ");
    EXPECT_GE(tracks.size(), 1);
    EXPECT_LE(tracks.size(), viewer.currentIndex() - firstEntry + 1);
    // The marker stands on a loaded recording's own track (a generated one has two fixes),
    // or at home where the Stop that SDOPEN runs before Play put it.
    QStringList ends = { "35.684066 139.774494" };
    for (const QString& line : tracks) {
        const QStringList track = line.split(' ');
        ASSERT_EQ(track.size(), 6);
        ends << track[2] + ' ' + track[3] << track[4] + ' ' + track[5];
    }
    for (const QString& place : server.events().filter("marker-at"))
        EXPECT_TRUE(ends.contains(place.mid(10))) << place.toStdString();

    viewer.Press(1007);
    ASSERT_TRUE(
        test::WaitFor([&] { return server.events().endsWith("pan 35.684066 139.774494"); }, 30000));

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
