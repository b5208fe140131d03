#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "cli/JsonWriter.h"
#include "cli/TelemetryOutput.h"

namespace velomira {
namespace {

std::vector<std::byte> Bytes(std::string_view text)
{
    std::vector<std::byte> out;
    for (char c : text)
        out.push_back(static_cast<std::byte>(c));
    return out;
}

TEST(JsonText, NumbersRoundTripAndNonFiniteBecomesNull)
{
    JsonWriter json;
    json.BeginArray().Number(18.520000457763672).Number(0.1).Number(-127.0).Number(1e300);
    json.Number(std::numeric_limits<double>::quiet_NaN()).Number(INFINITY).Integer(-5).EndArray();
    EXPECT_EQ(json.Text(), "[18.520000457763672,0.1,-127,1e+300,null,null,-5]");
}

TEST(JsonText, StringsAreEscapedAndKeptValidUtf8)
{
    JsonWriter json;
    json.BeginObject().Key("a\"b").String("line\nnext\t\\ 루미엘");
    json.Key("bad").String(std::string("x\xff\xc3y\x01", 5));
    json.Key("nested").BeginObject().Key("empty").BeginArray().EndArray().EndObject();
    json.Key("last").Bool(false).EndObject();
    EXPECT_EQ(json.Text(),
        "{\"a\\\"b\":\"line\\nnext\\t\\\\ 루미엘\",\"bad\":\"x\\ufffd\\ufffdy\\u0001\","
        "\"nested\":{\"empty\":[]},\"last\":false}");
}

CTextData StoreWithTwoFixes()
{
    CTextData store;
    std::vector<TelemetrySampleBytes> samples
        = { { Bytes("$GPRMC,123519.000,A,3733.1234,N,12700.5000,E,10.0,54.7,150312,,,A*6C"), 0 },
              { Bytes("$GPRMC,123520,A,3733.1234,S,12700.5000,W,10.0,,,A*6C"), 1000 },
              { Bytes("$GPRMC,123521.000,V,,,,,,,150312,,,N"), 2000 } };
    LoadTelemetry(store, samples, 3000);
    return store;
}

TEST(TelemetryExports, JsonCarriesEveryListWithFullPrecision)
{
    const std::string json = TelemetryJson(StoreWithTwoFixes());
    EXPECT_NE(json.find("\"speedKmh\":18.520000457763672"), std::string::npos);
    EXPECT_NE(json.find("\"latitudeRaw\":-3733.1234"), std::string::npos);
    EXPECT_NE(json.find("\"gsensor\":[]"), std::string::npos);
    EXPECT_NE(json.find("\"timelineCount\":0}"), std::string::npos);
    EXPECT_NE(json.find("\"northSouth\":\"N\",\"eastWest\":\"\""), std::string::npos); // no fix
}

TEST(TelemetryExports, GpxHasOnePointPerValidFixTimedWhereTheLineSaysWhen)
{
    const std::string gpx = TelemetryGpx(StoreWithTwoFixes());
    EXPECT_NE(gpx.find("<trkpt lat=\"37.55205666666667\" lon=\"127.00833333333335\">"
                       "<time>2012-03-15T12:35:19.000Z</time></trkpt>"),
        std::string::npos);
    // The second line lacks the course, so its date moved out of place: no time.
    EXPECT_NE(gpx.find("<trkpt lat=\"-37.55205666666667\" lon=\"-127.00833333333335\"></trkpt>"),
        std::string::npos);
    std::size_t points = 0;
    for (auto at = gpx.find("<trkpt"); at != std::string::npos; at = gpx.find("<trkpt", at + 1))
        ++points;
    EXPECT_EQ(points, 2u);
}

TEST(TelemetryExports, CsvHasBothTablesWithHeaders)
{
    const std::string csv = TelemetryCsv(StoreWithTwoFixes());
    EXPECT_EQ(csv.rfind("index,x,y,z,x2,y2,z2,clock0", 0), 0u);
    const auto gps
        = csv.find("\ntimeMs,fixValid,latitudeRaw,longitudeRaw,northSouth,eastWest,speedKmh");
    ASSERT_NE(gps, std::string::npos);
    EXPECT_NE(csv.find("0,1,3733.1234,12700.5,N,E,18.520000457763672,", gps), std::string::npos);
}

} // namespace
} // namespace velomira
