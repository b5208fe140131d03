// The right-click export menu on the viewer playing the generated card: a snapshot of both
// pictures, the track as KML, and a clip between two marks that the player reads back
// with its telemetry.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <QAction>
#include <QMenu>

#include "app/commands/ExportCommands.h"
#include "e2e/ViewerSupport.h"
#include "playback/RecordingTelemetry.h"
#include "playback/ffmpeg/RecordingProbe.h"
#include "texts/ExportTexts.h"

namespace velomira {
namespace {

using test::ViewerOnCard;
using test::WaitUntil;

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

TEST(ViewerExport, SnapshotTrackAndClipOfThePlayingRecording)
{
    ViewerOnCard viewer;
    test::TempDir out("velomira-export");
    viewer.Press(1012);
    // Paused, and moved by seeks: the card's recordings last two seconds.
    ASSERT_TRUE(WaitUntil([&] { return viewer.Playing(); }));
    viewer.Press(1006);
    const auto seekTo = [&](std::int32_t ms) {
        viewer.player().SeekMs(ms);
        return WaitUntil([&] {
            const auto at = viewer.session->state().positionMs;
            return at + 50 > static_cast<std::uint32_t>(ms) && at < static_cast<std::uint32_t>(ms) + 50;
        });
    };
    ASSERT_TRUE(seekTo(1200));
    ExportCommands& commands = viewer.session->exportCommands();
    const int row = viewer.currentIndex();
    const int language = viewer.window->language();

    // The menu of the loaded recording, in the window's language, with the clip's entries.
    QMenu* menu = commands.BuildMenu(row, viewer.window.get());
    QStringList titles;
    for (QAction* action : menu->actions())
        titles << action->text();
    EXPECT_EQ(titles.size(), 3);
    EXPECT_EQ(titles[0].toStdString(), ExportLabel(ExportText::ExportTrack, language));
    EXPECT_EQ(titles[2].toStdString(), ExportLabel(ExportText::CutClip, language));
    delete menu;

    viewer.dialogs.saveAnswers = { (out / "moment.jpg").string() };
    commands.SaveSnapshot(row);
    ASSERT_FALSE(viewer.messages.shown().empty());
    EXPECT_EQ(viewer.messages.shown().back().text.rfind(
                  ExportLabel(ExportText::Saved, language).substr(0, 6), 0),
        0u)
        << viewer.messages.shown().back().text;
    EXPECT_GT(std::filesystem::file_size(out / "moment.jpg"), 1000u);
    EXPECT_TRUE(std::filesystem::exists(out / "moment_rear.jpg"));

    viewer.dialogs.saveAnswers = { (out / "trip.kml").string() };
    commands.ExportTrack(row);
    EXPECT_NE(ReadText(out / "trip.kml").find("<LineString>"), std::string::npos);

    // A clip from two marks while it plays: no mark, no clip; then a real one.
    viewer.dialogs.saveAnswers = { (out / "early").string() };
    commands.SaveClip();
    EXPECT_FALSE(std::filesystem::exists(out / "early.mp4"));
    ASSERT_TRUE(seekTo(300));
    commands.MarkStart();
    ASSERT_TRUE(seekTo(1800));
    commands.MarkEnd();
    EXPECT_NEAR(*commands.clipEndMs() - *commands.clipStartMs(), 1500, 100);
    viewer.dialogs.saveAnswers = { (out / "clip").string() };
    commands.SaveClip();
    const auto clip = out / "clip.mp4";
    ASSERT_TRUE(std::filesystem::exists(clip)) << viewer.messages.shown().back().text;
    const auto info = ProbeRecording(clip.string());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->videoSizes.size(), 2u);
    CTextData store;
    const auto load = LoadRecordingTelemetry(clip.string(), store);
    ASSERT_TRUE(load);
    EXPECT_GT(load->samples, 0u);

    // A cancelled dialog writes nothing and says nothing.
    const std::size_t boxes = viewer.messages.shown().size();
    commands.SaveSnapshot(row);
    EXPECT_EQ(viewer.messages.shown().size(), boxes);
}

} // namespace
} // namespace velomira
