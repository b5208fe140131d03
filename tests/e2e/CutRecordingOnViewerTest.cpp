// A recording cut short by a power loss on the card: the viewer plays it through its
// rebuilt index, says so quietly, moves on to the next recording at its end, and saves a
// repaired copy from the right-click menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>

#include "app/commands/ExportCommands.h"
#include "e2e/ViewerSupport.h"
#include "playback/ffmpeg/RecordingProbe.h"
#include "texts/RepairTexts.h"

namespace velomira {
namespace {

using test::ViewerOnCard;
using test::WaitUntil;

constexpr const char* kCutName = "20240315_101230_NF.mp4";

bool MenuHas(ExportCommands& commands, int row, QWidget* parent, const std::string& title)
{
    std::unique_ptr<QMenu> menu(commands.BuildMenu(row, parent));
    for (QAction* action : menu->actions()) {
        if (action->text().toStdString() == title)
            return true;
    }
    return false;
}

TEST(ViewerCutRecording, PlaysThroughToTheNextAndSavesARepairedCopy)
{
    ViewerOnCard viewer(true, [](const std::filesystem::path& card) {
        std::filesystem::copy_file(
            test::TestDataDir() / "cut" / "two-cameras" / "half.mp4", card / "Normal" / kCutName);
    });
    viewer.Press(1012); // the card's list fills when play starts
    ASSERT_TRUE(WaitUntil([&] { return viewer.list().ItemCount() > 0; }));
    int row = -1;
    int wholeRow = -1;
    for (int r = 0; r < viewer.list().ItemCount(); ++r) {
        if (viewer.list().ItemText(r, 3).endsWith(kCutName))
            row = r;
        if (viewer.list().ItemText(r, 3).endsWith("20240315_101110_NF.mp4"))
            wholeRow = r;
    }
    ASSERT_GE(row, 0);
    ASSERT_GE(wholeRow, 0);
    const int language = viewer.window->language();

    viewer.list().SelectOnly(row);
    viewer.list().SetActivateRequest(true);
    ASSERT_TRUE(WaitUntil([&] { return viewer.currentIndex() == row && viewer.Playing(); }, 30000));
    const std::string note = RepairLabel(RepairText::RebuiltNote, language);
    EXPECT_EQ(qobject_cast<QLabel*>(viewer.window->Control(1015))->toolTip().toStdString(), note);
    EXPECT_EQ(viewer.list().visibleList()->item(row, 0)->toolTip().toStdString(), note);
    // At its end the tick moves on (past a neighbour without telemetry, which says so).
    ASSERT_TRUE(WaitUntil([&] { return viewer.currentIndex() > row; }, 30000));
    for (const auto& shown : viewer.messages.shown())
        EXPECT_EQ(shown.text.find(kCutName), std::string::npos) << shown.text;

    ExportCommands& commands = viewer.session->exportCommands();
    const std::string entry = RepairLabel(RepairText::SaveRepairedCopy, language);
    EXPECT_TRUE(MenuHas(commands, row, viewer.window.get(), entry));
    EXPECT_FALSE(MenuHas(commands, wholeRow, viewer.window.get(), entry));

    test::TempDir out("velomira-repair");
    viewer.dialogs.folderAnswers = { out.Path().string() };
    commands.SaveRepairedCopy(row);
    const auto copy = out / kCutName;
    ASSERT_TRUE(std::filesystem::exists(copy)) << viewer.messages.shown().back().text;
    const auto info = ProbeRecording(copy.string());
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->rebuilt);
    EXPECT_EQ(info->videoSizes.size(), 2u);
    EXPECT_NEAR(static_cast<double>(info->durationMs), 2000.0, 100.0);
}

} // namespace
} // namespace velomira
