#include <gtest/gtest.h>

#include <cmath>

#include "TelemetryTestSamples.h"
#include "telemetry/CTextData.h"

namespace velomira {
namespace {

using test::GSensorBytes;

CGPSData Fix(double latitudeRaw, double longitudeRaw, double speedKmh = 0)
{
    CGPSData r;
    r.fixValid = 1;
    r.latitudeRaw = latitudeRaw;
    r.longitudeRaw = longitudeRaw;
    r.northSouth = latitudeRaw < 0 ? 'S' : 'N';
    r.eastWest = longitudeRaw < 0 ? 'W' : 'E';
    r.speedKmh = speedKmh;
    return r;
}

// 1 metre north and east in ddmm.mmmm.
constexpr double kMinutesPerNorthMetre = 60.0 / 110560;
constexpr double kMinutesPerEastMetre = 60.0 / 84800;

TEST(TrackHeading, FollowsTheDirectionOfTravel)
{
    struct Case {
        const char* name;
        double northMetres;
        double eastMetres;
        std::int32_t headingX;
        std::int32_t headingY;
    } cases[] = {
        { "north-east", 100, 100, 16, 16 },
        { "due west", 0, -100, -23, 0 },
        { "due east", 0, 100, 23, 0 },
        { "due north", 100, 0, 0, 23 },
        { "due south", -100, 0, 0, -23 },
        { "south-west", -100, -100, -16, -16 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTextData store;
        const double lat = 3730.0, lon = 12730.0; // mid-degree: minutes stay below 60
        store.AppendTrackPoint(Fix(lat, lon));
        store.AppendTrackPoint(Fix(lat + c.northMetres * kMinutesPerNorthMetre,
            lon + c.eastMetres * kMinutesPerEastMetre));
        EXPECT_EQ(store.TrackPoints()[0].headingX, 0);
        EXPECT_EQ(store.TrackPoints()[1].headingX, c.headingX);
        EXPECT_EQ(store.TrackPoints()[1].headingY, c.headingY);
    }
}

TEST(TrackHeading, StandingStillKeepsTheLastHeadingAndNoLongitudeGivesNone)
{
    CTextData store;
    store.AppendTrackPoint(Fix(3730.0, 12700.0, 55.9));
    store.AppendTrackPoint(Fix(3730.0, 12700.0 + 100 * kMinutesPerEastMetre));
    store.AppendTrackPoint(Fix(3730.0, 12700.0 + 100 * kMinutesPerEastMetre));
    store.AppendTrackPoint(Fix(3730.0, 0));
    const auto points = store.TrackPoints();
    EXPECT_EQ(points[0].speed, 55);
    EXPECT_EQ(points[2].headingX, 23);
    EXPECT_EQ(points[2].headingY, 0);
    EXPECT_EQ(points[3].headingX, 0);
    EXPECT_EQ(points[3].headingY, 0);
    EXPECT_NEAR(points[0].northMetres, (37 + 30 / 60.0) * 110560, 1e-6);
    EXPECT_NEAR(points[0].eastMetres, 127 * 84800.0, 1e-6);
}

CTextData StoreWithSamples(const std::vector<double>& xs)
{
    CTextData store;
    store.ResetForLoad();
    for (double x : xs) {
        const auto raw = static_cast<std::int16_t>(std::lround(x * 1024 + 2048));
        store.ParseTelemetrySample(GSensorBytes('M', 2048, 2048, raw), 0);
    }
    return store;
}

TEST(TimelineBuild, ThreeSamplesInterpolateQuadratically)
{
    CTextData store = StoreWithSamples({ 0, 1, 4 });
    store.BuildTimeline(120); // 6 ticks, step 2
    const auto slots = store.Timeline();
    EXPECT_EQ(store.timelineCount(), 4u);
    EXPECT_DOUBLE_EQ(slots[0].x, 0);
    EXPECT_DOUBLE_EQ(slots[1].x, 0.25);
    EXPECT_DOUBLE_EQ(slots[2].x, 1);
    EXPECT_DOUBLE_EQ(slots[3].x, 2.25);
    EXPECT_EQ(slots[0].clock[0], 1); // copies carry the clock
    EXPECT_EQ(slots[1].clock[0], 0); // interpolated slots do not
}

TEST(TimelineBuild, OneMinuteOfSixHundredSamples)
{
    std::vector<double> xs(600);
    for (std::size_t i = 0; i < xs.size(); ++i)
        xs[i] = std::sin(i / 10.0);
    CTextData store = StoreWithSamples(xs);
    store.BuildTimeline(60000);
    EXPECT_EQ(store.timelineCount(), 2995u);
    const auto slots = store.Timeline();
    ASSERT_GE(slots.size(), 3000u);
    for (std::size_t i = 0; i <= 598; i += 37)
        EXPECT_NEAR(slots[5 * i].x, std::round(xs[i] * 1024) / 1024, 1e-12) << i;
    EXPECT_EQ(store.TimelineIndexAt(60000, 60000), 2994u);
    EXPECT_EQ(store.SampleIndexAt(30000, 60000), 300u);
    EXPECT_EQ(store.SampleIndexAt(60000, 60000), 599u); // the end names the last sample
}

TEST(TimelineBuild, IsClearedEntirelyAtEveryBuild)
{
    std::vector<double> ones(600, 1.0);
    CTextData store = StoreWithSamples(ones);
    store.BuildTimeline(60000);
    ASSERT_EQ(store.Timeline()[2500].y, 0);
    ASSERT_NE(store.Timeline()[2500].clock[0], 0);

    CTextData shorter = StoreWithSamples({ 0, 0, 0, 0 });
    store.ResetForLoad();
    for (int i = 0; i < 4; ++i)
        store.ParseTelemetrySample(GSensorBytes('M', 2048, 2048, 2048), 0);
    store.BuildTimeline(60000);
    for (std::size_t j = 2300; j < store.Timeline().size(); ++j)
        ASSERT_EQ(store.Timeline()[j].clock[0], 0) << j;
}

TEST(TimelineBuild, FewerThanThreeSamplesAreCopiedWithoutInterpolation)
{
    CTextData none = StoreWithSamples({});
    none.BuildTimeline(1000);
    EXPECT_EQ(none.timelineCount(), 0u);
    EXPECT_EQ(none.TimelineIndexAt(500, 1000), 0u);
    EXPECT_GE(none.Timeline().size(), 1u);

    CTextData one = StoreWithSamples({ 0.5 });
    one.BuildTimeline(1000);
    EXPECT_EQ(one.timelineCount(), 1u);
    EXPECT_DOUBLE_EQ(one.Timeline()[0].x, 0.5);

    CTextData two = StoreWithSamples({ 0.5, -0.5 });
    two.BuildTimeline(1000); // 50 ticks, step 25
    EXPECT_EQ(two.timelineCount(), 26u);
    EXPECT_DOUBLE_EQ(two.Timeline()[25].x, -0.5);
    EXPECT_DOUBLE_EQ(two.Timeline()[12].x, 0);
}

TEST(TimelineBuild, ZeroAndHugeDurationsStayInsideTheTimeline)
{
    CTextData store = StoreWithSamples({ 0, 1, 2, 3, 4 });
    store.BuildTimeline(0);
    EXPECT_EQ(store.timelineCount(), 0u);
    EXPECT_EQ(store.TimelineIndexAt(123456, 0), 0u);
    store.BuildTimeline(0xFFFFFFFFu);
    EXPECT_LE(store.Timeline().size(), CTextData::kMaxTimelineSlots);
    EXPECT_EQ(store.timelineCount(), store.Timeline().size());
    EXPECT_LT(store.TimelineIndexAt(0xFFFFFFFFu, 0xFFFFFFFFu), store.timelineCount());
}

TEST(PositionIndices, StayInsideWhatIsStored)
{
    CTextData store = StoreWithSamples({ 0, 1, 4 });
    store.BuildTimeline(120);
    EXPECT_EQ(store.SampleIndexAt(0, 120), 0u);
    EXPECT_EQ(store.SampleIndexAt(500000, 120), 2u);
    EXPECT_EQ(store.TimelineIndexAt(119, 120), 3u);
    EXPECT_EQ(store.TimelineIndexAt(1000, 0), 3u); // no duration: 50-ms steps, clamped
    EXPECT_EQ(store.TrackIndexAt(5000), 0u); // no track stored

    store.AppendTrackPoint(Fix(3730, 12700));
    store.AppendTrackPoint(Fix(3730, 12700));
    store.AppendTrackPoint(Fix(3730, 12700));
    EXPECT_EQ(store.TrackIndexAt(1999), 1u);
    EXPECT_EQ(store.TrackIndexAt(60000), 2u);

    CTextData empty;
    EXPECT_EQ(empty.SampleIndexAt(100, 1000), 0u);
    EXPECT_EQ(empty.TimelineIndexAt(100, 1000), 0u);
}

TEST(PositionIndices, LongRecordingsDoNotWrapTheTimelineProduct)
{
    // 30 minutes: 90000 slots x 50000 ms exceeds 32 bits.
    std::vector<double> xs(2000, 0.0);
    CTextData store = StoreWithSamples(xs);
    store.BuildTimeline(30 * 60 * 1000);
    const std::size_t count = store.timelineCount();
    EXPECT_NEAR(static_cast<double>(store.TimelineIndexAt(50000, 30 * 60 * 1000)),
        count * 50000.0 / (30 * 60 * 1000), 1.0);
}

} // namespace
} // namespace velomira
