#include <gtest/gtest.h>

#include <signal.h>

#include <QProcess>
#include <QStandardPaths>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"

namespace velomira::test {
namespace {

// A private sound server with a null sink that the test can freeze (SIGSTOP): it then
// keeps its connections and answers nothing.
class PrivateSoundServer {
public:
    PrivateSoundServer()
    {
        const QString socket = QString::fromStdString((m_dir / "native").string());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(m_dir.Path().string()));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("pulseaudio"),
            { "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes", "-L",
                "module-null-sink", "-L", "module-native-protocol-unix socket=" + socket });
        m_started = m_process.waitForStarted(3000)
            && WaitUntil([&] { return std::filesystem::exists(m_dir / "native"); }, 30000);
        m_address = "unix:" + socket.toStdString();
    }
    ~PrivateSoundServer()
    {
        Thaw();
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    bool Started() const { return m_started; }
    const std::string& Address() const { return m_address; }
    void Freeze() { ::kill(static_cast<pid_t>(m_process.processId()), SIGSTOP); }
    void Thaw() { ::kill(static_cast<pid_t>(m_process.processId()), SIGCONT); }

private:
    TempDir m_dir { "velomira-hung-sound" };
    QProcess m_process;
    bool m_started = false;
    std::string m_address;
};

// Runs in a program of its own: the sound server is named before Qt Multimedia looks for
// devices.
TEST(HungSoundServer, PauseAndCloseReturnAtOnceWhenTheServerStopsAnsweringMidPlay)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty())
        GTEST_SKIP() << "no pulseaudio program (scripts/deps installs it)";
    PrivateSoundServer server;
    ASSERT_TRUE(server.Started());
    qputenv("PULSE_SERVER", QByteArray::fromStdString(server.Address()));
    TestVideoWindow front(QSize(320, 180)), rear(QSize(160, 90));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    ASSERT_TRUE(player.Open(Recording("long.mp4")));
    ASSERT_EQ(player.Run(), 1);
    ASSERT_TRUE(WaitUntil([&] { return player.SoundBytesToDevice() > 0; }));

    server.Freeze();
    Pump(100);
    // Pausing makes the stage ask the frozen server to hold the sound.
    EXPECT_LT(Timed([&] { EXPECT_EQ(player.Pause(), 1); }), 1000);
    Pump(100);
    EXPECT_LT(Timed([&] { EXPECT_EQ(player.Run(), 1); }), 1000);
    EXPECT_LT(Timed([&] { EXPECT_TRUE(player.Close()); }), 1000);
    EXPECT_LT(Timed([&] { ASSERT_TRUE(player.Open(Recording("default.mp4"))); }), 1000);
    EXPECT_LT(Timed([&] { EXPECT_TRUE(player.Close()); }), 1000);
    // The server answers again: the threads left waiting end before the program does.
    server.Thaw();
    Pump(500);
}

} // namespace
} // namespace velomira::test
