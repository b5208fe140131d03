// velomira-bench-window-cpu: the CPU of the whole viewer (its process and every process it
// starts, the web engine's among them) while it plays the demo card under Xvfb, against two
// mpv processes (`--vo=x11 --hwdec=no`) playing the same recording's front stream with
// sound and its rear stream in windows of the panels' sizes on the same display. Rounds
// alternate viewer and mpv; the figures are medians, printed with their ratio.
//
//   velomira-bench-window-cpu [--rounds N] [--seconds S] [--card DIR] [--only windowed|full]
//                             [--shots DIR] [--baseline VIEWER] [--threads]
//
// Cases: the windowed layout at 1x and 2x on a bare Xvfb 1920x1080, the full-screen layout
// at 1x and 2x under openbox, and the viewer paused (CPU share of one core). The card
// defaults to build/demo-card (scripts/run makes it). A private PulseAudio null sink gives
// both players a sound device; a local stub serves the map pages, so nothing reaches the
// network. The Xvfb server's own CPU is printed beside each figure: it is the same display
// for both, and not part of either.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QTcpServer>
#include <QTemporaryDir>

#include "app/ScreenLayout.h"
#include "bench/support/FfmpegDecodeCpu.h"

namespace {

using namespace std::chrono_literals;

const double kTicksPerSecond = static_cast<double>(sysconf(_SC_CLK_TCK));

// CPU seconds (user + system) in a /proc stat line, with the parent's pid.
std::optional<double> StatCpuSeconds(const std::string& text, int* parent = nullptr)
{
    // The command name may hold spaces: the fields that follow start after its ')'.
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    std::vector<std::string> values;
    while (fields >> field)
        values.push_back(field);
    if (values.size() < 13)
        return std::nullopt;
    if (parent != nullptr)
        *parent = std::stoi(values[1]);
    return (std::stod(values[11]) + std::stod(values[12])) / kTicksPerSecond;
}

// CPU seconds (user + system) of one process, or nothing when it is gone.
std::optional<double> ProcessCpuSeconds(int pid, int* parent = nullptr)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(in, text))
        return std::nullopt;
    return StatCpuSeconds(text, parent);
}

// CPU seconds of every live process below (and including) each of `roots`, by pid.
std::map<int, double> TreeCpu(const std::vector<int>& roots)
{
    std::map<int, int> parents;
    std::map<int, double> cpu;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const int pid = entry.toInt(&number);
        int parent = 0;
        if (!number)
            continue;
        if (const auto seconds = ProcessCpuSeconds(pid, &parent)) {
            parents[pid] = parent;
            cpu[pid] = *seconds;
        }
    }
    std::map<int, double> tree;
    for (const auto& [pid, seconds] : cpu) {
        for (int p = pid; p > 1 && parents.count(p) != 0; p = parents[p]) {
            if (std::find(roots.begin(), roots.end(), p) != roots.end()) {
                tree[pid] = seconds;
                break;
            }
        }
    }
    return tree;
}

// CPU seconds the process trees of `roots` spend in `window` of wall time.
double CpuOver(const std::vector<int>& roots, std::chrono::milliseconds window)
{
    const auto before = TreeCpu(roots);
    std::this_thread::sleep_for(window);
    const auto after = TreeCpu(roots);
    double total = 0;
    for (const auto& [pid, seconds] : after) {
        const auto it = before.find(pid);
        total += seconds - (it == before.end() ? 0.0 : it->second);
    }
    return total;
}

// The command name in a /proc stat line: between the first '(' and the last ')'.
std::string CommandName(const std::string& stat)
{
    const auto open = stat.find('('), close = stat.rfind(')');
    return open != std::string::npos && close != std::string::npos && close > open
        ? stat.substr(open + 1, close - open - 1)
        : std::string();
}

struct ThreadCpuSeconds {
    std::string name; // "process/thread"
    double seconds = 0;
};

// CPU seconds of every thread of the process trees of `roots`, by thread id, so that a
// profile shows where the CPU goes.
std::map<int, ThreadCpuSeconds> ThreadCpu(const std::vector<int>& roots)
{
    std::map<int, ThreadCpuSeconds> threads;
    for (const auto& [pid, total] : TreeCpu(roots)) {
        std::ifstream process("/proc/" + std::to_string(pid) + "/stat");
        std::string processStat;
        std::getline(process, processStat);
        const std::string processName = CommandName(processStat);
        const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            std::ifstream in((tasks + "/" + task + "/stat").toStdString());
            std::string stat;
            if (!std::getline(in, stat))
                continue;
            if (const auto seconds = StatCpuSeconds(stat))
                threads[task.toInt()] = { processName + "/" + CommandName(stat), *seconds };
        }
    }
    return threads;
}

bool g_threads = false; // print the viewer's CPU by thread for each measurement

// The median of the figures measured; a failed measurement (negative) does not count.
double Median(std::vector<double> values)
{
    values.erase(
        std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

// Runs a short helper program and returns its standard output.
QString Output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

void Stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

int FreePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

struct Options {
    int rounds = 3;
    int seconds = 7;
    QString card;
    QString only;
    QString shots; // folder for a screenshot of each case, empty: none
    QString baseline; // another build's viewer, measured in the same rounds
};

QString g_shots;

// Saves the whole display as NAME.png in the screenshot folder, when one was given.
void Screenshot(const QProcessEnvironment& env, const QString& name)
{
    if (g_shots.isEmpty())
        return;
    QProcess import;
    import.setProcessEnvironment(env);
    import.start("import", { "-window", "root", g_shots + "/" + name + ".png" });
    import.waitForFinished(20000);
}

// The environment the players share: display, sound server, map stub.
class Stage {
public:
    Stage(const QString& buildDir, const QString& sourceDir, bool windowManager)
    {
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        m_env.insert("XDG_CACHE_HOME", m_runtime.path() + "/cache");
        m_env.insert("XDG_CONFIG_HOME", m_runtime.path() + "/config");
        m_env.insert("HOME", m_runtime.path());

        const QString display = QStringLiteral(":%1").arg(150 + getpid() % 80);
        m_env.insert("DISPLAY", display);
        m_xvfb.setProcessEnvironment(m_env);
        m_xvfb.start("Xvfb", { display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp" });
        m_xvfb.waitForStarted(10000);
        for (int i = 0; i < 100 && !DisplayReady(); ++i)
            std::this_thread::sleep_for(100ms);

        m_pulse.setProcessEnvironment(m_env);
        m_pulse.start("pulseaudio",
            { "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "-L",
                "module-null-sink", "-L",
                "module-native-protocol-unix socket=" + m_runtime.path() + "/pulse-native" });
        for (int i = 0; i < 50 && !QFileInfo::exists(m_runtime.path() + "/pulse-native"); ++i)
            std::this_thread::sleep_for(100ms);
        m_env.insert("PULSE_SERVER", "unix:" + m_runtime.path() + "/pulse-native");

        const int port = FreePort();
        m_maps.start(
            "python3", { sourceDir + "/tests/map/stub-map-server.py", QString::number(port) });
        m_env.insert("VELOMIRA_MAPS_API_BASE", QStringLiteral("http://127.0.0.1:%1").arg(port));
        m_env.insert("VELOMIRA_TILE_URL",
            QStringLiteral("http://127.0.0.1:%1/tiles/{z}/{x}/{y}.png").arg(port));
        m_env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        m_env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");

        if (windowManager) {
            m_wm.setProcessEnvironment(m_env);
            m_wm.start("openbox", {});
            std::this_thread::sleep_for(1s);
        }
        m_buildDir = buildDir;
    }
    ~Stage()
    {
        Stop(m_wm);
        Stop(m_maps);
        Stop(m_pulse);
        Stop(m_xvfb);
    }
    const QProcessEnvironment& env() const { return m_env; }
    int xvfbPid() const { return static_cast<int>(m_xvfb.processId()); }
    bool ok() const { return m_xvfb.state() == QProcess::Running; }
    QString runtime() const { return m_runtime.path(); }

    QString Xdotool(const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.start("xdotool", arguments);
        process.waitForFinished(10000);
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

private:
    bool DisplayReady()
    {
        QProcess probe;
        probe.setProcessEnvironment(m_env);
        probe.start("xdpyinfo", {});
        return probe.waitForFinished(5000) && probe.exitCode() == 0;
    }

    QTemporaryDir m_runtime;
    QProcessEnvironment m_env;
    QProcess m_xvfb, m_pulse, m_maps, m_wm;
    QString m_buildDir;
};

struct Figures {
    double cpu = -1; // CPU seconds of the player in the window
    double xvfb = 0; // CPU seconds of the X server in the same window
};

// The window of `pid` with the given size, once it is shown.
QString FindWindow(const Stage& stage, qint64 pid, const QString& size)
{
    for (int i = 0; i < 400; ++i) {
        const QStringList windows
            = stage.Xdotool({ "search", "--onlyvisible", "--pid", QString::number(pid) })
                  .split('\n', Qt::SkipEmptyParts);
        for (const QString& w : windows) {
            if (stage.Xdotool({ "getwindowgeometry", w }).contains("Geometry: " + size))
                return w;
        }
        std::this_thread::sleep_for(100ms);
    }
    return {};
}

QSize WindowSize(const Stage& stage, const QString& window)
{
    const QString text = stage.Xdotool({ "getwindowgeometry", window });
    const auto at = text.indexOf("Geometry: ");
    if (at < 0)
        return {};
    const QStringList wh = text.mid(at + 10).split('x');
    return wh.size() == 2 ? QSize(wh[0].toInt(), wh[1].trimmed().toInt()) : QSize();
}

void Click(const Stage& stage, const QString& window, QPoint point)
{
    stage.Xdotool({ "mousemove", "--window", window, QString::number(point.x()),
        QString::number(point.y()), "click", "1" });
    // Off the buttons, so no tooltip stays over the pictures.
    stage.Xdotool({ "mousemove", "--window", window, "500", "12" });
}

enum class Case { Play, Paused };

// Plays the card in the viewer and measures it; `fullSize` receives the client size of
// the full-screen window when `fullScreen`.
Figures MeasureViewer(const Stage& stage, const QString& viewer, const QString& card,
    bool fullScreen, int speed, Case what, int seconds, QSize* fullSize = nullptr)
{
    QProcess process;
    QProcessEnvironment env = stage.env();
    env.insert("VELOMIRA_DRIVES", "E=" + card);
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    const QString log = stage.runtime() + "/viewer.log";
    process.setStandardErrorFile(log);
    process.start(viewer, {});
    process.waitForStarted(10000);
    Figures figures;
    const QString window = FindWindow(stage, process.processId(), "1020x720");
    if (window.isEmpty()) {
        QFile file(log);
        file.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "the viewer's main window did not show; its messages:\n%s\n",
            file.readAll().right(2000).constData());
        Stop(process);
        return figures;
    }
    std::this_thread::sleep_for(1s);
    Click(stage, window, QPoint(80, 693)); // SDOPEN
    std::this_thread::sleep_for(1500ms);
    QSize client(1020, 720);
    if (fullScreen) {
        Click(stage, window, QPoint(976, 13)); // the full-screen button
        for (int i = 0; i < 50 && WindowSize(stage, window).width() < 1500; ++i)
            std::this_thread::sleep_for(100ms);
        std::this_thread::sleep_for(500ms);
        client = WindowSize(stage, window);
        if (fullSize != nullptr)
            *fullSize = client;
    }
    if (speed == 2) {
        const QPoint button
            = fullScreen ? QPoint(25 + 45 * 4 + 20, client.height() - 50 + 20) : QPoint(880, 316);
        Click(stage, window, button);
    }
    if (what == Case::Paused) {
        const QPoint play
            = fullScreen ? QPoint(25 + 45 * 2 + 20, client.height() - 50 + 20) : QPoint(790, 316);
        Click(stage, window, play);
    }
    std::this_thread::sleep_for(1500ms);
    const auto window_ms = std::chrono::milliseconds(seconds * 1000);
    const auto before = ProcessCpuSeconds(stage.xvfbPid());
    const std::vector<int> roots = { static_cast<int>(process.processId()) };
    const auto threadsBefore = g_threads ? ThreadCpu(roots) : std::map<int, ThreadCpuSeconds>();
    figures.cpu = CpuOver(roots, window_ms);
    const auto after = ProcessCpuSeconds(stage.xvfbPid());
    figures.xvfb = before && after ? *after - *before : 0;
    if (g_threads) {
        // Threads that started during the window count from zero, those that ended are
        // missing; summed by name, per 10 s, largest first.
        std::map<std::string, double> byName;
        for (const auto& [tid, thread] : ThreadCpu(roots)) {
            const auto it = threadsBefore.find(tid);
            byName[thread.name]
                += (thread.seconds - (it == threadsBefore.end() ? 0.0 : it->second.seconds)) * 10.0
                / seconds;
        }
        std::vector<std::pair<double, std::string>> spent;
        for (const auto& [name, cpu] : byName)
            spent.emplace_back(cpu, name);
        std::sort(spent.rbegin(), spent.rend());
        for (const auto& [seconds, name] : spent) {
            if (seconds >= 0.005)
                std::printf("    %6.3f s  %s\n", seconds, name.c_str());
        }
    }
    if (process.state() != QProcess::Running) {
        std::fprintf(stderr, "the viewer ended during the measurement\n");
        figures.cpu = -1;
    }
    Screenshot(stage.env(),
        QStringLiteral("viewer-%1-%2-%3")
            .arg(fullScreen ? "full" : "windowed")
            .arg(what == Case::Paused ? QStringLiteral("paused") : QStringLiteral("%1x").arg(speed))
            .arg(seconds));
    Stop(process);
    return figures;
}

Figures MeasureMpv(
    const Stage& stage, const QString& recording, QSize front, QSize rear, int speed, int seconds)
{
    const auto start = [&](QProcess& p, int stream, QSize size, QPoint at, bool sound) {
        QStringList arguments = { "--no-config", "--vo=x11", "--hwdec=no", "--really-quiet",
            "--no-keepaspect", "--no-keepaspect-window", "--no-osc",
            QStringLiteral("--geometry=%1x%2+%3+%4")
                .arg(size.width())
                .arg(size.height())
                .arg(at.x())
                .arg(at.y()),
            QStringLiteral("--vid=%1").arg(stream), QStringLiteral("--speed=%1").arg(speed) };
        arguments << (sound ? QStringLiteral("--ao=pulse") : QStringLiteral("--no-audio"));
        arguments << recording;
        p.setProcessEnvironment(stage.env());
        p.setStandardOutputFile(QProcess::nullDevice());
        p.setStandardErrorFile(QProcess::nullDevice());
        p.start("mpv", arguments);
        p.waitForStarted(10000);
    };
    QProcess frontPlayer, rearPlayer;
    start(frontPlayer, 1, front, QPoint(40, 60), true);
    start(rearPlayer, 2, rear, QPoint(front.width() + 60, 60), false);
    std::this_thread::sleep_for(3s);
    Figures figures;
    const auto before = ProcessCpuSeconds(stage.xvfbPid());
    figures.cpu = CpuOver(
        { static_cast<int>(frontPlayer.processId()), static_cast<int>(rearPlayer.processId()) },
        std::chrono::milliseconds(seconds * 1000));
    const auto after = ProcessCpuSeconds(stage.xvfbPid());
    figures.xvfb = before && after ? *after - *before : 0;
    if (frontPlayer.state() != QProcess::Running || rearPlayer.state() != QProcess::Running) {
        std::fprintf(stderr, "mpv ended during the measurement\n");
        figures.cpu = -1;
    }
    Screenshot(stage.env(),
        QStringLiteral("mpv-%1x%2-%3x").arg(front.width()).arg(front.height()).arg(speed));
    Stop(frontPlayer);
    Stop(rearPlayer);
    return figures;
}

// The recording the viewer plays first after SDOPEN: the first entry of the card's list.
QString FirstRecording(const QString& buildDir, const QString& card)
{
    const QString json
        = Output(buildDir + "/cli/velomira-card", { "scan", card, "--show", "all", "--json" });
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    QJsonArray entries
        = document.isArray() ? document.array() : document.object().value("entries").toArray();
    if (entries.isEmpty())
        return {};
    const QJsonObject first = entries.first().toObject();
    for (const char* key : { "path", "file", "fullPath" }) {
        if (first.contains(key))
            return first.value(key).toString();
    }
    return {};
}

struct Row {
    std::vector<double> viewer, mpv, viewerX, mpvX, baseline, decoders;
};

// Rounds of the viewer, mpv and (when given) the baseline viewer, the order rotated each
// round so that a drift in the machine's load hits all of them; each round ends with the
// reference decoders' run over the same media (`decoders`, when given).
Row MeasureRounds(int rounds, const std::function<Figures()>& viewer,
    const std::function<Figures()>& mpv, const std::function<Figures()>& baseline,
    const std::function<double()>& decoders)
{
    Row row;
    const int contestants = baseline ? 3 : 2;
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < contestants; ++turn) {
            switch ((turn + round) % contestants) {
            case 0: {
                const Figures f = viewer();
                row.viewer.push_back(f.cpu);
                row.viewerX.push_back(f.xvfb);
                break;
            }
            case 1: {
                const Figures f = mpv();
                row.mpv.push_back(f.cpu);
                row.mpvX.push_back(f.xvfb);
                break;
            }
            default:
                row.baseline.push_back(baseline().cpu);
                break;
            }
        }
        if (decoders)
            row.decoders.push_back(decoders());
    }
    return row;
}

// The rounds' own ratios: each round's viewer and mpv ran one after the other, so a drift
// of the machine between rounds cancels out of them.
std::vector<double> RoundRatios(const std::vector<double>& ours, const std::vector<double>& mpv)
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(ours.size(), mpv.size()); ++i) {
        if (ours[i] >= 0 && mpv[i] > 0)
            ratios.push_back(ours[i] / mpv[i]);
    }
    return ratios;
}

void Print(const char* name, const Row& row, int seconds, double goal)
{
    const double v = Median(row.viewer), m = Median(row.mpv);
    const auto failed = std::count_if(row.viewer.begin(), row.viewer.end(), [](double x) {
        return x < 0;
    }) + std::count_if(row.mpv.begin(), row.mpv.end(), [](double x) { return x < 0; });
    if (failed > 0)
        std::printf("(%d measurements failed and are left out)\n", static_cast<int>(failed));
    const double scale = 10.0 / seconds; // CPU seconds per 10 s of playing
    std::printf("%-22s viewer %5.2f s  mpv x2 %5.2f s  ratio %.2f (goal <= %.2f)  "
                "[Xvfb: %4.2f / %4.2f s]\n",
        name, v * scale, m * scale, m > 0 ? v / m : 0, goal, Median(row.viewerX) * scale,
        Median(row.mpvX) * scale);
    const std::vector<double> ratios = RoundRatios(row.viewer, row.mpv);
    std::string each;
    for (const double ratio : ratios)
        each += QString::asprintf(" %.2f", ratio).toStdString();
    std::printf("%-22s ratio per round:%s (median %.2f)\n", "", each.c_str(), Median(ratios));
    const std::vector<double> decoders = RoundRatios(row.decoders, row.mpv);
    if (!decoders.empty())
        std::printf("%-22s decoders alone (ffmpeg -threads 1, both pictures and the sound) "
                    "%4.2f s = %.2f of mpv (median of the rounds' ratios)\n",
            "", Median(row.decoders) * scale, Median(decoders));
    if (!row.baseline.empty()) {
        const double b = Median(row.baseline);
        std::printf(
            "%-22s baseline %5.2f s  ratio to mpv %.2f\n", "", b * scale, m > 0 ? b / m : 0);
    }
}

// The recording's length in seconds, 0 when ffprobe gives none.
double DurationSeconds(const QString& recording)
{
    return Output("ffprobe",
        { "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", recording })
        .trimmed()
        .toDouble();
}

// The CPU the reference decoder spends on `mediaSeconds` of the recording (`duration`
// long) from its start, decoding both pictures and the sound: the part of either player's
// figure that no presentation can save. Scaled up when the recording is shorter; -1 when
// ffmpeg gave no figure.
double DecodersCpu(const QString& recording, double duration, double mediaSeconds)
{
    const double decoded = std::min(duration, mediaSeconds);
    if (decoded <= 0)
        return -1;
    const auto cpu = velomira::bench::FfmpegDecodeCpuSeconds({ "-t", QString::number(decoded), "-i",
        recording, "-map", "0:v:0", "-map", "0:v:1", "-map", "0:a:0?" });
    return cpu ? *cpu * mediaSeconds / decoded : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == "--rounds")
            options.rounds = std::max(1, next.toInt()), ++i;
        else if (a == "--seconds")
            options.seconds = std::max(2, next.toInt()), ++i;
        else if (a == "--card")
            options.card = next, ++i;
        else if (a == "--only")
            options.only = next, ++i;
        else if (a == "--shots")
            options.shots = next, ++i;
        else if (a == "--baseline")
            options.baseline = next, ++i;
        else if (a == "--threads")
            g_threads = true;
        else {
            std::printf("usage: velomira-bench-window-cpu [--rounds N] [--seconds S] [--card DIR]"
                        " [--only windowed|full] [--shots DIR] [--baseline VIEWER] [--threads]\n");
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    // This program lives in BUILD/bench/window-cpu.
    const QString buildDir = QDir(app.applicationDirPath() + "/../..").canonicalPath();
    const QString sourceDir = QStringLiteral(VELOMIRA_SOURCE_DIR);
    if (options.card.isEmpty())
        options.card = buildDir + "/demo-card";
    const QString viewer = buildDir + "/app/velomira-viewer";
    g_shots = options.shots;
    const QString recording = FirstRecording(buildDir, options.card);
    if (recording.isEmpty()) {
        std::fprintf(stderr, "no recording on %s (scripts/run makes the demo card)\n",
            qPrintable(options.card));
        return 1;
    }
    std::printf("recording %s, %d rounds of %d s, CPU seconds per 10 s of playing, medians\n",
        qPrintable(QFileInfo(recording).fileName()), options.rounds, options.seconds);
    std::printf("load before: %s\n", LoadAverage().c_str());
    std::fflush(stdout);

    const double duration = DurationSeconds(recording);
    const QSize windowedFront = velomira::kLargeSlot.size();
    const QSize windowedRear = velomira::kSmallSlot.size();
    int exitCode = 0;

    if (options.only.isEmpty() || options.only == "windowed") {
        Stage stage(buildDir, sourceDir, false);
        if (!stage.ok()) {
            std::fprintf(stderr, "Xvfb did not start\n");
            return 1;
        }
        for (const int speed : { 1, 2 }) {
            const auto viewerRun = [&](const QString& program) {
                return [&, program] {
                    return MeasureViewer(
                        stage, program, options.card, false, speed, Case::Play, options.seconds);
                };
            };
            const Row row = MeasureRounds(
                options.rounds, viewerRun(viewer),
                [&] {
                    return MeasureMpv(
                        stage, recording, windowedFront, windowedRear, speed, options.seconds);
                },
                options.baseline.isEmpty() ? std::function<Figures()>()
                                           : viewerRun(options.baseline),
                [&] { return DecodersCpu(recording, duration, options.seconds * speed); });
            Print(speed == 1 ? "windowed 1x" : "windowed 2x", row, options.seconds, 0.5);
            std::fflush(stdout);
        }
        std::vector<double> paused, baselinePaused;
        for (int round = 0; round < options.rounds; ++round) {
            paused.push_back(
                MeasureViewer(stage, viewer, options.card, false, 1, Case::Paused, options.seconds)
                    .cpu);
            if (!options.baseline.isEmpty())
                baselinePaused.push_back(MeasureViewer(
                    stage, options.baseline, options.card, false, 1, Case::Paused, options.seconds)
                                             .cpu);
        }
        std::printf("windowed paused        viewer %.2f%% of one core (goal < 2%%)\n",
            100.0 * Median(paused) / options.seconds);
        if (!baselinePaused.empty())
            std::printf("                       baseline %.2f%% of one core\n",
                100.0 * Median(baselinePaused) / options.seconds);
        std::fflush(stdout);
    }

    if (options.only.isEmpty() || options.only == "full") {
        Stage stage(buildDir, sourceDir, true);
        if (!stage.ok()) {
            std::fprintf(stderr, "Xvfb did not start\n");
            return 1;
        }
        // The panels' sizes follow the window the window manager gives the viewer.
        QSize client;
        MeasureViewer(stage, viewer, options.card, true, 1, Case::Play, 2, &client);
        if (!client.isValid()) {
            std::fprintf(stderr, "the full-screen window was not found\n");
            return 1;
        }
        const velomira::Arrangement arrangement = velomira::ArrangePanels(
            velomira::kFullScreen, velomira::kLarge, velomira::kSmall, true, client);
        const QSize front = arrangement.front.rect.value_or(QRect()).size();
        // The rear panel is hidden in full screen; its mpv plays at the small slot's size.
        const QSize rear = windowedRear;
        std::printf("full screen: client %dx%d, front panel %dx%d, rear mpv %dx%d\n",
            client.width(), client.height(), front.width(), front.height(), rear.width(),
            rear.height());
        for (const int speed : { 1, 2 }) {
            const auto viewerRun = [&](const QString& program) {
                return [&, program] {
                    return MeasureViewer(
                        stage, program, options.card, true, speed, Case::Play, options.seconds);
                };
            };
            const Row row = MeasureRounds(
                options.rounds, viewerRun(viewer),
                [&] { return MeasureMpv(stage, recording, front, rear, speed, options.seconds); },
                options.baseline.isEmpty() ? std::function<Figures()>()
                                           : viewerRun(options.baseline),
                [&] { return DecodersCpu(recording, duration, options.seconds * speed); });
            Print(speed == 1 ? "full screen 1x" : "full screen 2x", row, options.seconds, 0.7);
            std::fflush(stdout);
        }
    }
    std::printf("load after: %s\n", LoadAverage().c_str());
    return exitCode;
}
