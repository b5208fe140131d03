// Trips: grouping by the gap between recordings, figures, marks and the click-to-moment
// lookup, on tracks built by hand.
#include "trips/Trips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "telemetry/TrackExport.h"
#include "trips/TrackCollector.h"
#include "trips/TripBook.h"

namespace velomira {
namespace {

// One metre north is this many degrees on the haversine's sphere.
constexpr double kDegreesPerMetre = 360.0 / (2 * 3.14159265358979323846 * 6371008.8);

RecordingTrack Track(std::uint32_t durationMs, std::vector<TrackFix> fixes = {})
{
    RecordingTrack track;
    track.readable = true;
    track.durationMs = durationMs;
    track.fixes = std::move(fixes);
    return track;
}

// A fix `metresNorth` north of 37.5 N, 127 E.
TrackFix North(std::uint32_t offsetMs, double metresNorth, double speedKmh = 50)
{
    return { offsetMs, 37.5 + metresNorth * kDegreesPerMetre, 127.0, speedKmh, {} };
}

struct GroupingCase {
    const char* name;
    std::vector<std::int64_t> stamps; // seconds
    std::vector<int> durationsS; // -1: unreadable
    std::vector<std::vector<std::size_t>> expected; // newest first
};

class Grouping : public testing::TestWithParam<GroupingCase> { };

TEST_P(Grouping, FollowsTheGapBetweenOneEndAndTheNextStamp)
{
    const GroupingCase& c = GetParam();
    std::vector<RecordingTrack> tracks;
    for (const int d : c.durationsS)
        tracks.push_back(d < 0 ? RecordingTrack {} : Track(static_cast<std::uint32_t>(d) * 1000));
    std::vector<TripRecording> recordings;
    for (std::size_t i = 0; i < c.stamps.size(); ++i)
        recordings.push_back({ c.stamps[i], false, &tracks[i] });
    std::vector<std::vector<std::size_t>> got;
    for (const Trip& trip : GroupTrips(recordings))
        got.push_back(trip.recordings);
    EXPECT_EQ(got, c.expected);
}

const std::int64_t kBeforeMidnight = *StampSeconds("2024-03-15", "23:59:30");

INSTANTIATE_TEST_SUITE_P(Trips, Grouping,
    testing::Values(GroupingCase { "JustUnderThreeMinutes", { 0, 239 }, { 60, 60 }, { { 0, 1 } } },
        GroupingCase { "ThreeMinutesSplits", { 0, 240 }, { 60, 60 }, { { 1 }, { 0 } } },
        GroupingCase { "GivenInAnyOrder", { 1000, 0, 60 }, { 60, 60, 60 }, { { 0 }, { 1, 2 } } },
        GroupingCase {
            "AcrossMidnight", { kBeforeMidnight, kBeforeMidnight + 60 }, { 60, 60 }, { { 0, 1 } } },
        GroupingCase {
            "UnreadableCountsWithNoLength", { 0, 200, 379 }, { 60, -1, 60 }, { { 0, 1, 2 } } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TripStamps, ReadTheListColumnsAcrossDaysAndRejectOthers)
{
    EXPECT_EQ(*StampSeconds("1970-01-02", "00:00:01"), 86401);
    EXPECT_EQ(*StampSeconds("2024-03-16", "00:00:00") - kBeforeMidnight, 30);
    EXPECT_EQ(StampText(kBeforeMidnight * 1000 + 90000), "2024-03-16 00:01:00");
    for (const auto& [date, time] : std::vector<std::pair<const char*, const char*>> {
             { "2024-02-30", "10:00:00" }, { "2024-03-15", "24:00:00" },
             { "2024-3-15", "10:00:00" }, { "2024-03-15", "10:00" }, { "abcd-ef-gh", "10:00:00" } })
        EXPECT_FALSE(StampSeconds(date, time)) << date << " " << time;
}

TEST(TripFigures, DistanceSpeedsAndCountsOverTheTrip)
{
    // 100 m north in each second, a recording without fixes, one that cannot be read, then
    // a fix 5 km away (a jump, not counted) and 100 m more.
    std::vector<RecordingTrack> tracks {
        Track(60000, { North(0, 0, 0), North(1000, 100, 36), North(2000, 200, 72) }), Track(60000),
        RecordingTrack {},
        Track(60000, { North(0, 300, 36), North(1000, 5300, 36), North(2000, 5400, 2) })
    };
    tracks[0].marks.resize(2);
    const std::vector<TripRecording> trip { { 0, false, &tracks[0] }, { 60, true, &tracks[1] },
        { 120, false, &tracks[2] }, { 180, true, &tracks[3] } };
    const TripFigures f = ComputeTripFigures(trip);
    EXPECT_NEAR(f.distanceMetres, 400, 0.01); // 3 x 100 m, the jump left out, then 100 m
    EXPECT_DOUBLE_EQ(f.maxSpeedKmh, 72);
    EXPECT_DOUBLE_EQ(f.averageMovingKmh, (36 + 72 + 36 + 36) / 4.0); // 0 and 2 km/h stand
    EXPECT_EQ(f.durationMs(), 240000);
    EXPECT_EQ(f.eventRecordings, 2u);
    EXPECT_EQ(f.unreadable, 1u);
    EXPECT_EQ(f.marks, 2u);
    EXPECT_NEAR(HaversineMetres(0, 0, 0, 1), 111195.08, 0.01);

    // The lines: the first recording's fixes, the fourth's continuing it, then after the jump.
    const auto lines = TripLines(trip);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].recording, 3u);
    EXPECT_TRUE(lines[1].continuesPrevious);
    EXPECT_EQ(lines[1].fixes.size(), 2u);
    EXPECT_EQ(lines[2].fixes.size(), 2u);
}

// A G-sensor sample: forward and sideways g in 1/1024 steps, status words 2..9.
std::vector<std::byte> GSample(int forward1024, int sideways1024, std::array<int, 8> words = {})
{
    std::vector<std::byte> out(41);
    out[0] = std::byte { 'M' };
    const auto put = [&](std::size_t at, int value) {
        out[at] = static_cast<std::byte>(value & 0xFF);
        out[at + 1] = static_cast<std::byte>((value >> 8) & 0xFF);
    };
    put(1, 2048 + sideways1024); // y
    put(3, 2048 + 1024); // z: gravity
    put(5, 2048 + forward1024); // x
    put(19, 40); // word 0: 40 km/h
    for (std::size_t w = 0; w < words.size(); ++w)
        put(19 + 2 * (2 + w), words[w]);
    return out;
}

std::vector<std::byte> Line(std::string_view text)
{
    std::vector<std::byte> out;
    for (const char c : text)
        out.push_back(static_cast<std::byte>(c));
    return out;
}

struct MarkCase {
    const char* name;
    std::vector<std::vector<std::byte>> samples; // 100 ms apart
    std::vector<MarkKind> expected;
};

class Marks : public testing::TestWithParam<MarkCase> { };

TEST_P(Marks, StartWhereTheThresholdIsExceededOrAWarningBegins)
{
    RecordingTrackBuilder builder;
    std::uint32_t t = 0;
    for (const auto& sample : GetParam().samples) {
        builder.Add(sample, t);
        t += 100;
    }
    std::vector<MarkKind> got;
    for (const TripMark& mark : builder.Finish(t).marks)
        got.push_back(mark.kind);
    EXPECT_EQ(got, GetParam().expected);
}

// Lanes seen on both sides (words 4, 5); departing (6 left, 7 right); held (2, 3); ahead (9).
constexpr std::array<int, 8> kLanes { 0, 0, 1, 1, 0, 0, 0, 0 };
constexpr std::array<int, 8> kLeftDeparts { 0, 0, 1, 1, 1, 0, 0, 0 };
constexpr std::array<int, 8> kLeftHeld { 1, 0, 1, 1, 1, 0, 0, 0 };
constexpr std::array<int, 8> kRightDeparts { 0, 0, 1, 1, 0, 1, 0, 0 };
constexpr std::array<int, 8> kTooClose { 0, 0, 1, 1, 0, 0, 0, 2 };

INSTANTIATE_TEST_SUITE_P(Trips, Marks,
    testing::Values(MarkCase { "JustUnderTheThreshold", { GSample(409, 0), GSample(0, 409) }, {} },
        MarkCase { "JustOverTheThresholdOncePerRun",
            { GSample(410, 0), GSample(0, -500), GSample(0, 0), GSample(300, 300) },
            { MarkKind::HardMove, MarkKind::HardMove } },
        MarkCase { "LaneDepartureStarts",
            { GSample(0, 0, kLanes), GSample(0, 0, kLeftDeparts), GSample(0, 0, kLeftDeparts),
                GSample(0, 0, kRightDeparts) },
            { MarkKind::LaneDepartureLeft, MarkKind::LaneDepartureRight } },
        MarkCase { "HeldDepartureDoesNotWarn", { GSample(0, 0, kLeftHeld) }, {} },
        MarkCase { "ForwardCollision", { GSample(0, 0, kLanes), GSample(0, 0, kTooClose) },
            { MarkKind::ForwardCollision } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Marks, ArePlacedBetweenTheFixesAroundThem)
{
    RecordingTrackBuilder builder;
    builder.Add(Line("$GPRMC,101010.000,A,3730.0000,N,12700.0000,E,10.0,0.0,150324,,,A*00"), 0);
    builder.Add(GSample(500, 0), 250);
    builder.Add(Line("$GPRMC,101011.000,A,3730.0600,N,12700.0000,E,10.0,0.0,150324,,,A*00"), 1000);
    builder.Add(GSample(0, 0, kTooClose), 9000); // no fix within 3 s
    const RecordingTrack track = builder.Finish(10000);
    ASSERT_EQ(track.fixes.size(), 2u);
    EXPECT_EQ(track.fixes[0].time, "2024-03-15T10:10:10.000Z");
    ASSERT_EQ(track.marks.size(), 2u);
    EXPECT_TRUE(track.marks[0].placed);
    EXPECT_NEAR(track.marks[0].latitude, 37.5 + 0.25 * 0.001, 1e-9);
    EXPECT_DOUBLE_EQ(track.marks[0].speedKmh, 40);
    EXPECT_FALSE(track.marks[1].placed);
}

TEST(Marks, AWarningGoingOnIntoTheNextRecordingIsNotANewOne)
{
    // Recording 0 ends in a forward-collision warning; recording 1 starts in it (the same
    // warning) and in a hard move that was not on before (a new one).
    RecordingTrackBuilder builder;
    builder.Add(GSample(0, 0, kTooClose), 59900);
    const RecordingTrack first = builder.Finish(60000);
    builder.Add(GSample(500, 0, kTooClose), 0);
    builder.Add(GSample(0, 0, kLanes), 100);
    builder.Add(GSample(0, 0, kTooClose), 200);
    const RecordingTrack second = builder.Finish(60000);
    for (const auto& [gapS, expected] :
        std::vector<std::pair<int, std::size_t>> { { 0, 2 }, { 2, 3 } }) {
        const std::vector<TripRecording> trip { { 0, false, &first },
            { 60 + gapS, false, &second } };
        std::vector<MarkKind> kinds;
        for (const TripMark* mark : TripMarks(trip, 1))
            kinds.push_back(mark->kind);
        EXPECT_EQ(kinds.size(), expected) << "gap " << gapS << " s";
        EXPECT_EQ(kinds.front(), MarkKind::HardMove);
        EXPECT_EQ(ComputeTripFigures(trip).marks, 1 + expected);
    }
}

struct LookupCase {
    const char* name;
    double metresNorth;
    double metresEast;
    std::size_t recording;
    std::uint32_t offsetMs;
};

class Lookup : public testing::TestWithParam<LookupCase> { };

TEST_P(Lookup, FindsTheNearestMomentOnTheDrawnLines)
{
    // Recording 0 drives north 0..200 m in 2 s and comes back south to 100 m; recording 1
    // goes on from 400 m. The line 100 m -> 400 m joins the two recordings.
    const std::vector<RecordingTrack> tracks {
        Track(60000, { North(0, 0), North(1000, 100), North(2000, 200), North(3000, 100) }),
        Track(60000, { North(500, 400), North(1500, 500) })
    };
    const std::vector<TripRecording> trip { { 0, false, &tracks[0] }, { 60, false, &tracks[1] } };
    const LookupCase& c = GetParam();
    const double latitude = 37.5 + c.metresNorth * kDegreesPerMetre;
    const double longitude
        = 127.0 + c.metresEast * kDegreesPerMetre / std::cos(37.5 * 3.14159265358979 / 180);
    const auto moment = NearestMoment(trip, latitude, longitude);
    ASSERT_TRUE(moment);
    EXPECT_EQ(moment->recording, c.recording);
    EXPECT_NEAR(moment->offsetMs, c.offsetMs, 2);
}

INSTANTIATE_TEST_SUITE_P(Trips, Lookup,
    testing::Values(LookupCase { "OnASegmentTheTimeIsInterpolated", 50, 10, 0, 500 },
        LookupCase { "BeyondTheEndTheLastFix", 600, 0, 1, 1500 },
        LookupCase { "TiesGoToTheEarlierMoment", 150, 0, 0, 1500 },
        LookupCase { "BetweenRecordingsNearerTheFirst", 220, -50, 0, 3000 },
        LookupCase { "BetweenRecordingsNearerTheSecond", 350, 20, 1, 500 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Lookup, NothingWithoutFixes)
{
    const RecordingTrack empty = Track(60000);
    const std::vector<TripRecording> trip { { 0, false, &empty }, { 60, false, nullptr } };
    EXPECT_FALSE(NearestMoment(trip, 37.5, 127));
}

TEST(TrackCollector, ReadsEveryFileOnceAndStopsWhenAsked)
{
    std::vector<std::string> files;
    for (int i = 0; i < 50; ++i)
        files.push_back(std::to_string(i));
    std::atomic<int> wakes { 0 };
    TrackCollector collector(
        files, [](const std::string& file) { return Track(std::stoul(file)); }, 3,
        [&wakes] { ++wakes; });
    collector.Wait();
    std::vector<bool> seen(files.size(), false);
    for (auto& [index, track] : collector.TakeResults()) {
        EXPECT_EQ(track.durationMs, index);
        EXPECT_FALSE(seen[index]);
        seen[index] = true;
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 50);
    EXPECT_GE(wakes.load(), 1);

    std::atomic<int> reads { 0 };
    TrackCollector stopped(
        files, [&reads](const std::string&) { return ++reads, RecordingTrack {}; }, 1, {});
    stopped.Stop();
    EXPECT_LT(reads.load(), 50);
    EXPECT_EQ(stopped.TakeResults().size(), static_cast<std::size_t>(reads.load()));
}

TEST(TripBook, ATripIsSettledOnceItAndTheRecordingBeforeItAreRead)
{
    // Two drives of two recordings; read newest first, as the window reads them.
    std::vector<TripSource> sources;
    for (const std::int64_t stamp : { 0, 60, 1000, 1060 })
        sources.push_back({ {}, std::to_string(stamp), stamp, false });
    TripBook book(sources);
    EXPECT_EQ(book.FilesNewestFirst(), (std::vector<std::string> { "1060", "1000", "60", "0" }));
    const auto settled = [&book] {
        std::vector<std::size_t> keys;
        for (const Trip& trip : book.Regroup()) {
            if (book.IsSettled(trip))
                keys.push_back(TripBook::KeyOf(trip));
        }
        return keys;
    };
    const std::vector<std::vector<std::size_t>> expected { {}, {}, {}, { 2 }, { 2, 0 } };
    for (std::size_t read = 0; read <= 4; ++read) {
        if (read > 0)
            book.SetTrack(book.SourceOfNewest(read - 1), Track(60000));
        EXPECT_EQ(settled(), expected[read]) << read << " read";
    }
}

TEST(TripExport, OneGpxTrackWithASegmentPerRecordingAndKmlLines)
{
    const NamedTrack track { "2024-03-15 10:10:10",
        { { { { 37.5, 127 }, "2024-03-15T10:10:10Z" } }, { { { 37.6, 127.1 }, std::nullopt } } } };
    const std::string gpx = TracksGpx({ track });
    EXPECT_NE(gpx.find("<name>2024-03-15 10:10:10</name>"), std::string::npos);
    std::size_t segments = 0;
    for (std::size_t at = gpx.find("<trkseg>"); at != std::string::npos;
         at = gpx.find("<trkseg>", at + 1))
        ++segments;
    EXPECT_EQ(segments, 2u);
    const std::string kml = TrackKml(track);
    EXPECT_NE(kml.find("<coordinates>127,37.5</coordinates>"), std::string::npos) << kml;
    EXPECT_NE(kml.find("<coordinates>127.1,37.6</coordinates>"), std::string::npos);
}

} // namespace
} // namespace velomira
