// velomira-bench-telemetry: the cost of the telemetry displays against the cost of
// converting one 1920x1080 front picture for its 640x360 panel, measured in the same run.
//   - one tick's panel: strip, text lines, speedometer and compass composed from the
//     store and painted, and the SMART box updated and painted;
//   - opening the graph window on a 2000-sample recording (its first paint, in each
//     mode), against ten conversions.
// Run by hand: build/bench/telemetry/velomira-bench-telemetry [--rounds N]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QWidget>

#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/PictureSlot.h"
#include "playback/ffmpeg/VideoConverter.h"
#include "skin/CBitmapButton.h"
#include "telemetry/CGraphDlg.h"
#include "telemetry/CTextData.h"
#include "telemetry/SmartBox.h"
#include "telemetry/TelemetryPanel.h"

extern "C" {
#include <libavutil/frame.h>
}

namespace {

using namespace velomira;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds per call of `work`, median over `rounds` batches of `perBatch` calls.
template<typename Work>
double Measure(int rounds, int perBatch, Work work)
{
    work();
    std::vector<double> ms;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < perBatch; ++i)
            work();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6 / perBatch);
    }
    return Median(ms);
}

// A 1920x1080 YUV 4:2:0 picture with a moving pattern, as the front camera's decoder
// hands it out.
ffmpeg::FramePtr FrontPicture()
{
    ffmpeg::FramePtr frame = ffmpeg::MakeFrame();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = 1920;
    frame->height = 1080;
    av_frame_get_buffer(frame.get(), 32);
    for (int plane = 0; plane < 3; ++plane) {
        const int h = plane == 0 ? 1080 : 540;
        const int w = plane == 0 ? 1920 : 960;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                frame->data[plane][y * frame->linesize[plane] + x]
                    = static_cast<uint8_t>((x * (plane + 1) + y * 3) & 0xFF);
        }
    }
    return frame;
}

std::vector<std::byte> SampleBytes(int i)
{
    std::vector<std::byte> out(41);
    out[0] = std::byte { 'M' };
    for (int k = 0; k < 6; ++k) {
        const auto raw = static_cast<std::uint16_t>(
            2048 + static_cast<int>(900 * std::sin(i * 0.05 + k)) - (k >= 3 ? 2048 : 0));
        out[1 + 2 * k] = static_cast<std::byte>(raw & 0xFF);
        out[2 + 2 * k] = static_cast<std::byte>(raw >> 8);
    }
    out[13] = std::byte { 1 };
    out[16] = std::byte { 12 };
    out[17] = static_cast<std::byte>((i / 600) % 60);
    out[18] = static_cast<std::byte>((i / 10) % 60);
    const int speed = 60 + (i / 20) % 80;
    out[19] = static_cast<std::byte>(speed);
    out[27] = std::byte { 1 }; // left lane
    out[29] = std::byte { 1 }; // right lane
    return out;
}

// 2000 samples and one RMC line a second over 200 seconds.
void FillStore(CTextData& store, std::uint32_t durationMs)
{
    std::vector<TelemetrySampleBytes> samples;
    for (int i = 0; i < 2000; ++i)
        samples.push_back({ SampleBytes(i), static_cast<std::uint32_t>(i * 100) });
    for (std::uint32_t s = 0; s < durationMs / 1000; ++s) {
        char line[128];
        std::snprintf(line, sizeof line,
            "$GPRMC,120000.000,A,%09.4f,N,%010.4f,E,%.1f,0.0,150312,,,A", 3733.0 + s * 0.01,
            12700.0 + s * 0.02, 30.0 + s % 20);
        TelemetrySampleBytes rmc;
        rmc.timeMs = s * 1000;
        for (const char* c = line; *c != 0; ++c)
            rmc.bytes.push_back(static_cast<std::byte>(*c));
        samples.push_back(std::move(rmc));
    }
    LoadTelemetry(store, samples, durationMs);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
        qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    int rounds = 15;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else {
            std::printf("usage: velomira-bench-telemetry [--rounds N]\n");
            return 2;
        }
    }

    // Baseline: one front picture converted for the 640x360 panel.
    const ffmpeg::FramePtr picture = FrontPicture();
    ffmpeg::VideoConverter converter;
    const ViewGeometry panelGeometry { QSize(640, 360), QRect(0, 0, 640, 360) };
    const double conversionMs = Measure(rounds, 20, [&] {
        QRect part;
        converter.Convert(picture.get(), panelGeometry, &part);
    });

    const std::uint32_t durationMs = 200000;
    CTextData store;
    FillStore(store, durationMs);

    // One tick's panel: compose the three drawings and the SMART box, then paint what a
    // paint event paints.
    QWidget window;
    window.resize(1020, 720);
    TelemetryPanel panel(window, store,
        { [] { return 0; }, [] { return 0; }, [] { return std::string("2024-03-15"); } });
    CBitmapButton smartButton(&window);
    smartButton.setGeometry(17, 495, 180, 165);
    smartButton.SetImages(448, 448, 448);
    SmartBox smart(smartButton, store, [] { return 0; });
    QImage target(1020, 720, QImage::Format_RGB32);
    std::uint32_t position = 0;
    std::vector<double> tickMs(3);
    for (int mode = 0; mode < 3; ++mode) {
        panel.SetStripMode(mode);
        tickMs[static_cast<std::size_t>(mode)] = Measure(rounds, 20, [&] {
            position = (position + 200) % durationMs;
            panel.DrawStripGraph(position, durationMs);
            panel.DrawTelemetryText(position, durationMs);
            panel.DrawGaugeAndCompass(position, durationMs);
            smart.UpdateSmartBox(position, durationMs);
            QPainter painter(&target);
            panel.Paint(painter);
            painter.end();
            smartButton.render(&target, QPoint(17, 495));
        });
    }

    // Opening the graph window: construction and its first paint, in each mode.
    std::vector<double> graphMs(3);
    QImage graphTarget(990, 600, QImage::Format_RGB32);
    for (int mode = 0; mode < 3; ++mode) {
        graphMs[static_cast<std::size_t>(mode)] = Measure(rounds, 3, [&] {
            CGraphDlg dialog(store, { [] { return 200000u; }, 0, 0 });
            for (int m = 0; m < mode; ++m)
                dialog.OnChangeGraph();
            dialog.render(&graphTarget);
        });
    }

    std::printf("baseline: converting one 1920x1080 picture for the 640x360 panel: %.3f ms (median "
                "of %d)\n",
        conversionMs, rounds);
    const char* modes[] = { "first triple", "second triple", "speed" };
    for (int mode = 0; mode < 3; ++mode) {
        const double t = tickMs[static_cast<std::size_t>(mode)];
        std::printf("one tick's panel, strip %-13s: %.3f ms = %.2f x one conversion (target < 1)\n",
            modes[mode], t, t / conversionMs);
    }
    for (int mode = 0; mode < 3; ++mode) {
        const double t = graphMs[static_cast<std::size_t>(mode)];
        std::printf("graph window, 2000 samples, mode %d   : %.3f ms = %.2f x ten conversions "
                    "(target < 1)\n",
            mode, t, t / (10 * conversionMs));
    }
    return 0;
}
