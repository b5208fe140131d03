// The print capture of the whole viewer while it plays: the picture must hold the video
// and the map pane as the screen shows them, whatever draws the web views.
#include <gtest/gtest.h>

#include <functional>

#include "app/ScreenLayout.h"
#include "e2e/ViewerSupport.h"
#include "map/MapPanes.h"
#include "map/StubMapServer.h"
#include "tools/CPrintScreen.h"

namespace velomira {
namespace {

// Runs before main() creates the application: an offscreen screen of desktop size, so the
// whole 1020 x 720 window fits on it, unless the caller chose a platform.
const bool kDesktopScreen = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VELOMIRA_TEST_SCREEN);
    return true;
}();

// The share of the pixels of `area` in `shot` that `match` accepts.
double Share(const QImage& shot, QRect area, const std::function<bool(QColor)>& match)
{
    area = area.intersected(shot.rect());
    if (area.isEmpty())
        return 0;
    int hits = 0;
    for (int y = area.top(); y <= area.bottom(); y += 3) {
        for (int x = area.left(); x <= area.right(); x += 3)
            hits += match(shot.pixelColor(x, y)) ? 1 : 0;
    }
    return hits / (((area.width() + 2) / 3) * ((area.height() + 2) / 3) * 1.0);
}

TEST(PrintCapture, HoldsThePlayingVideoAndTheMapPane)
{
    // Without the maps API the map page shows the OpenStreetMap page with the stub's
    // plain tiles, a colour nothing else in the window has.
    test::StubMapServer server(test::StubMapServer::Api::Missing);
    qputenv("VELOMIRA_MAPS_API_BASE", server.base().toLatin1());
    qputenv("VELOMIRA_TILE_URL", server.tileTemplate().toLatin1());
    test::ViewerOnCard viewer;
    ASSERT_EQ(viewer.session->map()->mapProvider(), 1);
    viewer.Press(1012);
    ASSERT_TRUE(test::WaitFor([&] { return viewer.Playing(); }));

    const auto picture = [](QColor c) { return c.red() + c.green() + c.blue() > 90; };
    const auto tile = [](QColor c) {
        return std::abs(c.red() - 200) < 8 && std::abs(c.green() - 220) < 8
            && std::abs(c.blue() - 200) < 8;
    };
    QImage shot;
    double video = 0, map = 0;
    // Tiles arrive a while after the page: wait for both, generously.
    const bool both = test::WaitFor(
        [&] {
            shot = CPrintScreen::Capture(*viewer.window);
            video = Share(shot, kLargeSlot, picture);
            map = Share(shot, kMapVisibleRect, tile);
            return video > 0.5 && map > 0.3;
        },
        30000);
    EXPECT_TRUE(both) << "video " << video << ", map " << map;
    EXPECT_EQ(shot.size(), QSize(1020, 720));
    // The rear panel shows its picture as well.
    EXPECT_GT(Share(shot, kSmallSlot, picture), 0.5);
}

} // namespace
} // namespace velomira
