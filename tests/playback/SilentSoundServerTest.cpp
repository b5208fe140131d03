#include <gtest/gtest.h>

#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "PlayerTestSupport.h"
#include "TestVideoWindow.h"
#include "playback/MediaPlayer.h"

namespace velomira::test {
namespace {

// A sound server that takes connections and never answers: its socket listens, nothing
// ever accepts. Closing it makes the waiting clients see the connection fail.
class SilentSoundServer {
public:
    SilentSoundServer()
    {
        m_fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const std::string path = (m_dir / "native").string();
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        m_listening = m_fd >= 0
            && bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
            && listen(m_fd, 64) == 0;
        m_address = "unix:" + path;
    }
    ~SilentSoundServer()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    bool Listening() const { return m_listening; }
    const std::string& Address() const { return m_address; }

private:
    TempDir m_dir { "velomira-silent-sound" };
    int m_fd = -1;
    bool m_listening = false;
    std::string m_address;
};

// Runs in a program of its own: the sound server is named before Qt Multimedia looks for
// devices, and the first look is the one that waits for an answer.
TEST(SilentSoundServer, OpenRunAndCloseReturnAtOnceAndThePicturesPlay)
{
    auto server = std::make_unique<SilentSoundServer>();
    ASSERT_TRUE(server->Listening());
    qputenv("PULSE_SERVER", QByteArray::fromStdString(server->Address()));
    TestVideoWindow front(QSize(320, 180)), rear(QSize(160, 90));
    MediaPlayer player;
    player.AttachWindows(2, &front, &rear);
    for (int round = 0; round < 2; ++round) {
        EXPECT_LT(Timed([&] { ASSERT_TRUE(player.Open(Recording("default.mp4"))); }), 1000);
        EXPECT_LT(Timed([&] { player.SetVolume(50); }), 1000);
        EXPECT_LT(Timed([&] { EXPECT_EQ(player.Run(), 1); }), 1000);
        EXPECT_TRUE(WaitUntil([&] { return front.Stamp() && front.Stamp()->frameNumber >= 10; }))
            << "round " << round;
        EXPECT_FALSE(player.SoundAudible());
        EXPECT_LT(Timed([&] { EXPECT_EQ(player.Pause(), 1); }), 1000);
        EXPECT_LT(Timed([&] { EXPECT_TRUE(player.Close()); }), 1000);
    }
    // The server goes away: the threads left waiting for it see the connection fail and
    // end before the program does.
    server.reset();
    Pump(300);
}

} // namespace
} // namespace velomira::test
