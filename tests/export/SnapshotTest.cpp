// Snapshots: the picture of the exact frame at full size, with the moment's place and time
// as exiftool reads them (JPEG) or as text chunks (PNG).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QImage>
#include <QImageReader>

#include "ExportTestSupport.h"
#include "devtools/mkcard/FrameStamp.h"
#include "export/SnapshotFile.h"
#include "playback/RecordingTelemetry.h"
#include "playback/ffmpeg/FrameGrabber.h"
#include "telemetry/CTextData.h"

namespace velomira {
namespace {

using test::Quoted;
using test::RunCommand;

int StampOf(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto stamp = ReadFrameStampRgb32(
        rgb.constBits(), static_cast<int>(rgb.bytesPerLine()), rgb.width(), rgb.height());
    return stamp ? stamp->frameNumber : -1;
}

TEST(Snapshot, ThePictureIsTheFrameOnScreenAtFullSize)
{
    test::TempDir folder("velomira-snapshot");
    const auto recording = test::MakeRecording(folder, "20240315_101010_NF.mp4", 6);
    ASSERT_FALSE(recording.empty());
    // 30 pictures a second: the one on screen at P ms is number floor(P * 30 / 1000).
    for (const std::int64_t positionMs : { 0, 1000, 2550, 4999 }) {
        SCOPED_TRACE(positionMs);
        const auto front = GrabPicture(recording.string(), 0, positionMs);
        ASSERT_TRUE(front);
        EXPECT_EQ(front->image.size(), QSize(640, 360));
        EXPECT_EQ(StampOf(front->image), positionMs * 30 / 1000);
        EXPECT_LE(front->timeMs, positionMs);
        const auto rear = GrabPicture(recording.string(), 1, positionMs);
        ASSERT_TRUE(rear);
        EXPECT_EQ(rear->image.size(), QSize(320, 180));
        EXPECT_EQ(StampOf(rear->image), positionMs * 30 / 1000);
    }
    // The whole picture, not only its stamp, is the frame ffmpeg decodes there (frame 76).
    if (test::HaveProgram("ffmpeg")) {
        const auto reference = folder / "reference.png";
        int status = -1;
        RunCommand(test::Join("ffmpeg -v error -y -i ", Quoted(recording),
                       " -vf 'select=eq(n\\,76)' -frames:v 1 ", Quoted(reference)),
            &status);
        ASSERT_EQ(status, 0);
        const QImage expected = QImage(QString::fromStdString(reference.string()))
                                    .convertToFormat(QImage::Format_RGB888);
        const auto grabbed = GrabPicture(recording.string(), 0, 2550);
        ASSERT_TRUE(grabbed);
        const QImage actual = grabbed->image.convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(actual.size(), expected.size());
        int worst = 0;
        for (int y = 0; y < actual.height(); ++y) {
            const uchar* a = actual.constScanLine(y);
            const uchar* e = expected.constScanLine(y);
            for (int x = 0; x < actual.width() * 3; ++x)
                worst = std::max(worst, std::abs(a[x] - e[x]));
        }
        EXPECT_LE(worst, 3);
    }
    EXPECT_FALSE(GrabPicture(recording.string(), 2, 0));
    EXPECT_FALSE(GrabPicture((folder / "missing.mp4").string(), 0, 0));
}

TEST(Snapshot, JpegCarriesTheMomentInExifAndPngInTextChunks)
{
    test::TempDir folder("velomira-snapshot");
    const auto recording = test::MakeRecording(folder, "20240315_101010_NF.mp4", 6);
    ASSERT_FALSE(recording.empty());
    CTextData store;
    ASSERT_TRUE(LoadRecordingTelemetry(recording.string(), store));
    const MomentFacts moment = MomentAt(store, 3000);
    ASSERT_TRUE(moment.position && moment.time && moment.speedKmh);

    const auto jpeg = folder / "snap.jpg";
    std::string error;
    ASSERT_TRUE(SnapshotRecording(recording.string(), 0, 3000, jpeg.string(), error)) << error;
    QImageReader reader(QString::fromStdString(jpeg.string()));
    EXPECT_EQ(reader.size(), QSize(640, 360));
    if (test::HaveProgram("exiftool")) {
        const std::string tags = RunCommand(
            test::Join("exiftool -n -s3 -GPSLatitude -GPSLongitude -GPSSpeed -DateTimeOriginal ",
                Quoted(jpeg)));
        double latitude = 0, longitude = 0, speed = 0;
        char date[32] = {};
        ASSERT_EQ(std::sscanf(
                      tags.c_str(), "%lf\n%lf\n%lf\n%31[^\n]", &latitude, &longitude, &speed, date),
            4)
            << tags;
        EXPECT_NEAR(latitude, moment.position->latitude, 1e-6);
        EXPECT_NEAR(longitude, moment.position->longitude, 1e-6);
        EXPECT_NEAR(speed, *moment.speedKmh, 0.01);
        // "2024:03:15 10:10:13" from "2024-03-15T10:10:13.050Z".
        std::string expected = moment.time->substr(0, 19);
        expected[4] = expected[7] = ':';
        expected[10] = ' ';
        EXPECT_EQ(std::string(date), expected);
    }

    const auto png = folder / "snap.png";
    ASSERT_TRUE(SnapshotRecording(recording.string(), 1, 3000, png.string(), error)) << error;
    const QImage read(QString::fromStdString(png.string()));
    EXPECT_EQ(read.size(), QSize(320, 180));
    EXPECT_EQ(read.text("DateTimeUTC").toStdString(), *moment.time);
    EXPECT_NEAR(read.text("GPSLatitude").toDouble(), moment.position->latitude, 1e-6);

    // A folder that cannot take the file: a message, and nothing left behind.
    EXPECT_FALSE(
        SnapshotRecording(recording.string(), 0, 3000, (folder / "no" / "x.jpg").string(), error));
    EXPECT_FALSE(error.empty());
}

// The references carry the hemisphere: read back by exiftool, whose composite position is
// signed by them, a moment in each quadrant lands where the car was.
TEST(Snapshot, ExifPlacesTheMomentInEveryQuadrant)
{
    if (!test::HaveProgram("exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    const struct {
        const char* route;
        const char* latitudeRef;
        const char* longitudeRef;
    } cases[] = { { "seoul", "N", "E" }, { "newyork", "N", "W" }, { "sydney", "S", "E" },
        { "saopaulo", "S", "W" } };
    test::TempDir folder("velomira-snapshot-quadrants");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.route);
        const auto recording = test::MakeRecording(folder,
            test::Join("20240315_101010_", c.route, "_NF.mp4"), 6, test::Join("--route ", c.route));
        ASSERT_FALSE(recording.empty());
        CTextData store;
        ASSERT_TRUE(LoadRecordingTelemetry(recording.string(), store));
        const MomentFacts moment = MomentAt(store, 3000);
        ASSERT_TRUE(moment.position);
        const auto jpeg = folder / test::Join(c.route, ".jpg");
        std::string error;
        ASSERT_TRUE(SnapshotRecording(recording.string(), 0, 3000, jpeg.string(), error)) << error;
        const std::string tags = RunCommand(test::Join("exiftool -n -s3 -GPSLatitudeRef "
                                                       "-GPSLongitudeRef -Composite:GPSLatitude "
                                                       "-Composite:GPSLongitude ",
            Quoted(jpeg)));
        char latitudeRef[8] = {}, longitudeRef[8] = {};
        double latitude = 0, longitude = 0;
        ASSERT_EQ(std::sscanf(tags.c_str(), "%7s\n%7s\n%lf\n%lf", latitudeRef, longitudeRef,
                      &latitude, &longitude),
            4)
            << tags;
        EXPECT_STREQ(latitudeRef, c.latitudeRef);
        EXPECT_STREQ(longitudeRef, c.longitudeRef);
        EXPECT_NEAR(latitude, moment.position->latitude, 1e-6);
        EXPECT_NEAR(longitude, moment.position->longitude, 1e-6);
        EXPECT_EQ(latitude < 0, *c.latitudeRef == 'S');
        EXPECT_EQ(longitude < 0, *c.longitudeRef == 'W');
    }
}

} // namespace
} // namespace velomira
