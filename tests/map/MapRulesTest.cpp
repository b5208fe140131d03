// The map's window-free rules: reading a page-script command, the numbers handed to the
// pages, the record that belongs to a play position, the maps API and tile addresses,
// and the routing-table check.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "map/DefaultRoute.h"
#include "map/MapAddresses.h"
#include "map/MapResources.h"
#include "map/MapScript.h"

namespace velomira {
namespace {

TEST(PageScriptCommand, NameAndArgumentsAreReadAsTheBridgeExpects)
{
    const struct {
        const char* command;
        std::string name;
        std::vector<std::string> arguments;
    } cases[] = {
        { "javascript:DrawCurrent('139.774494', '35.684066')", "DrawCurrent",
            { "139.774494", "35.684066" } },
        { "DrawCurrent 139.7 35.6", "", {} }, // no "(": no name, nothing called
        { "", "", {} },
        { "  Go  (1)", "Go", { "1" } },
        { "x javascript:f(\"a\";;\t'b' ,(c))", "f", { "a", "b", "c" } },
        { "javascript:f()", "f", {} },
        { "javascript:DrawCurrent('-0.500000', '51.5')", "DrawCurrent", { "-0.500000", "51.5" } },
        { "f(a\\b)", "f", { "a\\b" } },
    };
    for (const auto& c : cases) {
        const PageScriptCall call = ParsePageScriptCommand(c.command);
        EXPECT_EQ(call.name, c.name) << c.command;
        EXPECT_EQ(call.arguments, c.arguments) << c.command;
    }
}

TEST(PageScriptCommand, ScriptTextQuotesEveryArgumentSafely)
{
    const struct {
        PageScriptCall call;
        std::string text;
    } cases[] = {
        { { "DrawCurrent", { "1.5", "-2" } }, "DrawCurrent('1.5', '-2')" },
        { { "f", {} }, "f()" },
        { { "f", { "a\\b</script>" } }, "f('a\\x5Cb\\x3C/script\\x3E')" },
        { { "alert(1);f", { "1" } }, "" }, // not a plain name: nothing to run
        { { "1f", {} }, "" },
        { { "", {} }, "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageScriptText(c.call), c.text) << c.call.name;
}

TEST(MapNumbers, DegreesAreWrittenWithSixDigitsWhateverTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    // A locale with a decimal comma, when the machine has one, must not change the text.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    const struct {
        double longitude, latitude;
        const char* command;
    } cases[] = {
        { 139.774494, 35.684066, "javascript:DrawCurrent('139.774494', '35.684066')" },
        { -0.5, 51.477928, "javascript:DrawCurrent('-0.500000', '51.477928')" },
        { 0, -33.8688, "javascript:DrawCurrent('0.000000', '-33.868800')" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DrawCurrentCommand(c.longitude, c.latitude), c.command);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(MapNumbers, SecondProviderGetsTruncatedMillionthsUnlessOneIsZero)
{
    using Args = std::pair<std::int32_t, std::int32_t>;
    const struct {
        double longitude, latitude;
        std::optional<Args> sent;
    } cases[] = {
        { 127.0, 38.0, Args { 127000000, 38000000 } },
        { 139.774494, 35.684066, Args { 139774494, 35684066 } },
        { -0.5, 51.4779289, Args { -500000, 51477928 } },
        { 0.0000009, 38.0, std::nullopt }, // truncates to zero
        { 127.0, 0.0, std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(SecondProviderArguments(c.longitude, c.latitude), c.sent) << c.longitude;
}

CGPSData Fix(std::uint32_t timeMs, bool valid, double latitudeRaw = 3541.0440,
    double longitudeRaw = 13946.4696)
{
    CGPSData record;
    record.timeMs = timeMs;
    record.fixValid = valid ? 1 : 0;
    record.latitudeRaw = latitudeRaw;
    record.longitudeRaw = longitudeRaw;
    return record;
}

TEST(MapRecordLookup, FirstRecordAtOrAfterThePositionWithAValidFix)
{
    const std::vector<CGPSData> records
        = { Fix(1000, true), Fix(2000, true), Fix(3000, false), Fix(4000, true) };
    const struct {
        std::uint32_t positionMs;
        std::optional<std::size_t> index;
    } cases[] = {
        { 0, 0 }, // before the first record: the first
        { 1000, 0 },
        { 1001, 1 },
        { 2000, 1 },
        { 2500, std::nullopt }, // the record there is not a fix, a later one is not used
        { 3500, 3 },
        { 4001, std::nullopt }, // after the last
        { 0xFFFFFFFF, std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapRecordIndexAt(records, c.positionMs), c.index) << c.positionMs;
    EXPECT_EQ(MapRecordIndexAt({}, 0), std::nullopt);
}

TEST(MapTrack, OnlyValidFixesMakeTheLineAndTheSignatureFollowsTheRecording)
{
    const std::vector<CGPSData> records = { Fix(0, true, 3541.0440, 13946.4696),
        Fix(1000, false, 1, 1), Fix(2000, true, -3352.1280, -30.0) };
    EXPECT_EQ(TrackArrayText(records), "[[35.684067,139.774493],[-33.868800,-0.500000]]");
    EXPECT_EQ(TrackArrayText({}), "[]");
    std::vector<CGPSData> other = records;
    other.back().timeMs = 2200;
    EXPECT_EQ(SignatureOf(records), SignatureOf(records));
    EXPECT_NE(SignatureOf(records), SignatureOf(other));
    EXPECT_NE(SignatureOf(records), SignatureOf({}));
}

TEST(MapAddresses, ApiScriptAddressKeepsPathQueryAndEncodesTheKey)
{
    const struct {
        const char* base;
        const char* key;
        std::string address;
    } cases[] = {
        { "", "", "https://maps.googleapis.com/maps/api/js?v=3&callback=initialize" },
        { "http://127.0.0.1:8123/", "",
            "http://127.0.0.1:8123/maps/api/js?v=3&callback=initialize" },
        { "http://127.0.0.1:8123", "Ab-9_x",
            "http://127.0.0.1:8123/maps/api/js?v=3&callback=initialize&key=Ab-9_x" },
        { "", "a'b\"<&",
            "https://maps.googleapis.com/maps/api/js?v=3&callback=initialize&key=a%27b%22%3C%26" },
        // Addresses that could leave the page's script string fall back to the default.
        { "http://x\";alert(1);//", "",
            "https://maps.googleapis.com/maps/api/js?v=3&callback=initialize" },
        { "javascript:alert(1)", "",
            "https://maps.googleapis.com/maps/api/js?v=3&callback=initialize" },
        { "http:///", "", "https://maps.googleapis.com/maps/api/js?v=3&callback=initialize" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapsApiScriptUrl(c.base, c.key), c.address) << c.base;
    EXPECT_EQ(TileUrlTemplate(""), kDefaultTileUrl);
    EXPECT_EQ(TileUrlTemplate("http://127.0.0.1:9/t/{z}/{x}/{y}.png"),
        "http://127.0.0.1:9/t/{z}/{x}/{y}.png");
    EXPECT_EQ(TileUrlTemplate("http://a/{z}'.png"), kDefaultTileUrl);
    EXPECT_EQ(ReplaceAll("a@X@b@X@", "@X@", "@X@@"), "a@X@@b@X@@");
}

TEST(MapResources, AddressesNameOnlyTheApplicationsOwnFiles)
{
    using Kind = MapResource::Kind;
    const struct {
        const char* path;
        const char* fragment;
        Kind kind;
        std::string leafletName;
    } cases[] = {
        { "/usr/bin/velomira-viewer/480", "", Kind::MapPage, "" },
        { "/PNG/", "484", Kind::Marker, "" },
        { "/usr/bin/PNG/", "484", Kind::Marker, "" }, // resolved beside the page
        { "/PNG/", "485", Kind::None, "" },
        { "/PNG/", "", Kind::None, "" },
        { "/osm", "", Kind::SecondProviderPage, "" },
        { "/trips", "", Kind::TripsPage, "" },
        { "/leaflet/leaflet.js", "", Kind::LeafletFile, "leaflet.js" },
        { "/leaflet/images/layers-2x.png", "", Kind::LeafletFile, "images/layers-2x.png" },
        { "/leaflet/../../etc/passwd", "", Kind::None, "" },
        { "/leaflet/..", "", Kind::None, "" },
        { "/leaflet/images/../leaflet.js", "", Kind::None, "" },
        { "/leaflet/a..js", "", Kind::None, "" },
        { "/leaflet/", "", Kind::None, "" },
        { "/leaflet/.hidden", "", Kind::None, "" },
        { "/leaflet/x/y.js", "", Kind::None, "" },
        { "/481", "", Kind::None, "" },
        { "", "", Kind::None, "" },
    };
    for (const auto& c : cases) {
        const MapResource resource = MapResourceFor(c.path, c.fragment);
        EXPECT_EQ(resource.kind, c.kind) << c.path << "#" << c.fragment;
        EXPECT_EQ(resource.leafletName, c.leafletName) << c.path;
    }
}

TEST(DefaultRouteCheck, OnlineOnlyWithAUsableDefaultRoute)
{
    const std::string header
        = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";
    const std::string v4Default
        = header + "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
    const std::string v4Local
        = header + "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n";
    const std::string v4Down
        = header + "eth0\t00000000\t010200C0\t0002\t0\t0\t0\t00000000\t0\t0\t0\n";
    const std::string v6Reject
        = "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
          "00000000000000000000000000000000 ffffffff 00000001 00000000 00200200       lo\n";
    const std::string v6Default
        = "00000000000000000000000000000000 00 00000000000000000000000000000000 00 "
          "fd000000000000000000000000000001 00000400 00000003 00000000 00000003     eth0\n";
    const std::string v6Unreachable = "00000000000000000000000000000000 00 "
                                      "00000000000000000000000000000000 00 "
                                      "00000000000000000000000000000000 ffffffff 00000001 "
                                      "00000000 00000201     eth0\n";
    const struct {
        const char* name;
        std::string v4, v6;
        bool online;
    } cases[] = {
        { "ipv4 default", v4Default, "", true },
        { "local network only", v4Local, "", false },
        { "default route down", v4Down, "", false },
        { "only the header", header, "", false },
        { "nothing readable", "", "", false },
        { "ipv6 reject on lo", v4Local, v6Reject, false },
        { "ipv6 reject elsewhere", v4Local, v6Unreachable, false },
        { "ipv6 default", v4Local, v6Reject + v6Default, true },
        // The header line alone names no route even if it were all zeros.
        { "truncated line", header + "eth0\t00000000\t0102", "", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(HasDefaultRoute(c.v4, c.v6), c.online) << c.name;
}

} // namespace
} // namespace velomira
