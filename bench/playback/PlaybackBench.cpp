// velomira-bench-playback: the player's speed figures on a 60-second recording (front
// 1920x1080, rear 1280x720, 30 fps, AAC), each printed against a baseline measured in
// the same run. Run by hand; see --help.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include "bench/support/BenchRecording.h"
#include "bench/support/FfmpegDecodeCpu.h"
#include "devtools/mkcard/FrameStamp.h"
#include "playback/MediaPlayer.h"
#include "playback/VideoWindow.h"
#include "playback/ffmpeg/MediaSource.h"
#include "playback/ffmpeg/RecordingProbe.h"
#include "playback/ffmpeg/VideoConverter.h"
#include "telemetry/CTextData.h"

namespace {

using namespace velomira;

constexpr double kFrameMs = 1000.0 / 30.0;

class BenchWindow : public VideoWindow {
public:
    BenchWindow(QSize size)
        : m_size(size)
    { }
    QSize PictureSize() const override { return m_size; }
    QRect VisibleRect() const override { return QRect(QPoint(0, 0), m_size); }
    void ShowPicture(const QImage& image, const QRect&) override
    {
        ++shown;
        stamp = ReadFrameStampRgb32(image.constBits(), static_cast<int>(image.bytesPerLine()),
            image.width(), image.height());
    }
    void ClearPicture() override { }
    int shown = 0;
    std::optional<FrameStamp> stamp;

private:
    QSize m_size;
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long long ReadChars()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            return value;
    }
    return -1;
}

// Runs the event loop for `ms` without spinning, so the figures hold only the player's
// own work.
void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs a program; its standard error, and the wall time in ms through *ms.
QString RunProgram(const QString& program, const QStringList& arguments, double* ms)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (ms != nullptr)
        *ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    return QString::fromUtf8(process.readAllStandardError());
}

void TelemetryLoad(const std::string& path)
{
    const auto info = ProbeRecording(path);
    if (!info) {
        std::printf("telemetry load: the recording does not open\n");
        return;
    }
    const auto text = std::find(info->outputNames.begin(), info->outputNames.end(), "Text");
    const int streamIndex = static_cast<int>(text - info->outputNames.begin());

    std::vector<double> oursMs;
    long long bytes = 0;
    size_t samples = 0;
    for (int run = 0; run < 15; ++run) {
        const long long before = ReadChars();
        QElapsedTimer timer;
        timer.start();
        const auto opened = ProbeRecording(path);
        const auto pulled = ReadTelemetrySamples(path, 1024);
        std::vector<TelemetrySampleBytes> copies;
        for (const RawTelemetrySample& s : pulled.value_or(std::vector<RawTelemetrySample> {})) {
            TelemetrySampleBytes c;
            c.timeMs = static_cast<uint32_t>(s.timeMs);
            for (uint8_t b : s.bytes)
                c.bytes.push_back(static_cast<std::byte>(b));
            copies.push_back(std::move(c));
        }
        CTextData store;
        LoadTelemetry(store, copies, static_cast<uint32_t>(opened ? opened->durationMs : 0));
        oursMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        bytes = ReadChars() - before;
        samples = copies.size();
    }
    std::vector<double> ffmpegMs;
    for (int run = 0; run < 5; ++run) {
        double ms = 0;
        RunProgram("ffmpeg",
            { "-v", "error", "-i", QString::fromStdString(path), "-map",
                QString("0:%1").arg(streamIndex), "-c", "copy", "-f", "data", "-" },
            &ms);
        ffmpegMs.push_back(ms);
    }
    const double ours = Median(oursMs);
    const double theirs = Median(ffmpegMs);
    std::printf("telemetry load: %zu samples; open+pull+parse %.2f ms (median of 15), "
                "ffmpeg -c copy -f data %.1f ms (median of 5): %.1fx faster (target >= 20x); "
                "read %lld bytes (target < 1 MB)\n",
        samples, ours, theirs, theirs / ours, bytes);
}

void PlaybackAtDoubleSpeed(const std::string& path)
{
    BenchWindow front(QSize(633, 354));
    BenchWindow rear(QSize(310, 233));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    if (!player.Open(path)) {
        std::printf("playback: the recording does not open\n");
        return;
    }
    player.SetVolume(50);
    Pump(200);
    const int shownBefore = front.shown + rear.shown;
    const double cpuBefore = CpuSeconds();
    const uint64_t startMs = player.PositionMs();
    player.SetRate(2.0f);
    player.Run();
    Pump(20000);
    const uint64_t endMs = player.PositionMs();
    const double cpu = CpuSeconds() - cpuBefore;
    const int shown = front.shown + rear.shown - shownBefore;
    const double due = 2.0 * static_cast<double>(endMs - startMs) / kFrameMs;
    const bool sound = player.SoundAudible();
    player.Close();

    const double ffmpegCpu = velomira::bench::FfmpegDecodeCpuMedian({ "-ss",
        QString::number(startMs / 1000.0), "-t", QString::number((endMs - startMs) / 1000.0), "-i",
        QString::fromStdString(path), "-map", "0:0", "-map", "0:1" });
    std::printf(
        "playback at 2x for 20 s (%s): media %.1f s; pictures presented %d of %.0f due (%.1f%%); "
        "dropped %lld (target 0); CPU %.2f s against ffmpeg -benchmark -threads 1 decoding the "
        "same two streams %.2f s (median of 3): %.2fx (target <= 1.5x)\n",
        sound ? "with sound" : "no sound device", (endMs - startMs) / 1000.0, shown, due,
        100.0 * shown / due, static_cast<long long>(player.PicturesDropped()), cpu, ffmpegCpu,
        ffmpegCpu > 0 ? cpu / ffmpegCpu : 0);
}

void Seeks(const std::string& path)
{
    BenchWindow front(QSize(633, 354));
    BenchWindow rear(QSize(310, 233));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    if (!player.Open(path)) {
        std::printf("seeks: the recording does not open\n");
        return;
    }
    Pump(300);
    const auto durationMs = static_cast<int>(player.DurationMs());
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> position(0, std::max(0, durationMs - 1000));
    std::vector<double> times;
    int missed = 0;
    for (int i = 0; i < 20; ++i) {
        const int targetMs = position(random);
        const int frame = static_cast<int>(targetMs / kFrameMs + 0.5);
        QElapsedTimer timer;
        timer.start();
        player.SeekMs(targetMs);
        while (!(front.stamp && front.stamp->frameNumber == frame) && timer.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (timer.elapsed() >= 3000)
            ++missed;
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf(
        "seeks: 20 paused seeks to random positions, time until the target's picture is in the "
        "front window: median %.1f ms (target < 150), maximum %.1f ms (target < 250)%s\n",
        Median(times), *std::max_element(times.begin(), times.end()),
        missed > 0 ? " -- SOME NEVER ARRIVED" : "");
}

void Conversion(const std::string& path)
{
    using namespace velomira::ffmpeg;
    const auto source = MediaSource::Open(path);
    if (!source || source->VideoStream(0) < 0) {
        std::printf("conversion: the recording does not open\n");
        return;
    }
    AVStream* stream = source->Context()->streams[source->VideoStream(0)];
    stream->discard = AVDISCARD_DEFAULT;
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    CodecContextPtr decoder(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), stream->codecpar);
    avcodec_open2(decoder.get(), codec, nullptr);
    PacketPtr packet = MakePacket();
    FramePtr frame = MakeFrame();
    bool got = false;
    while (!got && av_read_frame(source->Context(), packet.get()) >= 0) {
        if (packet->stream_index == stream->index
            && avcodec_send_packet(decoder.get(), packet.get()) >= 0)
            got = avcodec_receive_frame(decoder.get(), frame.get()) == 0;
        av_packet_unref(packet.get());
    }
    if (!got) {
        avcodec_send_packet(decoder.get(), nullptr);
        got = avcodec_receive_frame(decoder.get(), frame.get()) == 0;
    }
    if (!got) {
        std::printf("conversion: no picture decodes\n");
        return;
    }
    const QSize panel(633, 354);
    const ViewGeometry zoom1 { panel, QRect(QPoint(0, 0), panel) };
    const ViewGeometry zoom15 { panel * 8, QRect(QPoint(2200, 1200), panel) };
    auto perPicture = [&](const ViewGeometry& geometry) {
        VideoConverter converter;
        QRect part;
        converter.Convert(frame.get(), geometry, &part);
        const int rounds = 200;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i)
            converter.Convert(frame.get(), geometry, &part);
        return static_cast<double>(timer.nsecsElapsed()) / 1e6 / rounds;
    };
    const double one = perPicture(zoom1);
    const double fifteen = perPicture(zoom15);
    std::printf(
        "conversion of a %dx%d picture for a 633x354 panel: zoom level 1 %.3f ms, zoom level 15 "
        "(8x, only the visible part) %.3f ms: ratio %.2f (target within 20%%)\n",
        frame->width, frame->height, one, fifteen, fifteen / one);
}

} // namespace

int main(int argc, char** argv)
{
    std::string recording;
    std::string folder = "/tmp/velomira-bench-playback";
    std::string only; // one figure only, e.g. for a profiler
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--recording" && i + 1 < argc) {
            recording = argv[++i];
        } else if (arg == "--dir" && i + 1 < argc) {
            folder = argv[++i];
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::printf(
                "Usage: velomira-bench-playback [--recording REC.mp4] [--dir FOLDER]\n"
                "                               [--only telemetry|conversion|seeks|playback]\n\n"
                "Without --recording, makes FOLDER/full.mp4 (60 s, front 1920x1080, rear "
                "1280x720, 30 fps, AAC)\nwith velomira-mkcard once, then measures telemetry "
                "load, playback at 2x, seeks and conversion.\nStart a sound server (as "
                "scripts/test does) to include the sound in the playback figure.\n");
            return arg == "--help" ? 0 : 2;
        }
    }
    if (recording.empty()) {
        recording = velomira::bench::EnsureBenchRecording(folder);
        if (recording.empty())
            return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const auto wanted = [&](const char* name) { return only.empty() || only == name; };
    if (wanted("telemetry"))
        TelemetryLoad(recording);
    if (wanted("conversion"))
        Conversion(recording);
    if (wanted("seeks"))
        Seeks(recording);
    if (wanted("playback"))
        PlaybackAtDoubleSpeed(recording);
    return 0;
}
