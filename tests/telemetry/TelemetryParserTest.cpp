#include "telemetry/TelemetryParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <string>
#include <tuple>

#include "TelemetryTestSamples.h"
#include "telemetry/CTextData.h"

namespace velomira {
namespace {

using test::Bytes;
using test::GSensorBytes;
using test::kRmcLine;

TEST(GSensorDecoding, TriplesAreCentredAndScaledInAxisOrderYzx)
{
    GSensorSample g;
    DrivingStatus status;
    DecodeGSensorSample(GSensorBytes('M', 2048, 3072, 1024, 512, -1024, 0, 87), g, status);
    EXPECT_DOUBLE_EQ(g.y, 0.0);
    EXPECT_DOUBLE_EQ(g.z, 1.0);
    EXPECT_DOUBLE_EQ(g.x, -1.0);
    EXPECT_DOUBLE_EQ(g.y2, 0.5);
    EXPECT_DOUBLE_EQ(g.z2, -1.0);
    EXPECT_DOUBLE_EQ(g.x2, 0.0);
    EXPECT_EQ(g.clock[0], 1);
    EXPECT_EQ(g.clock[3], 12);
    EXPECT_EQ(g.clock[5], 56);
    EXPECT_EQ(status.words[0], 87);
    EXPECT_EQ(status.words[1], 21 | (22 << 8));
    EXPECT_EQ(status.words[10], 39 | (40 << 8));
}

TEST(GSensorDecoding, EveryTruncatedPrefixReadsMissingBytesAsZero)
{
    const auto full = GSensorBytes('A', -300, 4000, 2047, -32768, 32767, 7, 0xBEEF);
    for (std::size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE(length);
        std::vector<std::byte> padded(full.begin(), full.begin() + length);
        padded.resize(41);
        GSensorSample fromPrefix, fromPadded;
        DrivingStatus statusPrefix, statusPadded;
        DecodeGSensorSample(std::span(full).first(length), fromPrefix, statusPrefix);
        DecodeGSensorSample(padded, fromPadded, statusPadded);
        const auto fields = [](const GSensorSample& g) {
            return std::make_tuple(g.x, g.y, g.z, g.x2, g.y2, g.z2, g.clock);
        };
        EXPECT_EQ(fields(fromPrefix), fields(fromPadded));
        EXPECT_EQ(statusPrefix.words, statusPadded.words);
    }
}

TEST(SampleClassification, ByMarkerAndSentenceName)
{
    struct Case {
        const char* text;
        TelemetrySampleKind kind;
    } cases[] = {
        { "M", TelemetrySampleKind::GSensor },
        { "A...", TelemetrySampleKind::GSensor },
        { "$GPRMC,1", TelemetrySampleKind::RmcLine },
        { "$GNRMC,1", TelemetrySampleKind::RmcLine },
        { "$gprmc,1", TelemetrySampleKind::RmcLine },
        { "$GPnMc", TelemetrySampleKind::RmcLine },
        { "$GPGGA,1", TelemetrySampleKind::Ignored },
        { "$GPRM", TelemetrySampleKind::Ignored },
        { "", TelemetrySampleKind::Ignored },
        { "m", TelemetrySampleKind::Ignored },
        { "GPRMC", TelemetrySampleKind::Ignored },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyTelemetrySample(Bytes(c.text)), c.kind) << c.text;
    // A zero byte ends the line before the sentence name is complete.
    std::vector<std::byte> cut = Bytes("$GP\0MC,1");
    cut[3] = std::byte { 0 };
    EXPECT_EQ(ClassifyTelemetrySample(cut), TelemetrySampleKind::Ignored);
}

TEST(RmcParsing, FullLineInAllHemispheres)
{
    struct Case {
        std::string line;
        double latitudeRaw;
        double longitudeRaw;
    } cases[] = {
        { std::string(kRmcLine), 3733.1234, 12700.5 },
        { "$GPRMC,123519.000,A,3733.1234,S,12700.5000,W,10.0,54.7,150312,,,A*6C", -3733.1234,
            -12700.5 },
        { "$GNRMC,123519.000,A,3733.1234,N,12700.5000,W,10.0,54.7,150312,,,A*6C", 3733.1234,
            -12700.5 },
        { "$gprmc,123519.000,A,3733.1234,s,12700.5000,e,10.0,54.7,150312,,,A*6C", -3733.1234,
            -12700.5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const CGPSData r = ParseRmcLine(c.line, 4000);
        EXPECT_EQ(r.timeMs, 4000u);
        EXPECT_EQ(r.fixValid, 1);
        EXPECT_DOUBLE_EQ(r.latitudeRaw, c.latitudeRaw);
        EXPECT_DOUBLE_EQ(r.longitudeRaw, c.longitudeRaw);
        EXPECT_EQ(r.speedKmh, 18.520000457763672);
        EXPECT_STREQ(r.timeOfDay.data(), "123519.000");
        EXPECT_STREQ(r.date.data(), "150312");
    }
}

TEST(RmcParsing, MissingFieldsShiftLaterFieldsForwardAndStopTheWalk)
{
    const CGPSData noFix = ParseRmcLine("$GPRMC,123519.000,V,,,,,,,150312,,,N", 0);
    EXPECT_EQ(noFix.fixValid, 0);
    EXPECT_DOUBLE_EQ(noFix.latitudeRaw, 150312);
    EXPECT_EQ(noFix.northSouth, 'N');
    EXPECT_EQ(noFix.longitudeRaw, 0);
    EXPECT_EQ(noFix.eastWest, 0);
    EXPECT_EQ(noFix.speedKmh, 0);

    const CGPSData status = ParseRmcLine("$GPRMC,,,,A", 0);
    EXPECT_EQ(status.timeOfDay[0], 'A'); // the status moved into the time slot
    EXPECT_EQ(status.fixValid, 0);

    const CGPSData bareName = ParseRmcLine("$GPRMC", 9);
    EXPECT_EQ(bareName.timeMs, 9u);
    EXPECT_EQ(bareName.fixValid, 0);
}

TEST(RmcParsing, EveryTruncatedPrefixKeepsTheFieldsItReached)
{
    const CGPSData full = ParseRmcLine(kRmcLine, 1);
    for (std::size_t length = 0; length <= kRmcLine.size(); ++length) {
        SCOPED_TRACE(length);
        const CGPSData r = ParseRmcLine(kRmcLine.substr(0, length), 1);
        // Commas before the cut: the number of complete fields.
        const auto commas = std::count(kRmcLine.begin(), kRmcLine.begin() + length, ',');
        if (commas >= 3) {
            EXPECT_EQ(r.fixValid, 1);
        }
        if (commas >= 5) {
            EXPECT_EQ(r.northSouth, 'N');
        }
        if (commas >= 4) {
            EXPECT_DOUBLE_EQ(std::fabs(r.latitudeRaw), full.latitudeRaw);
        }
        if (commas >= 8) {
            EXPECT_EQ(r.speedKmh, full.speedKmh);
        }
        if (commas < 2) {
            EXPECT_EQ(r.fixValid, 0);
        }
        if (commas < 7) {
            EXPECT_EQ(r.speedKmh, 0);
        }
        if (commas < 5) {
            EXPECT_EQ(r.longitudeRaw, 0);
        }
    }
}

TEST(RmcParsing, NumbersDoNotDependOnTheProcessLocale)
{
    // A desktop locale with a decimal comma must not change what the line says.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        std::setlocale(LC_NUMERIC, "C");
    const CGPSData r = ParseRmcLine(kRmcLine, 0);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_DOUBLE_EQ(r.latitudeRaw, 3733.1234);
}

TEST(DecimalConversion, FollowsTheCLibraryPrefixRules)
{
    struct Case {
        const char* text;
        double value;
    } cases[] = {
        { "12.5", 12.5 },
        { "  -3.25xyz", -3.25 },
        { "+7", 7 },
        { "1e3", 1000 },
        { "12.5*6C", 12.5 },
        { "abc", 0 },
        { "", 0 },
        { "-", 0 },
        { "+-1", 0 },
        { ".5", 0.5 },
        { "1e-400", 0 },
        { "0x1A", 26 },
        { "-0x1p4", -16 },
        { "0x", 0 },
        { "0xg", 0 },
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(DecimalValue(c.text), c.value) << c.text;
    EXPECT_TRUE(std::isinf(DecimalValue("1e400")));
}

TEST(NmeaDegrees, ConvertMinutesToDecimalDegrees)
{
    EXPECT_NEAR(DegreesFromNmea(3733.1234), 37.552057, 5e-7);
    EXPECT_NEAR(DegreesFromNmea(-12700.5), -127.008333, 5e-7);
    EXPECT_DOUBLE_EQ(DegreesFromNmea(0), 0);
    EXPECT_TRUE(std::isinf(DegreesFromNmea(INFINITY)));
}

TEST(IntegerTruncation, SaturatesAndMapsNanToZero)
{
    EXPECT_EQ(TruncToInt32(18.99), 18);
    EXPECT_EQ(TruncToInt32(-18.99), -18);
    EXPECT_EQ(TruncToInt32(NAN), 0);
    EXPECT_EQ(TruncToInt32(1e300), 2147483647);
    EXPECT_EQ(TruncToInt32(-1e300), -2147483647 - 1);
}

TEST(TelemetryStore, SamplesGoToTheirListsAndOthersAreIgnored)
{
    CTextData store;
    store.ResetForLoad();
    EXPECT_EQ(store.ParseTelemetrySample(GSensorBytes('M', 2048, 2048, 2048), 0),
        TelemetrySampleKind::GSensor);
    EXPECT_EQ(store.ParseTelemetrySample(Bytes(kRmcLine), 1000), TelemetrySampleKind::RmcLine);
    EXPECT_EQ(
        store.ParseTelemetrySample(Bytes("$GPGGA,1,2,3"), 1000), TelemetrySampleKind::Ignored);
    EXPECT_EQ(store.ParseTelemetrySample(Bytes("Xjunk"), 1000), TelemetrySampleKind::Ignored);
    EXPECT_EQ(store.ParseTelemetrySample({}, 1000), TelemetrySampleKind::Ignored);
    EXPECT_EQ(store.gSensorSampleCount(), 1u);
    ASSERT_EQ(store.GpsRecords().size(), 1u);
    EXPECT_EQ(store.GpsRecords()[0].timeMs, 1000u);
    EXPECT_EQ(store.trackCount(), 1u);
    EXPECT_EQ(store.TrackPoints()[0].speed, 18);
}

TEST(TelemetryStore, SamplesPastTheCapacityAreNotStored)
{
    CTextData store;
    store.ResetForLoad();
    const auto sample = GSensorBytes('M', 0, 0, 0);
    for (std::size_t i = 0; i < CTextData::kCapacity + 5; ++i)
        store.ParseTelemetrySample(sample, static_cast<std::uint32_t>(i));
    EXPECT_EQ(store.gSensorSampleCount(), CTextData::kCapacity);
    EXPECT_EQ(store.ParseGSensorSample(sample, CTextData::kCapacity), CTextData::kCapacity);

    const auto line = Bytes(kRmcLine);
    for (std::size_t i = 0; i < CTextData::kCapacity + 5; ++i)
        store.ParseTelemetrySample(line, static_cast<std::uint32_t>(i * 1000));
    EXPECT_EQ(store.trackCount(), CTextData::kCapacity);
    EXPECT_EQ(store.GpsRecords().size(), CTextData::kCapacity);
}

TEST(TelemetryStore, LoadingResetsEverythingAndCutsLongSamplesAtTheBuffer)
{
    CTextData store;
    std::vector<TelemetrySampleBytes> first
        = { { GSensorBytes('M', 1, 2, 3), 0 }, { Bytes(kRmcLine), 0 }, { Bytes(kRmcLine), 1000 } };
    LoadTelemetry(store, first, 2000);
    EXPECT_EQ(store.trackCount(), 2u);

    // A line longer than the buffer is read up to 1023 characters; the next recording's
    // first line is point 0 again.
    std::string longLine(kRmcLine);
    longLine += std::string(2000, ',') + "tail";
    std::vector<TelemetrySampleBytes> second = { { Bytes(longLine), 40 } };
    LoadTelemetry(store, second, 1000);
    EXPECT_EQ(store.gSensorSampleCount(), 0u);
    ASSERT_EQ(store.trackCount(), 1u);
    EXPECT_EQ(store.GpsRecords()[0].timeMs, 40u);
    EXPECT_EQ(store.TrackPoints()[0].headingX, 0);
    EXPECT_EQ(store.TrackPoints()[0].headingY, 0);
}

} // namespace
} // namespace velomira
