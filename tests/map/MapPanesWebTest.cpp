// The map panes with their real pages in real web views, the providers served by a stub
// on 127.0.0.1: start-up, the marker following the play position, the home reset, the
// second provider's page and its tiles, the fallback when the maps API fails, the track
// line, and an offline start.
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>
#include <vector>

#include <QWebEnginePage>
#include <QWidget>

#include "map/CMapView.h"
#include "map/MapPanes.h"
#include "map/MapWebProfile.h"
#include "map/StubMapServer.h"

namespace velomira {
namespace {

using test::StubMapServer;
using test::TileAt;
using test::WaitFor;

CGPSData Fix(std::uint32_t timeMs, bool valid, double latitudeRaw, double longitudeRaw)
{
    CGPSData record;
    record.timeMs = timeMs;
    record.fixValid = valid ? 1 : 0;
    record.latitudeRaw = latitudeRaw;
    record.longitudeRaw = longitudeRaw;
    return record;
}

// A main window stand-in with the three panes on it, the providers pointed at `server`.
struct Rig {
    explicit Rig(StubMapServer& server, bool online = true, int provider = 1)
    {
        qputenv("VELOMIRA_MAPS_API_BASE", server.base().toLatin1());
        qputenv("VELOMIRA_TILE_URL", server.tileTemplate().toLatin1());
        window.resize(1020, 720);
        panes = std::make_unique<MapPanes>(window, records, [online] { return online; });
        panes->SetMapProvider(provider);
        panes->ApplyLayout(true);
        window.show();
        panes->InitMapPanes();
    }
    ~Rig() { panes.reset(); }

    QString PageText(CWebBrowser2* pane, const QString& script)
    {
        QString text;
        bool done = false;
        pane->page()->runJavaScript(script, [&](const QVariant& value) {
            text = value.toString();
            done = true;
        });
        WaitFor([&] { return done; }, 30000);
        return text;
    }

    QWidget window;
    std::vector<CGPSData> records;
    std::unique_ptr<MapPanes> panes;
};

// The events since `from`, up to (not including) the first that is `until`.
QStringList EventsBetween(const QStringList& events, qsizetype from, const QString& until)
{
    QStringList between;
    for (qsizetype i = from; i < events.size() && events[i] != until; ++i)
        between.append(events[i]);
    return between;
}

TEST(MapPageWeb, MarkerStartsAtHomeFollowsThePlayPositionAndReturnsHome)
{
    StubMapServer server;
    Rig rig(server);
    CMapView* pane = rig.panes->mapPagePane();
    ASSERT_TRUE(WaitFor([&] { return server.events().contains("icon 17x35"); }))
        << server.events().join("\n").toStdString();
    EXPECT_TRUE(server.sawRequest("/maps/api/js?v=3&callback=initialize"));
    const QStringList start = server.events();
    EXPECT_TRUE(start.contains(
        "map 35.684066 139.774494 16 true small true false false false roadmap map_canvas"));
    EXPECT_TRUE(start.contains("marker 35.684066 139.774494 res:/PNG/#484 18x35 clickable=false"));
    ASSERT_TRUE(WaitFor([&] { return pane->HasPageFunction("DrawCurrent"); }));

    // 35°41.0440'N 139°46.4696'E, then a western fix, an invalid one, a last one.
    rig.records = { Fix(1000, true, 3541.0440, 13946.4696), Fix(2000, true, 5128.6757, -30.0),
        Fix(3000, false, 5128.0, -31.0), Fix(4000, true, 3542.0, 13947.0) };
    const struct {
        std::uint32_t positionMs;
        QString moved; // empty: the marker stays
    } cases[] = {
        { 0, "marker-at 35.684067 139.774493" }, // before the first: the first
        { 1500, "marker-at 51.477928 -0.500000" },
        { 1900, "" }, // the same fix again: the marker stands there already
        { 2500, "" }, // an invalid fix stops the update
        { 4000, "marker-at 35.700000 139.783333" }, { 4001, "" }, // after the last record
    };
    int sentinel = 0;
    for (const auto& c : cases) {
        const qsizetype from = server.events().size();
        rig.panes->UpdateMapPosition(c.positionMs, false);
        // A call of our own marks where this case's events end.
        const QString mark = QStringLiteral("marker-at %1.000000 1.000000").arg(++sentinel);
        ASSERT_TRUE(pane->InvokePageScript(
            QStringLiteral("javascript:DrawCurrent('1', '%1')").arg(sentinel)));
        ASSERT_TRUE(WaitFor([&] { return server.events().contains(mark); }));
        QStringList moves = EventsBetween(server.events(), from, mark).filter("marker-at");
        EXPECT_EQ(moves, c.moved.isEmpty() ? QStringList() : QStringList { c.moved })
            << c.positionMs;
    }
    // The whole track, valid fixes only, drawn once.
    EXPECT_EQ(server.events().filter("track "),
        QStringList { "track 3 35.684067 139.774493 35.700000 139.783333" });

    // Commands the bridge must not call.
    EXPECT_FALSE(pane->InvokePageScript("DrawCurrent 1 2"));
    EXPECT_FALSE(pane->InvokePageScript("javascript:NoSuchFunction('1')"));
    EXPECT_FALSE(pane->InvokePageScript(""));

    rig.panes->ResetMapsToHome();
    ASSERT_TRUE(WaitFor([&] {
        return server.events().endsWith("pan 35.684066 139.774494")
            && server.events().contains("marker-at 35.684066 139.774494");
    }));
    // Home moved the marker away from the last fix: the same fix moves it back.
    rig.panes->UpdateMapPosition(4000, false);
    ASSERT_TRUE(WaitFor(
        [&] { return server.events().filter("marker-at 35.700000 139.783333").size() == 2; }));
}

TEST(SecondProviderWeb, PageTakesTheStartAndPlayPositionsWithTilesFromTheServer)
{
    StubMapServer server;
    Rig rig(server, true, 0);
    CWebBrowser2* pane = rig.panes->secondProviderPane();
    EXPECT_EQ(pane->geometry(), kMapVisibleRect);
    EXPECT_EQ(rig.panes->mapPagePane()->geometry(), kMapParkedRect);
    // Start: 127000000, 38000000.
    const QString start = TileAt(38.0, 127.0, 16);
    ASSERT_TRUE(WaitFor([&] { return server.tileRequests().contains(start); }))
        << server.tileRequests().join(" ").toStdString();
    for (const auto& request : server.requests()) {
        if (request.target.startsWith("/tiles/")) {
            EXPECT_TRUE(request.userAgent.contains("velomira-viewer/"))
                << request.userAgent.toStdString();
        }
    }
    EXPECT_TRUE(
        rig.PageText(pane, "document.querySelector('.leaflet-control-attribution').textContent")
            .contains("OpenStreetMap"));
    EXPECT_EQ(
        rig.PageText(pane, "String(document.querySelector('.leaflet-marker-icon').naturalWidth)"),
        "17");

    // While playing the tick hands over the fix as it is stored (ddmm.mmmm).
    rig.records = { Fix(0, true, 3733.9900, 12658.6800), Fix(1000, true, 3734.0, 12659.0) };
    EXPECT_TRUE(rig.panes->SendSecondProviderPosition(12658.6800, 3733.9900));
    const QString playing = TileAt(37.566500, 126.978000, 16);
    ASSERT_TRUE(WaitFor([&] { return server.tileRequests().contains(playing); }));
    EXPECT_EQ(rig.PageText(pane,
                  "marker.getLatLng().lat.toFixed(6) + ' ' + marker.getLatLng().lng.toFixed(6)"),
        "37.566500 126.978000");
    EXPECT_EQ(rig.PageText(pane, "String(track.getLatLngs().length)"), "2");
    // Ticks on the same fix call the page no more; after home the fix is sent again.
    rig.PageText(pane,
        "var calls = 0, sendTo = fnCallFunctionWithParams; "
        "fnCallFunctionWithParams = function(x, y) { ++calls; sendTo(x, y); }; ''");
    EXPECT_TRUE(rig.panes->SendSecondProviderPosition(12658.6800, 3733.9900));
    EXPECT_EQ(rig.PageText(pane, "String(calls)"), "0");
    rig.panes->ResetMapsToHome();
    EXPECT_TRUE(rig.panes->SendSecondProviderPosition(12658.6800, 3733.9900));
    EXPECT_EQ(rig.PageText(pane, "String(calls)"), "2");

    // A position that scales to zero is not sent; Stop returns home.
    EXPECT_TRUE(rig.panes->SendSecondProviderDegrees(0.0, 10.0));
    rig.panes->ResetMapsToHome();
    EXPECT_EQ(rig.PageText(pane,
                  "marker.getLatLng().lat.toFixed(6) + ' ' + marker.getLatLng().lng.toFixed(6)"),
        "35.684066 139.774494");
}

// Following the car moves the map a pixel or two at a time: the track is not drawn anew
// while the view stays within its drawing, and is once the view leaves it.
TEST(SecondProviderWeb, TheTrackIsDrawnAnewOnlyWhenTheViewLeavesItsDrawing)
{
    StubMapServer server;
    Rig rig(server, true, 0);
    CWebBrowser2* pane = rig.panes->secondProviderPane();
    ASSERT_TRUE(WaitFor([&] { return pane->HasPageFunction("DrawTrack"); }));
    // A track due east, some five views long at zoom 16; the car at its start.
    const QString drawn = "track._path.getAttribute('d')";
    const QString start = rig.PageText(pane,
        "DrawTrack([[35.684, 139.7745], [35.684, 139.80]]); moveTo(35.684, 139.7745); " + drawn);
    ASSERT_FALSE(start.isEmpty());
    // The drawn line runs from the car (the view's middle) to the view's right edge.
    const QString spansView = "(function () {"
                              "  var size = map.getSize();"
                              "  var middle = map.containerPointToLayerPoint(size.divideBy(2));"
                              "  var right = map.containerPointToLayerPoint(size);"
                              "  var xs = track._parts[0].map(function (p) { return p.x; });"
                              "  return String(Math.min.apply(null, xs) <= middle.x + 1"
                              "    && Math.max.apply(null, xs) >= right.x);"
                              "})()";
    EXPECT_EQ(rig.PageText(pane, spansView), "true");

    EXPECT_EQ(rig.PageText(pane, "moveTo(35.684, 139.7750); " + drawn), start);
    EXPECT_EQ(rig.PageText(pane, "moveTo(35.684, 139.7755); " + drawn), start);

    // On along the track a few pixels at a time, past the drawing's margin.
    EXPECT_NE(
        rig.PageText(pane,
            "for (var lng = 139.7755; lng < 139.79; lng += 0.0004) moveTo(35.684, lng); " + drawn),
        start);
    EXPECT_EQ(rig.PageText(pane, spansView), "true");
}

TEST(MapPageWeb, FallsBackToOpenStreetMapWhenTheApiFails)
{
    for (const auto api : { StubMapServer::Api::Missing, StubMapServer::Api::RefusesThePage }) {
        StubMapServer server(api);
        Rig rig(server);
        CMapView* pane = rig.panes->mapPagePane();
        ASSERT_TRUE(WaitFor([&] {
            return pane->url().path().endsWith("/osm") && pane->HasPageFunction("DrawCurrent");
        })) << static_cast<int>(api);
        ASSERT_TRUE(WaitFor(
            [&] { return server.tileRequests().contains(TileAt(35.684066, 139.774494, 16)); }));
        rig.records = { Fix(0, true, 5128.6757, -30.0) };
        rig.panes->UpdateMapPosition(0, false);
        EXPECT_TRUE(WaitFor([&] {
            return server.tileRequests().contains(TileAt(51.477928, -0.5, 16));
        })) << static_cast<int>(api);
        EXPECT_EQ(rig.PageText(pane, "String(track.getLatLngs().length)"), "1");
    }
}

TEST(MapPanesWeb, OfflineStartLoadsNothingAndEveryCallFailsQuietly)
{
    StubMapServer server;
    Rig rig(server, false);
    rig.records = { Fix(0, true, 3541.0440, 13946.4696) };
    WaitFor([] { return false; }, 1500);
    EXPECT_TRUE(rig.panes->mapPagePane()->url().isEmpty());
    EXPECT_TRUE(rig.panes->secondProviderPane()->url().isEmpty());
    EXPECT_EQ(rig.panes->mapPagePane()->GetDocument(), nullptr);
    EXPECT_FALSE(rig.panes->mapPagePane()->UpdateMapPosition(0));
    EXPECT_FALSE(rig.panes->SendSecondProviderPosition(13946.4696, 3541.0440));
    rig.panes->UpdateMapPosition(0, true);
    rig.panes->ResetMapsToHome();
    rig.panes->RefreshVisibleMapPane();
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST(MapPanesWeb, LayoutPutsTheChosenPaneInViewAndParksTheOthers)
{
    StubMapServer server;
    Rig rig(server, false);
    const QRect v = kMapVisibleRect;
    const QRect p = kMapParkedRect;
    const struct {
        int provider;
        bool windowed;
        QRect mapPage, second, spare;
    } cases[] = {
        { 1, true, v, p, p },
        { 0, true, p, v, p },
        { 1, false, p, p, p },
        { 0, false, p, p, p },
    };
    for (const auto& c : cases) {
        rig.panes->SetMapProvider(c.provider);
        rig.panes->ApplyLayout(c.windowed);
        rig.panes->RefreshVisibleMapPane();
        EXPECT_EQ(rig.window.findChild<QWidget*>("1106")->geometry(), c.mapPage)
            << c.provider << c.windowed;
        EXPECT_EQ(rig.window.findChild<QWidget*>("1107")->geometry(), c.second)
            << c.provider << c.windowed;
        EXPECT_EQ(rig.window.findChild<QWidget*>("4108")->geometry(), c.spare)
            << c.provider << c.windowed;
    }
    // After Setup the map page is the one shown; panes are moved, never hidden.
    rig.panes->SetMapProvider(0);
    rig.panes->ApplyLayout(true);
    rig.panes->ShowMapPage();
    EXPECT_EQ(rig.panes->mapProvider(), 1);
    EXPECT_EQ(rig.panes->mapPagePane()->geometry(), v);
    EXPECT_EQ(rig.panes->secondProviderPane()->geometry(), p);
    EXPECT_TRUE(rig.panes->secondProviderPane()->isVisible());
}

TEST(MapPanesStart, AsRootWebViewsStartOnlyWithTheSandboxTurnedOff)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root is refused by the web engine";
    const QByteArray sandbox = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const struct {
        const char* sandbox;
        const char* flags;
        bool start;
    } cases[] = {
        { "1", "--disable-gpu", true },
        { "", "--disable-gpu --no-sandbox", true },
        { "", "--disable-gpu", false },
        { "0", "", false },
    };
    for (const auto& c : cases) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", c.sandbox);
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", c.flags);
        EXPECT_EQ(WebViewsCanStart(), c.start) << c.sandbox << " " << c.flags;
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", sandbox);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

} // namespace
} // namespace velomira
