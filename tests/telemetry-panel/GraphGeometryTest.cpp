// The graph window's numbers: grid, labels, curves, the pointer read-out and the mode
// cycle.
#include "telemetry/GraphGeometry.h"

#include <gtest/gtest.h>

#include "telemetry-panel/PanelTestStore.h"

namespace velomira {
namespace {

using test::LoadRecording;
using test::SteadySamples;

TEST(GraphGrid, OneLineASecondAndTheLastOnlyFromThirtySeconds)
{
    const GraphLayout g = GraphLayoutFor(0);
    struct Case {
        std::uint32_t durationMs;
        std::size_t lines;
        int last;
    };
    for (const Case c : { Case { 20000, 20, 915 }, Case { 40000, 41, 960 }, Case { 29999, 29, 900 },
             Case { 30000, 31, 960 }, Case { 999, 0, 0 },
             // Seconds narrower than a pixel: one line a pixel.
             Case { 1800000, 901, 960 } }) {
        SCOPED_TRACE(c.durationMs);
        const std::vector<int> xs = GraphGridXs(g, c.durationMs);
        ASSERT_EQ(xs.size(), c.lines);
        if (!xs.empty()) {
            EXPECT_EQ(xs.front(), 60);
            EXPECT_EQ(xs.back(), c.last);
        }
    }
}

TEST(GraphGrid, ADamagedHeadersLengthDrawsNoMoreLinesThanPixels)
{
    const std::vector<int> xs = GraphGridXs(GraphLayoutFor(0), 4294967000u);
    EXPECT_LE(xs.size(), 901u);
    EXPECT_GE(xs.size(), 900u);
}

TEST(GraphLayout, NormalAndSmallWindows)
{
    const GraphLayout normal = GraphLayoutFor(0);
    EXPECT_EQ(normal.top(), 40);
    EXPECT_EQ(normal.windowWidth, 990);
    const GraphLayout small = GraphLayoutFor(2);
    EXPECT_EQ(small.windowWidth, 800);
    EXPECT_EQ(small.windowHeight, 540);
    EXPECT_EQ(small.top(), 40);
    EXPECT_EQ(small.plotWidth, 700);
}

TEST(GraphLabels, RowLabelsByMode)
{
    struct Case {
        int mode;
        int unit;
        const char* bottom;
        const char* middle;
        const char* top;
    };
    for (const Case c : { Case { 0, kUnitKmh, "-2.00G", "0.00G", "2.00G" },
             Case { 1, kUnitKmh, "0.00G", "1.00G", "2.00G" },
             Case { 2, kUnitKmh, "0kph", "100kph", "200kph" },
             Case { 2, kUnitMph, "0mph", "100mph", "200mph" } }) {
        SCOPED_TRACE(c.top);
        const auto labels = GraphLabels(c.mode, c.unit);
        EXPECT_EQ(labels[0], c.bottom);
        EXPECT_EQ(labels[10], c.middle);
        EXPECT_EQ(labels[20], c.top);
    }
}

TEST(GraphCurves, ScalesOfTheThreeModes)
{
    CTextData store;
    test::RecordingSamples plan { 10000, SteadySamples(100, 250, 1.0, -0.5, 0.25),
        test::EastboundLines(10) };
    for (auto& s : plan.samples)
        s.x2 = 0.5;
    LoadRecording(store, plan);
    const GraphLayout g = GraphLayoutFor(0);

    const auto first = GraphCurves(g, store, 10000, 0, kUnitKmh);
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(first[0].points.size(), 100u);
    EXPECT_EQ(first[0].points[0], (PixelPoint { 60, 160 })); // 1 g: 120 above the middle
    EXPECT_EQ(first[1].points[0].y, 340);
    EXPECT_EQ(first[2].points[0].y, 250);
    EXPECT_EQ(first[0].points[99].x, 951); // 99 x 9

    const auto second = GraphCurves(g, store, 10000, 1, kUnitKmh);
    EXPECT_EQ(second[0].points[0].y, 400); // 0.5 g: 120 above the bottom

    const auto speed = GraphCurves(g, store, 10000, 2, kUnitKmh);
    ASSERT_EQ(speed.size(), 1u);
    ASSERT_EQ(speed[0].points.size(), 11u); // seconds 0 to 10
    // 10 knots = 18.52 km/h, stored as 18: 2.4 px each.
    EXPECT_EQ(speed[0].points[0], (PixelPoint { 60, 520 - 43 }));
    EXPECT_EQ(speed[0].points[10], (PixelPoint { 960, 520 - 43 }));
}

TEST(GraphCurves, SpeedIsCappedAt200AndConvertedToMph)
{
    struct Case {
        double knots;
        int unit;
        int y;
    };
    // 250 km/h is 134.99 knots; 160 km/h is 86.39 knots.
    for (const Case c : { Case { 135.0, kUnitKmh, 40 }, Case { 86.4, kUnitMph, 280 } }) {
        SCOPED_TRACE(c.knots);
        std::vector<std::string> lines;
        for (int i = 0; i < 20; ++i)
            lines.push_back(test::RmcLine(3733.0, 'N', 12700.0 + i, 'E', c.knots));
        CTextData store;
        LoadRecording(store, { 20000, {}, lines });
        const auto speed = GraphCurves(GraphLayoutFor(0), store, 20000, 2, c.unit);
        ASSERT_EQ(speed.size(), 1u);
        EXPECT_EQ(speed[0].points[5].y, c.y);
    }
}

TEST(GraphCurves, NothingWithoutSamplesAndTheSpeedEndsAtTheStoredTrack)
{
    CTextData store;
    EXPECT_TRUE(GraphCurves(GraphLayoutFor(0), store, 60000, 0, kUnitKmh).empty());
    EXPECT_TRUE(GraphCurves(GraphLayoutFor(0), store, 60000, 2, kUnitKmh).empty());
    LoadRecording(store, { 60000, {}, test::EastboundLines(5) });
    const auto speed = GraphCurves(GraphLayoutFor(0), store, 60000, 2, kUnitKmh);
    ASSERT_EQ(speed.size(), 1u);
    EXPECT_EQ(speed[0].points.size(), 6u);
}

TEST(GraphReadout, PointerHeightOnTheNormalScale)
{
    struct Case {
        int mode;
        int y;
        int unit;
        const char* text;
    };
    const Case cases[] = {
        { 0, 520, kUnitKmh, "-2.00 G" },
        { 1, 520, kUnitKmh, " 0.00 G" },
        { 2, 520, kUnitKmh, "000 kph" },
        { 0, 40, kUnitKmh, " 2.00 G" },
        { 1, 40, kUnitKmh, " 2.00 G" },
        { 2, 40, kUnitKmh, "200 kph" },
        { 2, 40, kUnitMph, "200 mph" },
        { 0, 0, kUnitKmh, " 2.00 G" },
        { 2, 0, kUnitKmh, "200 kph" },
        { 0, 599, kUnitKmh, "-2.00 G" },
        { 1, 599, kUnitKmh, " 0.00 G" },
        { 2, 599, kUnitKmh, "000 kph" },
        { 0, 280, kUnitKmh, " 0.00 G" },
        { 2, 281, kUnitKmh, "099 kph" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GraphReadout(c.mode, c.y, c.unit), c.text);
    }
}

TEST(GraphMode, CyclesWithItsButtonPictures)
{
    int mode = 0;
    const std::array<int, 2> expected[] = { { 404, 429 }, { 406, 431 }, { 405, 430 } };
    for (const auto& images : expected) {
        mode = NextGraphMode(mode);
        EXPECT_EQ(GraphModeImages(mode), images);
    }
    EXPECT_EQ(mode, 0);
}

} // namespace
} // namespace velomira
