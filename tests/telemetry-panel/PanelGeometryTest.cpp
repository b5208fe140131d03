// The panel's pictures as numbers: needle tips, compass, text lines, strip segments and
// marker, and the SMART box's picture choice.
#include "telemetry/PanelGeometry.h"

#include <gtest/gtest.h>

#include "telemetry-panel/PanelTestStore.h"

namespace velomira {
namespace {

using test::LoadRecording;
using test::RecordingSamples;
using test::SteadySamples;

struct NeedleCase {
    const char* name;
    std::uint16_t speedWord;
    int unit;
    PixelPoint tip;
};

TEST(SpeedNeedle, TipsAcrossTheDial)
{
    const NeedleCase cases[] = {
        { "100 km/h, right of the top", 100, kUnitKmh, { 297, 473 } },
        { "0 at the lower left", 0, kUnitKmh, { 240, 542 } },
        { "160 at the lower right", 160, kUnitKmh, { 303, 542 } },
        { "80 straight up, a hair right", 80, kUnitKmh, { 271, 466 } },
        { "100 km/h shown as 62 mph", 100, kUnitMph, { 249, 472 } },
        { "250 km/h stops at 160", 250, kUnitKmh, { 303, 542 } },
    };
    for (const NeedleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SpeedNeedleTip(GaugeSpeed(c.speedWord, c.unit)), c.tip);
    }
}

TEST(Compass, NeedleFollowsTheHeadingFromTwoKmhOn)
{
    struct Case {
        std::uint16_t speed;
        PixelPoint end;
    };
    // Due east: heading (23, 0).
    for (const Case c : { Case { 1, { 384, 510 } }, Case { 0, { 384, 510 } },
             Case { 2, { 407, 510 } }, Case { 90, { 407, 510 } } }) {
        SCOPED_TRACE(c.speed);
        CTextData store;
        LoadRecording(store, { 10000, SteadySamples(100, c.speed), test::EastboundLines(10) });
        EXPECT_EQ(ComposeGauge(store, 5000, 10000, kUnitKmh).compassEnd, c.end);
    }
}

TEST(Gauge, AStoreWithoutTelemetryShowsZeroAndADot)
{
    CTextData store;
    const GaugePicture picture = ComposeGauge(store, 123456, 0, kUnitKmh);
    EXPECT_EQ(picture.speed, 0);
    EXPECT_EQ(picture.needleTip, (PixelPoint { 240, 542 }));
    EXPECT_EQ(picture.compassEnd, kCompassCentre);
}

TEST(PositionText, DegreesMinutesSecondsWithTheSignOnlyInTheLetter)
{
    struct Case {
        double raw;
        char letter;
        int spaces;
        const char* text;
    };
    const Case cases[] = {
        { 3733.1234, 'N', 3, "037 033 7.4 N   " },
        { -3733.1234, 'S', 3, "037 033 7.4 S   " },
        { 12700.5, 'E', 4, "127 000 30.0 E    " },
        { -12700.5, 'W', 4, "127 000 30.0 W    " },
        { 0, 0, 3, "000 000 0.0     " },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NmeaPositionText(c.raw, c.letter, c.spaces), c.text);
    }
}

TEST(TextLines, DateClockAndPositionOfThePlaySecond)
{
    RecordingSamples plan { 10000, SteadySamples(100, 50), {} };
    for (std::size_t i = 45; i <= 50; ++i)
        plan.samples[i].hms = { 8, 30, 5 };
    plan.rmcLines = { test::RmcLine(3733.1234, 'N', 12700.5, 'E'),
        test::RmcLine(3733.1234, 'S', 12700.5, 'W') };
    CTextData store;
    LoadRecording(store, plan);
    const TextLines text = ComposeTextLines(store, 5000, 10000, "2024-03-15");
    EXPECT_EQ(text.lines[0], "2024-03-15");
    EXPECT_EQ(text.lines[1], "08:30:05");
    // Second 5 is past the two stored points: the last one is shown.
    EXPECT_EQ(text.lines[2], "037 033 7.4 S   ");
    EXPECT_EQ(text.lines[3], "127 000 30.0 W    ");
}

TEST(TextLines, ASlotWithoutAClockShowsTheLastClockBeforeIt)
{
    RecordingSamples plan { 10000, SteadySamples(10, 50), {} };
    for (auto& s : plan.samples)
        s.clock = false;
    plan.samples[2].clock = true;
    plan.samples[2].hms = { 1, 2, 3 };
    CTextData store;
    LoadRecording(store, plan);
    EXPECT_EQ(ComposeTextLines(store, 1000, 10000, "").lines[1], std::nullopt);
    EXPECT_EQ(ComposeTextLines(store, 2600, 10000, "").lines[1], "01:02:03");
    EXPECT_EQ(ComposeTextLines(store, 3000, 10000, "").lines[1], "01:02:03");
    EXPECT_EQ(ComposeTextLines(store, 7000, 10000, "").lines[1], "01:02:03");
}

TEST(TextLines, ARecordingWithoutSamplesHasNoClockFromTheOneBefore)
{
    CTextData store;
    LoadRecording(store, { 10000, SteadySamples(100, 50), {} });
    ASSERT_TRUE(ComposeTextLines(store, 5000, 10000, "").lines[1]);
    LoadRecording(store, { 10000, {}, {} });
    const TextLines text = ComposeTextLines(store, 5000, 10000, "");
    EXPECT_EQ(text.lines[1], std::nullopt);
    EXPECT_EQ(text.lines[2], "000 000 0.0     ");
}

TEST(Strip, FirstTripleSpansTheRecordingAndClampsAtTwoG)
{
    CTextData store;
    LoadRecording(store, { 60000, SteadySamples(600, 0, 3.0, -3.0, 1.0), {} });
    const StripPicture strip = ComposeStrip(store, 30000, 60000, 0, kUnitKmh);
    ASSERT_EQ(strip.segments.size(), 3u * 599);
    EXPECT_EQ(strip.segments.front().from.x, 255);
    EXPECT_EQ(strip.segments.back().to.x, 651); // beyond the copied part, which ends at 646
    for (const CurveSegment& s : strip.segments) {
        const int expected = s.axis == CurveAxis::X ? 556 : s.axis == CurveAxis::Y ? 648 : 579;
        ASSERT_EQ(s.from.y, expected);
    }
    EXPECT_EQ(strip.markerX, 453); // 30000 / 60000 x 397 + 255
    EXPECT_EQ(strip.labels[0], "       2.0G ");
    EXPECT_EQ(strip.labels[4], "      -2.0G ");
}

TEST(Strip, SecondTripleHasNoLowerLimit)
{
    RecordingSamples plan { 10000, SteadySamples(10, 0), {} };
    for (auto& s : plan.samples) {
        s.x2 = 3.0;
        s.y2 = -1.0;
        s.z2 = 0.5;
    }
    CTextData store;
    LoadRecording(store, plan);
    const StripPicture strip = ComposeStrip(store, 0, 10000, 1, kUnitKmh);
    ASSERT_EQ(strip.segments.size(), 27u);
    EXPECT_EQ(strip.segments[0].from.y, 548); // 2 g at most
    EXPECT_EQ(strip.segments[1].from.y, 686);
    EXPECT_EQ(strip.segments[2].from.y, 617);
    EXPECT_EQ(strip.labels[1], "       1.5G ");
    EXPECT_EQ(strip.labels[4], "       0.0G ");
}

TEST(Strip, SpeedModeDrawsOneSegmentASecondCappedAt200)
{
    struct Case {
        const char* name;
        std::uint16_t speedKmh;
        int unit;
        int y;
        const char* topLabel;
    };
    const Case cases[] = {
        { "250 km/h on the 200 line", 250, kUnitKmh, 540, "      160kph" },
        { "160 km/h as 100 mph", 160, kUnitMph, 590, "      160mph" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTextData store;
        LoadRecording(store, { 60000, SteadySamples(600, c.speedKmh), test::EastboundLines(60) });
        const StripPicture strip = ComposeStrip(store, 60000, 60000, 2, c.unit);
        ASSERT_EQ(strip.segments.size(), 60u);
        EXPECT_EQ(strip.segments[0].from, (PixelPoint { 255, c.y }));
        EXPECT_EQ(strip.segments[1].from.x, 261); // 397 / 60 a second
        EXPECT_EQ(strip.segments.back().to, (PixelPoint { 652, c.y }));
        EXPECT_EQ(strip.markerX, 647); // 652 capped
        EXPECT_EQ(strip.labels[0], c.topLabel);
    }
}

TEST(Strip, SpeedModeNeverHoldsMoreSegmentsThanPixels)
{
    CTextData store;
    LoadRecording(store, { 60000, SteadySamples(600, 80), test::EastboundLines(60) });
    for (const std::uint32_t durationMs : { 4294967000u, 397000u * 3 + 1 }) {
        SCOPED_TRACE(durationMs);
        const StripPicture strip = ComposeStrip(store, 0, durationMs, 2, kUnitKmh);
        EXPECT_LE(strip.segments.size(), 398u);
        EXPECT_GT(strip.segments.size(), 300u);
        EXPECT_EQ(strip.segments.front().from.x, 255);
        EXPECT_EQ(strip.segments.back().to.x, 652);
    }
}

TEST(Strip, SpeedModeWithoutGpsHasNeitherCurveNorMarker)
{
    CTextData store;
    LoadRecording(store, { 60000, SteadySamples(600, 80), {} });
    const StripPicture strip = ComposeStrip(store, 30000, 60000, 2, kUnitKmh);
    EXPECT_TRUE(strip.segments.empty());
    EXPECT_EQ(strip.markerX, std::nullopt);
    EXPECT_EQ(strip.labels[4], "      0kph");
}

TEST(Strip, MarkerCapsAndAbsences)
{
    CTextData store;
    LoadRecording(store, { 60000, SteadySamples(600, 0), {} });
    EXPECT_EQ(ComposeStrip(store, 60000, 60000, 0, kUnitKmh).markerX, 647);
    CTextData empty;
    // Without a segment the marker stops at 392; without a duration it has no place.
    EXPECT_EQ(ComposeStrip(empty, 60000, 60000, 0, kUnitKmh).markerX, 392);
    EXPECT_EQ(ComposeStrip(empty, 0, 0, 0, kUnitKmh).markerX, std::nullopt);
    EXPECT_TRUE(ComposeStrip(empty, 0, 0, 0, kUnitKmh).segments.empty());
}

TEST(Strip, ContentKeyChangesWithEverythingTheCurvesShow)
{
    const auto keyOf = [](double x, std::uint16_t speed, bool gps, std::uint32_t durationMs,
                           int mode, int unit) {
        CTextData store;
        LoadRecording(store,
            { 10000, SteadySamples(100, speed, x),
                gps ? test::EastboundLines(10) : std::vector<std::string> {} });
        return StripContentKey(store, durationMs, mode, unit);
    };
    const std::uint64_t base = keyOf(0.5, 50, true, 10000, 0, kUnitKmh);
    EXPECT_EQ(keyOf(0.5, 50, true, 10000, 0, kUnitKmh), base);
    EXPECT_NE(keyOf(0.25, 50, true, 10000, 0, kUnitKmh), base);
    EXPECT_NE(keyOf(0.5, 60, true, 10000, 0, kUnitKmh), base);
    EXPECT_NE(keyOf(0.5, 50, false, 10000, 0, kUnitKmh), base);
    EXPECT_NE(keyOf(0.5, 50, true, 20000, 0, kUnitKmh), base);
    EXPECT_NE(keyOf(0.5, 50, true, 10000, 2, kUnitKmh), base);
    EXPECT_NE(keyOf(0.5, 50, true, 10000, 0, kUnitMph), base);
}

struct SmartCase {
    const char* name;
    std::array<std::uint16_t, 11> words;
    std::optional<int> picture;
};

TEST(SmartBox, PictureByVehicleAheadAndLanes)
{
    //                      speed     holdL holdR laneL laneR depL depR     ahead
    const SmartCase cases[] = {
        { "nothing recognised", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, 448 },
        { "a car ahead", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0 }, 449 },
        { "a car too close", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0 }, 450 },
        { "ahead 3 counts as none", { 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0 }, 448 },
        { "both lanes", { 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0 }, 451 },
        { "both lanes, car ahead", { 0, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0 }, 452 },
        { "both lanes, too close", { 0, 0, 0, 0, 1, 1, 0, 0, 0, 2, 0 }, 453 },
        { "leaving right", { 0, 0, 0, 0, 1, 1, 0, 1, 0, 0, 0 }, 454 },
        { "leaving right, car", { 0, 0, 0, 0, 1, 1, 0, 1, 0, 1, 0 }, 455 },
        { "leaving right, close", { 0, 0, 0, 0, 1, 1, 0, 1, 0, 2, 0 }, 456 },
        { "leaving left", { 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0 }, 457 },
        { "leaving left, car", { 0, 0, 0, 0, 1, 1, 1, 0, 0, 1, 0 }, 458 },
        { "leaving left, close", { 0, 0, 0, 0, 1, 1, 1, 0, 0, 2, 0 }, 459 },
        { "held left departure is a lane", { 0, 0, 1, 0, 1, 1, 1, 0, 0, 0, 0 }, 451 },
        { "only the right lane: keep", { 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0 }, std::nullopt },
        { "leaving both: keep", { 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0 }, std::nullopt },
        { "lane value 2 is not a lane", { 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 0 }, 448 },
    };
    for (const SmartCase& c : cases) {
        SCOPED_TRACE(c.name);
        DrivingStatus status;
        status.words = c.words;
        EXPECT_EQ(SmartPictureFor(AssistStateOf(status)), c.picture);
    }
}

TEST(SmartBox, SpeedTextByUnitAndRecordZeroWithoutSamples)
{
    CTextData store;
    LoadRecording(store, { 10000, SteadySamples(100, 100), {} });
    const SmartBoxPicture kmh = ComposeSmartBox(store, 5000, 10000, kUnitKmh);
    EXPECT_EQ(kmh.speedText, "100");
    EXPECT_EQ(kmh.unitText, "km/h");
    const SmartBoxPicture mph = ComposeSmartBox(store, 5000, 10000, kUnitMph);
    EXPECT_EQ(mph.speedText, " 62");
    EXPECT_EQ(mph.unitText, "mph");
    CTextData empty;
    EXPECT_EQ(ComposeSmartBox(empty, 5000, 0, kUnitKmh).speedText, "  0");
    EXPECT_EQ(ComposeSmartBox(empty, 5000, 0, kUnitKmh).pictureId, 448);
}

} // namespace
} // namespace velomira
