// velomira-bench-trips [CARD [--window-only]]: the trips window and `velomira-card trips` on a card
// of 1,000 one-minute recordings in 40 drives (made with `velomira-mkcard trips` into a fresh
// folder unless CARD names one), each against a baseline measured in this run:
//   - the first trip and all trips on the window's map, against the in-process telemetry
//     loads of the same files one after another (LoadRecordingTelemetry, summed);
//   - `velomira-card trips CARD --json` against `velomira-card telemetry FILE --json` run
//     on each file back to back;
//   - the memory the window with every trip shown adds (this process and its web engine
//     processes, resident), with a map page already loaded as the viewer's map pane has.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; tiles point at a
// closed local port.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include "bench/support/RunQuietly.h"
#include "map/WebViewSetup.h"
#include "map/MapWebProfile.h"
#include "platform/CardPath.h"
#include "playback/RecordingTelemetry.h"
#include "telemetry/CTextData.h"
#include "trips/TrackReading.h"
#include "trips/TripBook.h"
#include "trips/views/CTripsDlg.h"
#include "trips/views/TripsMapView.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using velomira::bench::RunQuietly;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Pump(const std::function<bool()>& done, double timeoutS)
{
    const auto start = Clock::now();
    while (!done() && Seconds(start) < timeoutS)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Resident kilobytes of a process.
long ResidentKb(const std::string& pid)
{
    std::ifstream in("/proc/" + pid + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

// This process and every process below it.
long TreeResidentKb()
{
    std::vector<std::string> tree { std::to_string(getpid()) };
    for (std::size_t i = 0; i < tree.size(); ++i) {
        std::ifstream children("/proc/" + tree[i] + "/task/" + tree[i] + "/children");
        std::string child;
        while (children >> child)
            tree.push_back(child);
    }
    long total = 0;
    for (const std::string& pid : tree)
        total += ResidentKb(pid);
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    qputenv("VELOMIRA_TILE_URL", "http://127.0.0.1:9/{z}/{x}/{y}.png");
    QTemporaryDir scratch;
    qputenv("XDG_CACHE_HOME", scratch.path().toLocal8Bit());
    velomira::PrepareWebViews();
    QApplication app(argc, argv);

    fs::path card = argc > 1 ? fs::path(argv[1]) : fs::path(scratch.path().toStdString()) / "card";
    if (argc <= 1) {
        const auto start = Clock::now();
        if (RunQuietly({ VELOMIRA_MKCARD_PROGRAM, "trips", card.string() }) != 0) {
            std::fprintf(stderr, "velomira-bench-trips: the generator failed\n");
            return 1;
        }
        std::printf("card of 40 x 25 one-minute recordings made in %.1f s\n", Seconds(start));
    }
    const velomira::FixedDriveRoots drives('E', card);
    const auto sources = velomira::CardTripSources("E:", drives);
    std::printf("%zu recordings\n", sources.size());

    // Baseline: the in-process loads one after another.
    auto start = Clock::now();
    for (const auto& source : sources) {
        velomira::CTextData store;
        velomira::LoadRecordingTelemetry(source.file, store);
    }
    const double loadsS = Seconds(start);

    // The window, with a map page already up in the same profile (the viewer's map pane).
    QWebEngineProfile* profile = velomira::CreateMapProfile(&app);
    QWebEngineView pane;
    pane.setPage(new QWebEnginePage(profile, &pane));
    bool paneLoaded = false;
    QObject::connect(&pane, &QWebEngineView::loadFinished, [&](bool) { paneLoaded = true; });
    pane.load(QUrl(QStringLiteral("res:/osm")));
    pane.resize(326, 353);
    pane.show();
    Pump([&] { return paneLoaded; }, 30);
    Pump([] { return false; }, 1);
    const long beforeKb = TreeResidentKb();
    const long beforeSelfKb = ResidentKb(std::to_string(getpid()));

    start = Clock::now();
    double firstS = -1, allS = -1;
    int drawn = 0;
    bool finished = false;
    auto trips = std::make_unique<velomira::CTripsDlg>(profile, velomira::ReadRecordingTrack);
    QObject::connect(trips.get(), &velomira::CTripsDlg::tripDrawn, [&](int n) {
        drawn = n;
        if (n == 1)
            firstS = Seconds(start);
    });
    QObject::connect(trips.get(), &velomira::CTripsDlg::loadFinished, [&] { finished = true; });
    trips->show();
    trips->LoadCard("E:", drives);
    double pageS = -1, readS = -1;
    Pump(
        [&] {
            if (pageS < 0 && trips->mapView()->pageReady())
                pageS = Seconds(start);
            if (readS < 0 && finished)
                readS = Seconds(start);
            return finished && drawn == trips->tripList()->rowCount();
        },
        600);
    allS = Seconds(start);
    Pump([] { return false; }, 1);
    const long afterKb = TreeResidentKb();
    const long afterSelfKb = ResidentKb(std::to_string(getpid()));
    const int tripCount = trips->tripList()->rowCount();
    trips.reset();

    // The command line: trips against telemetry per file.
    const bool windowOnly = argc > 2 && std::string(argv[2]) == "--window-only";
    start = Clock::now();
    RunQuietly({ VELOMIRA_CARD_PROGRAM, "trips", card.string(), "--json" });
    const double tripsCommandS = Seconds(start);
    start = Clock::now();
    for (std::size_t i = 0; i < sources.size() && !windowOnly; ++i)
        RunQuietly({ VELOMIRA_CARD_PROGRAM, "telemetry", sources[i].file, "--json" });
    const double telemetryCommandsS = Seconds(start);

    std::printf("\n%-62s %10s %10s %8s\n", "measure", "value", "baseline", "ratio");
    std::printf("%-62s %9.3fs %9.3fs %8.2f\n", "first trip on the map / sum of in-process loads",
        firstS, loadsS, firstS / loadsS);
    std::printf("%-62s %9.3fs %9.3fs %8.2f\n",
        ("all " + std::to_string(tripCount) + " trips on the map / sum of in-process loads")
            .c_str(),
        allS, loadsS, allS / loadsS);
    std::printf("%-62s %9.3fs %9.3fs %8.3f\n",
        "velomira-card trips / telemetry on each file back to back", tripsCommandS,
        telemetryCommandsS, tripsCommandS / telemetryCommandsS);
    std::printf("%-62s %8ldMB %8ldMB %8.3f\n", "memory with the trips window / before (resident)",
        afterKb / 1024, beforeKb / 1024, static_cast<double>(afterKb) / beforeKb);
    std::printf("the window adds %ld MB (%ld MB in this process, the rest in web engine "
                "processes); the first trip after %.3f s (target 0.5 s), the page loaded after "
                "%.3f s, every track read after %.3f s\n",
        (afterKb - beforeKb) / 1024, (afterSelfKb - beforeSelfKb) / 1024, firstS, pageS, readS);
    return 0;
}
