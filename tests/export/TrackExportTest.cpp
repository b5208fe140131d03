// The track as GPX, KML and CSV, judged by gpsbabel: as many points as valid fixes, the
// first and the last where the telemetry puts them.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "ExportTestSupport.h"
#include "playback/RecordingTelemetry.h"
#include "telemetry/CTextData.h"
#include "telemetry/TrackExport.h"

namespace velomira {
namespace {

using test::Quoted;
using test::RunCommand;

struct Point {
    double latitude, longitude;
};

// gpsbabel's CSV: "lat, lon, name" per point.
std::vector<Point> ReadByGpsbabel(const std::string& format, const std::filesystem::path& file)
{
    std::vector<Point> points;
    std::istringstream lines(RunCommand(test::Join("gpsbabel -i ", format, " -f ", Quoted(file), " -o csv -F - 2>&1")));
    std::string line;
    while (std::getline(lines, line)) {
        Point p {};
        if (std::sscanf(line.c_str(), "%lf, %lf", &p.latitude, &p.longitude) == 2)
            points.push_back(p);
    }
    return points;
}

TEST(TrackExport, GpsbabelReadsEveryValidFixOfGpxAndKml)
{
    if (!test::HaveProgram("gpsbabel"))
        GTEST_SKIP() << "gpsbabel is not installed";
    test::TempDir folder("velomira-track");
    const auto recording = test::MakeRecording(folder, "20240315_101010_NF.mp4", 20);
    ASSERT_FALSE(recording.empty());
    CTextData store;
    ASSERT_TRUE(LoadRecordingTelemetry(recording.string(), store));
    std::vector<FixPosition> fixes;
    for (const CGPSData& record : store.GpsRecords())
        if (const auto position = ValidFixPosition(record))
            fixes.push_back(*position);
    ASSERT_GT(fixes.size(), 10u);

    for (const char* format : { "gpx", "kml" }) {
        SCOPED_TRACE(format);
        const auto file = folder / test::Join("track.", format);
        int status = -1;
        RunCommand(test::Join(VELOMIRA_CARD_PROGRAM, " telemetry ", Quoted(recording), " --",
                       format, " > ", Quoted(file)),
            &status);
        ASSERT_EQ(status, 0);
        std::vector<Point> points = ReadByGpsbabel(format, file);
        if (std::string(format) == "kml") {
            // The start and end placemarks come first, as waypoints.
            ASSERT_EQ(points.size(), fixes.size() + 2);
            EXPECT_NEAR(points[0].latitude, fixes.front().latitude, 1e-5);
            EXPECT_NEAR(points[1].longitude, fixes.back().longitude, 1e-5);
            points.erase(points.begin(), points.begin() + 2);
        }
        ASSERT_EQ(points.size(), fixes.size());
        EXPECT_NEAR(points.front().latitude, fixes.front().latitude, 1e-5);
        EXPECT_NEAR(points.front().longitude, fixes.front().longitude, 1e-5);
        EXPECT_NEAR(points[fixes.size() - 1].latitude, fixes.back().latitude, 1e-5);
        EXPECT_NEAR(points[fixes.size() - 1].longitude, fixes.back().longitude, 1e-5);
    }
}

TEST(TrackExport, TheFileNameChoosesTheFormat)
{
    EXPECT_EQ(TrackFormatOfFileName("/home/u/trip.GPX"), TrackFormat::Gpx);
    EXPECT_EQ(TrackFormatOfFileName("trip.kml"), TrackFormat::Kml);
    EXPECT_EQ(TrackFormatOfFileName("a.b/trip.csv"), TrackFormat::Csv);
    EXPECT_FALSE(TrackFormatOfFileName("trip"));
    EXPECT_FALSE(TrackFormatOfFileName("trip.kmz"));
    // A store without a valid fix gives an empty but well-formed document.
    CTextData empty;
    const std::string kml = TelemetryKml(empty, "a < b");
    EXPECT_NE(kml.find("<name>a &lt; b</name>"), std::string::npos);
    EXPECT_EQ(kml.find("<Placemark>"), std::string::npos);
}

} // namespace
} // namespace velomira
