// The installed program's way in: its command line, and a second start handing its paths
// to the viewer already running, on a real X display (Xvfb).
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include "support/TestPaths.h"

namespace velomira {
namespace {

// Polls `done` until it holds or `timeoutMs` passes.
bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QThread::msleep(50);
    }
    return true;
}

class ViewerProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty())
            GTEST_SKIP() << "Xvfb is not installed";
        std::filesystem::create_directories(m_runtime.Path());
        std::filesystem::permissions(m_runtime.Path(), std::filesystem::perms::owner_all);
        // Xvfb picks a free display and writes its number once it accepts clients.
        m_xvfb.start(
            "Xvfb", { "-displayfd", "1", "-screen", "0", "1600x900x24", "-nolisten", "tcp" });
        ASSERT_TRUE(m_xvfb.waitForStarted());
        QByteArray number;
        ASSERT_TRUE(WaitFor(
            [&] {
                m_xvfb.waitForReadyRead(100);
                number += m_xvfb.readAllStandardOutput();
                return number.endsWith('\n');
            },
            30000));
        const QString display = QStringLiteral(":%1").arg(QString::fromLatin1(number).trimmed());
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("DISPLAY", display);
        m_env.insert("XDG_RUNTIME_DIR", QString::fromStdString(m_runtime.Path().string()));
        m_env.insert("QT_QPA_PLATFORM", "xcb");
        m_env.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        m_env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
        m_env.insert("QT_LOGGING_RULES", "velomira.opening.info=true");
        // A drive table of its own, and no map traffic off this machine.
        m_env.insert("VELOMIRA_DRIVES", "Y=/nonexistent");
        m_env.insert("VELOMIRA_MAPS_API_BASE", "http://127.0.0.1:9");
        m_env.insert("VELOMIRA_TILE_URL", "http://127.0.0.1:9/{z}/{x}/{y}.png");
        m_viewer.setProcessEnvironment(m_env);
        m_viewer.setProcessChannelMode(QProcess::MergedChannels);
    }
    void TearDown() override
    {
        m_viewer.terminate();
        if (!m_viewer.waitForFinished(30000))
            m_viewer.kill();
        m_viewer.waitForFinished(5000);
        m_xvfb.terminate();
        m_xvfb.waitForFinished(10000);
    }

    // Runs the viewer to its end; returns its exit code (-1 when it did not end).
    int Run(const QStringList& arguments, QString* output)
    {
        QProcess run;
        run.setProcessEnvironment(m_env);
        run.start(VELOMIRA_VIEWER, arguments);
        if (!run.waitForFinished(60000)) {
            run.kill();
            run.waitForFinished();
            return -1;
        }
        if (output != nullptr)
            *output = QString::fromUtf8(run.readAllStandardOutput() + run.readAllStandardError());
        return run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
    }

    // Waits until the running viewer's log holds `text` `times` times.
    bool LogShows(const QString& text, int times = 1)
    {
        return WaitFor(
            [&] {
                m_viewer.waitForReadyRead(100);
                m_log += QString::fromUtf8(m_viewer.readAll());
                return m_log.count(text) >= times;
            },
            60000);
    }

    // Starts the viewer on a copy of the test card, in a folder of its own.
    void StartOnACardCopy()
    {
        const std::filesystem::path card = m_cards / "CARD";
        std::filesystem::copy(
            test::TestDataDir() / "card", card, std::filesystem::copy_options::recursive);
        m_viewer.start(VELOMIRA_VIEWER, { QString::fromStdString(card.string()) });
    }

    test::TempDir m_runtime { "velomira-runtime" };
    test::TempDir m_cards { "velomira-args" };
    QProcess m_xvfb;
    QProcessEnvironment m_env;
    QProcess m_viewer;
    QString m_log;
};

TEST_F(ViewerProgram, OptionsAnswerWithoutAWindow)
{
    const struct {
        QStringList arguments;
        int status;
        const char* says;
    } cases[] = {
        { { "--help" }, 0, "Usage: velomira-viewer [--help] [--version] [PATH...]" },
        { { "--version" }, 0, "velomira-viewer 1.0.3" },
        { { "--no-such-option", "card" }, 2, "unknown option '--no-such-option'" },
    };
    for (const auto& c : cases) {
        QString output;
        EXPECT_EQ(Run(c.arguments, &output), c.status) << c.says;
        EXPECT_TRUE(output.contains(c.says)) << output.toStdString();
    }
}

TEST_F(ViewerProgram, OpensTheCardGivenAndLaterStartsHandTheirPathsOver)
{
    StartOnACardCopy();
    ASSERT_TRUE(m_viewer.waitForStarted());
    EXPECT_TRUE(LogShows("opens as drive \"D:\"")) << m_log.toStdString();
    EXPECT_TRUE(LogShows("playing \"D:\\\\EVENT\\\\20240315_101400_EF.mp4\""))
        << m_log.toStdString();

    // A second start with a recording (given relative to its folder) and a path that
    // cannot play: the running viewer opens both ways and the second start ends at once.
    const std::filesystem::path rec = test::TestDataDir() / "rec";
    QProcess second;
    second.setProcessEnvironment(m_env);
    second.setWorkingDirectory(QString::fromStdString(rec.string()));
    second.start(VELOMIRA_VIEWER, { "front-only.mp4", "chosen.txt" });
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(LogShows("recordings imported: 1")) << m_log.toStdString();
    EXPECT_TRUE(LogShows("cannot be played: 1")) << m_log.toStdString();
    EXPECT_TRUE(LogShows(QString::fromStdString("playing \"" + (rec / "front-only.mp4").string())))
        << m_log.toStdString();

    // Without a path a later start only brings the window to the front.
    const QString raised = "the window comes to the front";
    const int raisedBefore = m_log.count(raised);
    EXPECT_EQ(Run({}, nullptr), 0);
    EXPECT_TRUE(LogShows(raised, raisedBefore + 1)) << m_log.toStdString();
    EXPECT_EQ(m_viewer.state(), QProcess::Running);
}

TEST_F(ViewerProgram, ItsExitButtonEndsTheProgramWithTheListWindowShown)
{
    StartOnACardCopy();
    ASSERT_TRUE(m_viewer.waitForStarted());
    ASSERT_TRUE(LogShows("playing")) << m_log.toStdString();
    // The main window (1020x720) and the recordings list beside it.
    const auto xdotool = [&](const QStringList& arguments) {
        QProcess tool;
        tool.setProcessEnvironment(m_env);
        tool.start("xdotool", arguments);
        tool.waitForFinished(30000);
        return QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    };
    QString mainWindow;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList windows = xdotool(
                { "search", "--onlyvisible", "--pid", QString::number(m_viewer.processId()) });
            for (const QString& window : windows) {
                if (xdotool({ "getwindowgeometry", window }).join(' ').contains("1020x720"))
                    mainWindow = window;
            }
            return windows.size() >= 2 && !mainWindow.isEmpty();
        },
        60000));
    xdotool({ "mousemove", "--window", mainWindow, "1003", "12", "click", "1" });
    ASSERT_TRUE(m_viewer.waitForFinished(60000)) << "still running after Exit";
    EXPECT_EQ(m_viewer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_viewer.exitCode(), 0);
}

} // namespace
} // namespace velomira
