// Card folders and recordings dropped on the viewer's windows open as the command line
// opens them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "app/PathOpener.h"
#include "e2e/ViewerSupport.h"
#include "playback/views/CPlxVideoView.h"

namespace velomira {
namespace {

using test::ViewerOnCard;
using test::WaitUntil;

void Drop(QWidget& target, const std::vector<std::filesystem::path>& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const auto& path : paths)
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path.string())));
    data.setUrls(urls);
    const QPointF at(target.width() / 2.0, target.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    EXPECT_TRUE(drop.isAccepted());
}

TEST(OpenByPath, DropsOnEitherWindowOpenTheCardOrTheRecordings)
{
    test::TempDir elsewhere("velomira-drop");
    const std::filesystem::path card = elsewhere / "CARD";
    std::filesystem::copy(
        test::TestDataDir() / "card", card, std::filesystem::copy_options::recursive);
    const std::filesystem::path text = test::TestDataDir() / "rec" / "chosen.txt";
    const std::filesystem::path recording = test::TestDataDir() / "rec" / "front-only.mp4";
    const struct {
        const char* name;
        bool onList;
        // Empty: the folder of the viewer's drive E, a card in this case.
        std::vector<std::filesystem::path> paths;
        int entries;
        std::string kind;
        std::string cardDrive;
        int language;
        std::size_t messages;
    } cases[] = {
        // The card folder gets the first free letter (E is the empty drive of the test).
        { "card folder on the main window's picture", false, { card }, 5, "EVENT", "D:", 1, 0 },
        { "the folder of drive E on the list keeps its letter", true, {}, 5, "EVENT", "E:", 1, 0 },
        { "a file that cannot play, then a recording, on the list", true, { text, recording }, 1,
            "File", "", 0, 1 },
    };
    for (const auto& c : cases) {
        ViewerOnCard viewer(c.paths.empty());
        PathOpener opener(*viewer.session);
        viewer.window->SetLanguage(0);
        Drop(c.onList ? static_cast<QWidget&>(viewer.list()) : *viewer.window->frontView(),
            c.paths.empty() ? std::vector { viewer.cardFolder } : c.paths);
        ASSERT_TRUE(WaitUntil([&] { return viewer.Playing(); }, 30000)) << c.name;
        EXPECT_EQ(viewer.list().ItemCount(), c.entries) << c.name;
        EXPECT_EQ(viewer.list().ItemText(0, 2).toStdString(), c.kind) << c.name;
        EXPECT_EQ(viewer.session->card().cardDrive, c.cardDrive) << c.name;
        EXPECT_EQ(viewer.window->language(), c.language) << c.name;
        ASSERT_EQ(viewer.messages.shown().size(), c.messages) << c.name;
        if (c.messages > 0) {
            EXPECT_EQ(
                viewer.messages.shown()[0].text, "ファイルを再生できません。: " + text.string())
                << c.name;
        }
    }
}

} // namespace
} // namespace velomira
