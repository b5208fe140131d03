// velomira-bench-map-startup [RUNS]: how long the viewer takes from the start of its
// process until the main window is shown, with both web map panes made and without any
// web view, each measured RUNS times (5 by default) in fresh processes, alternating, in
// this run; prints the medians and their ratio. Runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise; the map providers point at a closed local port so
// nothing reaches the network, and the web profile's cache lives in a fresh folder.
//
// Each measurement is a child process of this program ("--child with|without"), which
// prints the milliseconds from its main() to the first exposure of the main window.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include "app/CSamplePlayerDlg.h"
#include "app/ViewerSession.h"
#include "map/WebViewSetup.h"

namespace {

using Clock = std::chrono::steady_clock;

int RunChild(int argc, char** argv, bool withMap)
{
    const Clock::time_point start = Clock::now();
    velomira::PrepareWebViews();
    QApplication app(argc, argv);
    velomira::CSamplePlayerDlg window;
    velomira::ViewerSession session(window, nullptr, {}, withMap);
    window.show();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double shownMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("%.1f\n", shownMs);
    std::fflush(stdout);
    return 0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Spawns one child; returns {milliseconds it reported, milliseconds from spawn to the
// report}, or negative values when it failed.
std::pair<double, double> Measure(const QString& program, bool withMap)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer wall;
    wall.start();
    child.start(program,
        { QStringLiteral("--child"),
            withMap ? QStringLiteral("with") : QStringLiteral("without") });
    QByteArray out;
    while (!out.contains('\n') && child.waitForReadyRead(30000))
        out += child.readAllStandardOutput();
    const double spawnToShownMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    child.waitForFinished(30000);
    bool ok = false;
    const double reported = out.trimmed().toDouble(&ok);
    return ok ? std::pair { reported, spawnToShownMs } : std::pair { -1.0, -1.0 };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return RunChild(argc, argv, std::string(argv[2]) == "with");
    if (argc >= 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::printf("usage: velomira-bench-map-startup [RUNS]\n");
        return 0;
    }
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    qputenv("VELOMIRA_MAPS_API_BASE", "http://127.0.0.1:9");
    qputenv("VELOMIRA_TILE_URL", "http://127.0.0.1:9/{z}/{x}/{y}.png");
    qputenv("VELOMIRA_DRIVES", "");

    const QString program = QString::fromLocal8Bit(argv[0]);
    // One warm-up of each, so both start from the same disk cache state.
    Measure(program, true);
    Measure(program, false);
    std::vector<double> withIn, withWall, withoutIn, withoutWall;
    for (int i = 0; i < runs; ++i) {
        const auto without = Measure(program, false);
        const auto with = Measure(program, true);
        if (without.first < 0 || with.first < 0) {
            std::fprintf(stderr, "a child failed to report\n");
            return 1;
        }
        withoutIn.push_back(without.first);
        withoutWall.push_back(without.second);
        withIn.push_back(with.first);
        withWall.push_back(with.second);
    }
    const double a = Median(withoutIn), b = Median(withIn);
    const double c = Median(withoutWall), d = Median(withWall);
    std::printf("main window shown, median of %d runs (platform %s)\n", runs,
        qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  from main():        without web views %7.1f ms, with both map panes %7.1f ms,"
                " ratio %.2f\n",
        a, b, a > 0 ? b / a : 0);
    std::printf("  from process spawn: without web views %7.1f ms, with both map panes %7.1f ms,"
                " ratio %.2f\n",
        c, d, c > 0 ? d / c : 0);
    return 0;
}
