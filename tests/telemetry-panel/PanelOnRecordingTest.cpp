// The whole viewer on a generated recording whose telemetry is known: paused at a play
// position, the panel shows that moment's speed, heading and position.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/Tick.h"
#include "app/commands/GraphCommands.h"
#include "e2e/ViewerSupport.h"
#include "telemetry-panel/PanelTestStore.h"
#include "telemetry/SmartBox.h"
#include "telemetry/TelemetryPanel.h"

namespace velomira {
namespace {

constexpr int kSeconds = 6;
constexpr int kSamplesPerSecond = 10;

std::uint16_t SpeedOfSecond(int second)
{
    return static_cast<std::uint16_t>(20 + 10 * second);
}

// Seconds 0 to 2 eastward, then northward: one minute of arc a second.
double LatitudeOf(int second)
{
    return 3733.0 + std::max(0, second - 2);
}
double LongitudeOf(int second)
{
    return 12700.0 + std::min(second, 2);
}

std::string Hex(const std::vector<std::byte>& bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const std::byte b : bytes) {
        out += kDigits[static_cast<int>(b) >> 4];
        out += kDigits[static_cast<int>(b) & 15];
    }
    return out;
}

std::filesystem::path MakeRecording(const std::filesystem::path& folder)
{
    std::ofstream text(folder / "telemetry.txt");
    for (int i = 0; i < kSeconds * kSamplesPerSecond; ++i) {
        const int second = i / kSamplesPerSecond;
        const int ms = i * 1000 / kSamplesPerSecond;
        if (i % kSamplesPerSecond == 0)
            text << ms << ' '
                 << test::RmcLine(LatitudeOf(second), 'N', LongitudeOf(second), 'E', 20) << '\n';
        test::SampleValues sample;
        sample.words[0] = SpeedOfSecond(second);
        text << ms << ' ' << Hex(test::SampleBytes(sample)) << '\n';
    }
    text.close();
    const std::filesystem::path recording = folder / "20240315_101010_NF.mp4";
    const std::string command = test::MkcardProgram().string() + " recording '" + recording.string()
        + "' --duration " + std::to_string(kSeconds)
        + " --front 320x180 --rear none --fps 10 --audio none --telemetry '"
        + (folder / "telemetry.txt").string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return recording;
}

TEST(PanelOnRecording, PausedPositionShowsThatSamplesSpeedAndHeading)
{
    test::ViewerOnCard viewer(false);
    const std::filesystem::path recording = MakeRecording(viewer.m_folder.Path());
    viewer.dialogs.answers.push_back(std::vector<std::string> { recording.string() });
    viewer.Press(1194);
    ASSERT_TRUE(test::WaitUntil([&] { return viewer.Playing(); }, 30000));
    ASSERT_TRUE(test::WaitUntil([&] { return viewer.session->state().positionMs >= 3300; }, 30000));
    viewer.Press(1006); // pause
    ASSERT_TRUE(test::WaitUntil([&] { return viewer.player().State() == 1; }, 30000));
    viewer.session->tick().Tick();

    const std::uint32_t positionMs = viewer.session->state().positionMs;
    const std::uint32_t durationMs = viewer.session->state().durationMs;
    const CTextData& store = viewer.session->telemetry();
    ASSERT_GE(store.gSensorSampleCount(), 50u);
    ASSERT_GE(store.trackCount(), 5u);
    const auto sample = static_cast<int>(static_cast<double>(positionMs) / durationMs
        * static_cast<double>(store.gSensorSampleCount()));
    const int second = static_cast<int>(positionMs / 1000);
    SCOPED_TRACE(positionMs);

    const TelemetryPanel& panel = viewer.session->graphCommands().panel();
    ASSERT_TRUE(panel.gauge() && panel.text() && panel.strip());
    EXPECT_EQ(panel.gauge()->speed, SpeedOfSecond(sample / kSamplesPerSecond));
    EXPECT_EQ(panel.gauge()->needleTip, SpeedNeedleTip(SpeedOfSecond(sample / kSamplesPerSecond)));
    // From second 3 on the car heads north: the needle points straight up.
    const PixelPoint heading = second >= 3 ? PixelPoint { 384, 487 } : PixelPoint { 407, 510 };
    EXPECT_EQ(panel.gauge()->compassEnd, heading);
    EXPECT_EQ(panel.text()->lines[0], "2024-03-15");
    EXPECT_EQ(panel.text()->lines[2], NmeaPositionText(LatitudeOf(second), 'N', 3));
    EXPECT_EQ(panel.text()->lines[3], NmeaPositionText(LongitudeOf(second), 'E', 4));
    // The SMART button redraws its box for the paused position.
    viewer.Press(5005);
    EXPECT_EQ(viewer.session->graphCommands().smartBox().text().speedText().trimmed().toInt(),
        SpeedOfSecond(sample / kSamplesPerSecond));

    // And the window shows it: the needle's tip and the compass needle in the needle's
    // colour on a grab of the main window.
    const QImage image = viewer.window->grab().toImage();
    const QColor needle(0x1D, 0x98, 0xCE);
    const auto near = [&](PixelPoint p) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (image.pixelColor(p.x + dx, p.y + dy).rgb() == needle.rgb())
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(near(panel.gauge()->needleTip));
    EXPECT_TRUE(near({ (384 + heading.x) / 2, (510 + heading.y) / 2 }));
}

TEST(PanelOnRecording, TheCardTakenAwayClearsThePanel)
{
    test::ViewerOnCard viewer;
    viewer.Press(1012);
    const TelemetryPanel& panel = viewer.session->graphCommands().panel();
    ASSERT_TRUE(test::WaitUntil([&] { return panel.gauge().has_value(); }, 30000));
    viewer.session->OnDriveRemoved('E');
    EXPECT_FALSE(panel.gauge() || panel.text() || panel.strip());
}

} // namespace
} // namespace velomira
