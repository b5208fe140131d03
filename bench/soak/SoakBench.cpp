// velomira-bench-soak [--count N] [--every MS] [--map on|off] [--folder DIR]
//
// Plays a card of N recordings (default 100) back to back through the whole viewer,
// offscreen, pressing Next every MS milliseconds (default 2500), as a driver skimming a
// card does. Three of four recordings are damaged: bytes flipped, a range zeroed, the file
// cut short, the header overwritten. Prints the viewer's resident memory after the tenth
// recording and after the last, and their difference against the goal of 30 MB.
#include <cstdio>
#include <malloc.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "app/CSamplePlayerDlg.h"
#include "app/ViewerSession.h"
#include "app/commands/Transport.h"
#include "map/WebViewSetup.h"
#include "platform/ProcessExit.h"
#include "playback/MediaPlayer.h"
#include "settings/SettingsRecord.h"
#include "skin/CBitmapButton.h"
#include "texts/MessageBoxService.h"

namespace fs = std::filesystem;

namespace {

constexpr double kGoalMb = 30.0;

double ResidentMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

void Pump(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

bool MakeRecording(const fs::path& path, int seed)
{
    QProcess mkcard;
    mkcard.start(VELOMIRA_MKCARD_PROGRAM,
        { "recording", QString::fromStdString(path.string()), "--duration", "6", "--front",
            "1920x1080", "--rear", "1280x720", "--seed", QString::number(seed) });
    mkcard.waitForFinished(-1);
    return mkcard.exitStatus() == QProcess::NormalExit && mkcard.exitCode() == 0;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

// A damaged copy of `bytes`; `kind` 0 leaves it whole.
std::string Damage(std::string bytes, int kind, std::mt19937& random)
{
    if (bytes.empty())
        return bytes;
    std::uniform_int_distribution<std::size_t> anywhere(0, bytes.size() - 1);
    switch (kind) {
    case 1: // bytes flipped all over
        for (int i = 0; i < 400; ++i)
            bytes[anywhere(random)] ^= static_cast<char>(1 + random() % 255);
        break;
    case 2: { // a range zeroed
        const std::size_t from = anywhere(random);
        const std::size_t length = std::min<std::size_t>(256 * 1024, bytes.size() - from);
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), length, '\0');
        break;
    }
    case 3: // cut short
        bytes.resize(bytes.size() * (10 + random() % 80) / 100);
        break;
    default: // the header overwritten
        if (kind == 4)
            std::fill_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 4096), '\x5a');
        break;
    }
    return bytes;
}

// Message boxes (a recording that cannot be played says so) are answered at once, as a
// driver clicking them away would, and counted.
class AnsweringMessageBoxes : public velomira::MessageBoxService {
public:
    int shown = 0;
    velomira::MessageAnswer Show(const velomira::MessageBoxRequest& request) override
    {
        if (shown++ < 3)
            std::printf("message: %s\n", request.text.c_str());
        return velomira::MessageAnswer::Ok;
    }
};

} // namespace

int main(int argc, char** argv)
{
    int count = 100;
    int everyMs = 2500;
    bool noMap = false;
    fs::path folder = fs::temp_directory_path() / "velomira-bench-soak";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--count")
            count = std::max(11, std::atoi(argv[i + 1]));
        else if (name == "--every")
            everyMs = std::max(200, std::atoi(argv[i + 1]));
        else if (name == "--map")
            noMap = std::string(argv[i + 1]) == "off";
        else if (name == "--folder")
            folder = argv[i + 1];
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr, "usage: velomira-bench-soak [--count N] [--every MS] [--map on|off] [--folder DIR]\n");
        return 2;
    }

    // Four originals, made once and kept; the card is laid anew from them each run.
    std::vector<std::string> originals;
    for (int i = 0; i < 4; ++i) {
        const fs::path original = folder / ("original" + std::to_string(i) + ".mp4");
        fs::create_directories(folder);
        if (!fs::exists(original) && !MakeRecording(original, i + 1)) {
            std::fprintf(stderr, "velomira-mkcard failed\n");
            return 1;
        }
        originals.push_back(ReadAll(original));
    }
    const fs::path card = folder / "card";
    fs::remove_all(card);
    fs::create_directories(card / "EVENT");
    fs::create_directories(card / "Normal");
    // The dashcam's own files, so that SD-open takes the card as one of this viewer's.
    fs::create_directories(card / "SETUP");
    velomira::SettingsRecord settings = velomira::DefaultSettingsRecord(1);
    velomira::UpdateSettingsChecksum(settings);
    std::ofstream(card / "data_setup.cfg", std::ios::binary)
        .write(reinterpret_cast<const char*>(settings.data()),
            static_cast<std::streamsize>(settings.size()));
    std::ofstream(card / "SETUP" / "data_factory.cfg") << "VELOMIRA6";
    std::mt19937 random(2024);
    int damaged = 0;
    for (int i = 0; i < count; ++i) {
        // One whole recording in four; the other three damaged, each in one of four ways.
        const int kind = i % 4 == 0 ? 0 : 1 + static_cast<int>(random() % 4);
        damaged += kind != 0 ? 1 : 0;
        char name[64];
        std::snprintf(name, sizeof name, "20240316_%02d%02d%02d_NF.mp4", i / 3600, i / 60 % 60, i % 60);
        std::ofstream(card / "Normal" / name, std::ios::binary)
            << Damage(originals[static_cast<std::size_t>(i) % originals.size()], kind, random);
    }
    std::printf("card: %d recordings, %d damaged, Next every %d ms\n", count, damaged, everyMs);
    std::fflush(stdout);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    qputenv("VELOMIRA_DRIVES", QByteArray("E=") + QByteArray::fromStdString(card.string()));
    velomira::PrepareWebViews();
    int code = 0;
    {
        QApplication app(argc, argv);
        AnsweringMessageBoxes messages;
        velomira::CSamplePlayerDlg window(nullptr, &messages);
        velomira::ViewerSession session(window, nullptr, {}, !noMap);
        window.show();
        Pump(1000);
        window.Button(1012)->click(); // SD-open plays the newest recording
        // Next is pressed until the last recording is the current one. A recording that
        // cannot be played moves on by itself, so the presses are fewer than recordings.
        double afterTenthMb = 0;
        double afterLastMb = 0;
        int presses = 0;
        int reported = 0;
        for (;;) {
            Pump(everyMs);
            const int current = session.state().currentIndex;
            const double mb = ResidentMb();
            if (current >= 9 && afterTenthMb == 0)
                afterTenthMb = mb;
            if (current / 10 > reported) {
                reported = current / 10;
                const struct mallinfo2 heap = mallinfo2();
                std::printf("at recording %3d: %.1f MB resident; heap in use %.1f MB, held %.1f MB\n",
                    current + 1, mb, static_cast<double>(heap.uordblks + heap.hblkhd) / 1e6,
                    static_cast<double>(heap.arena + heap.hblkhd) / 1e6);
                std::fflush(stdout);
            }
            if (current >= count - 1 || presses > 2 * count) {
                afterLastMb = mb;
                break;
            }
            session.transport().OnNext();
            ++presses;
        }
        const double growthMb = afterLastMb - afterTenthMb;
        std::printf("message boxes answered: %d\n", messages.shown);
        std::printf("RSS after the 10th: %.1f MB, after the last: %.1f MB, growth %.1f MB "
                    "(goal: within %.0f MB) %s\n",
            afterTenthMb, afterLastMb, growthMb, kGoalMb,
            std::abs(growthMb) <= kGoalMb ? "met" : "MISSED");
        code = std::abs(growthMb) <= kGoalMb ? 0 : 1;
    }
    velomira::EndProcess(code);
}
