// velomira-bench-export [--recording REC.mp4] [--dir FOLDER]: the export commands against
// their baselines, measured in the same run on a 60-second recording (front 1920x1080, rear
// 1280x720, 30 fps; made once with velomira-mkcard, shared with velomira-bench-playback):
// - snapshot: the front picture at a position decoded from the file and written as JPEG
//   with EXIF, against the player seeking to the same position (until that picture is in
//   a full-size window) plus one JPEG encode of it; median of 15 positions;
// - cut: a 10-second clip cut without re-encoding, against
//   `ffmpeg -ss A -to B -i REC -map 0 -c copy` making the same cut; median of 5.
// Ratios below 1 mean the export is faster than its baseline.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QProcess>

#include "bench/support/BenchRecording.h"
#include "devtools/mkcard/FrameStamp.h"
#include "export/SnapshotFile.h"
#include "playback/MediaPlayer.h"
#include "playback/VideoWindow.h"
#include "playback/ffmpeg/ClipCutter.h"

namespace {

using namespace velomira;

constexpr double kFrameMs = 1000.0 / 30.0;

// A full-size window that keeps the last picture and its frame stamp.
class FullWindow : public VideoWindow {
public:
    QSize PictureSize() const override { return { 1920, 1080 }; }
    QRect VisibleRect() const override { return { 0, 0, 1920, 1080 }; }
    void ShowPicture(const QImage& image, const QRect&) override
    {
        picture = image;
        stamp = ReadFrameStampRgb32(image.constBits(), static_cast<int>(image.bytesPerLine()),
            image.width(), image.height());
    }
    void ClearPicture() override { }
    QImage picture;
    std::optional<FrameStamp> stamp;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Ms(const QElapsedTimer& timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void Snapshots(const std::string& recording, const std::string& folder)
{
    FullWindow front;
    MediaPlayer player;
    player.AttachWindows(1, &front, nullptr);
    if (!player.Open(recording)) {
        std::printf("snapshot: the recording does not open\n");
        return;
    }
    std::vector<double> snapshot, baseline;
    const auto seekAndEncode = [&](int positionMs) {
        const int frame = static_cast<int>(positionMs / kFrameMs);
        QElapsedTimer timer;
        timer.start();
        player.SeekMs(positionMs);
        while (!(front.stamp && front.stamp->frameNumber >= frame) && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(92);
        writer.write(front.picture);
        baseline.push_back(Ms(timer));
    };
    const auto snapshotAt = [&](int positionMs) {
        QElapsedTimer timer;
        timer.start();
        std::string error;
        if (!SnapshotRecording(recording, 0, positionMs, folder + "/snapshot.jpg", error))
            std::printf("snapshot failed: %s\n", error.c_str());
        snapshot.push_back(Ms(timer));
    };
    // 15 positions spread over the recording and over the second between keyframes; the
    // two take turns at going first, so neither always finds the file's pages warm.
    for (int i = 0; i < 15; ++i) {
        const int positionMs = 2000 + i * 3700;
        if (i % 2 == 0) {
            seekAndEncode(positionMs);
            snapshotAt(positionMs);
        } else {
            snapshotAt(positionMs);
            seekAndEncode(positionMs);
        }
    }
    const double s = Median(snapshot), b = Median(baseline);
    std::printf("snapshot of the 1920x1080 front picture as JPEG with EXIF: median %.1f ms; the "
                "player's seek to the same position plus one JPEG encode: %.1f ms: ratio %.2f "
                "(target < 1)\n",
        s, b, b > 0 ? s / b : 0);
}

void Cuts(const std::string& recording, const std::string& folder)
{
    std::vector<double> ours, ffmpeg;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start("ffmpeg",
            { "-v", "error", "-y", "-ss", "20", "-to", "30", "-i",
                QString::fromStdString(recording), "-map", "0", "-c", "copy",
                QString::fromStdString(folder + "/ffmpeg-cut.mp4") });
        process.waitForFinished(-1);
        ffmpeg.push_back(Ms(timer));

        timer.restart();
        const ClipCut cut = CutClip(recording, 20000, 30000, folder + "/cut.mp4");
        ours.push_back(Ms(timer));
        if (cut.status != ClipCut::Status::Written)
            std::printf("cut failed: %s\n", cut.message.c_str());
    }
    const double o = Median(ours), f = Median(ffmpeg);
    std::printf("10-second cut of a 60-second recording without re-encoding: median %.1f ms; "
                "ffmpeg -ss 20 -to 30 -map 0 -c copy: %.1f ms: ratio %.2f (target <= 1)\n",
        o, f, f > 0 ? o / f : 0);
}

} // namespace

int main(int argc, char** argv)
{
    std::string recording;
    std::string folder = "/tmp/velomira-bench-playback";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--recording" && i + 1 < argc) {
            recording = argv[++i];
        } else if (arg == "--dir" && i + 1 < argc) {
            folder = argv[++i];
        } else {
            std::printf("Usage: velomira-bench-export [--recording REC.mp4] [--dir FOLDER]\n"
                        "Without --recording, uses (or makes once) FOLDER/full.mp4.\n");
            return arg == "--help" ? 0 : 2;
        }
    }
    std::filesystem::create_directories(folder);
    if (recording.empty()) {
        recording = velomira::bench::EnsureBenchRecording(folder);
        if (recording.empty())
            return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Snapshots(recording, folder);
    Cuts(recording, folder);
    return 0;
}
