// The download command: the selected recording copied to the chosen folder under its own
// name, the message with the full target path, and silence where nothing was copied.
#include "app/commands/DownloadCommand.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <QApplication>
#include <QProgressDialog>
#include <QTimer>

#include "app/CSamplePlayerDlg.h"
#include "library/CListDlg.h"
#include "library/FileDialogService.h"
#include "platform/CardPath.h"
#include "playback/TransportState.h"
#include "support/ScriptedMessageBoxService.h"
#include "support/TestPaths.h"
#include "texts/TextCatalogue.h"
#include "tools/CopyWithProgress.h"

namespace velomira {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

class ScriptedFolderDialog : public FileDialogService {
public:
    std::optional<std::vector<std::string>> OpenFiles(
        const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFolder(const std::string& title) override
    {
        titles.push_back(title);
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<std::string> titles;
};

constexpr const char* kName = "20240315_101010_F.mp4";

struct Rig {
    test::TempDir dir { "velomira-download" };
    test::ScriptedMessageBoxService messages;
    CSamplePlayerDlg window { nullptr, &messages };
    CListDlg list;
    TransportState state;
    FixedDriveRoots drives;
    ScriptedFolderDialog dialogs;
    int playerState = 0;
    int stops = 0;
    std::string recording = std::string(300000, 'r');

    Rig()
    {
        fs::create_directories(dir / "card" / "NORMAL");
        fs::create_directories(dir / "out");
        std::ofstream(dir / "card" / "NORMAL" / kName, std::ios::binary) << recording;
        drives.Assign('E', dir / "card");
        const RecordingEntry entry { "2024-03-15", "10:10:10", "NORMAL",
            std::string("E:\\NORMAL\\") + kName };
        list.lists().master = { entry };
        list.lists().visible = { entry };
        list.ShowVisibleEntries();
        list.SelectOnly(0);
        dialogs.answer = (dir / "out").string();
    }

    void Download()
    {
        DownloadCommand command(
            window, list, state, drives, dialogs, [this] { return playerState; },
            [this] { ++stops; });
        command.OnDownload();
    }
    fs::path Target() const { return dir / "out" / kName; }
};

TEST(DownloadCommand, CopiesTheSelectedRecordingAndSaysWhere)
{
    const struct {
        int language;
        const char* folderTitle;
        const char* message; // %s: the target
        const char* title;
    } cases[] = {
        { 2, "재생중인 파일을 저장할 폴더 : ", "현재 재생중인 파일이 %s로 복사되었습니다.",
            "루미엘" },
        { 1, "Select Download Target folder", "The File that is playing copies to %s.",
            "VELOMIRA6" },
        { 0, "ダウンロード先のフォルダを選択して下さい。", "再生中のファイルを%sへコピーします。",
            "ベロミラ6" },
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.window.SetLanguage(c.language);
        rig.Download();
        EXPECT_EQ(rig.dialogs.titles, std::vector<std::string> { c.folderTitle });
        EXPECT_EQ(ReadBytes(rig.Target()), rig.recording);
        ASSERT_EQ(rig.messages.shown().size(), 1u);
        EXPECT_EQ(rig.messages.shown()[0].text, FillPlaceholder(c.message, rig.Target().string()));
        EXPECT_EQ(rig.messages.shown()[0].title, c.title);
        EXPECT_TRUE(rig.state.forceReload);
        EXPECT_EQ(rig.stops, 1);
    }
}

TEST(DownloadCommand, ReplacesAFileOfTheSameName)
{
    Rig rig;
    rig.window.SetLanguage(1);
    rig.playerState = 1; // paused: not stopped
    std::ofstream(rig.Target(), std::ios::binary) << std::string(900000, 'o');
    rig.Download();
    EXPECT_EQ(ReadBytes(rig.Target()), rig.recording);
    EXPECT_EQ(rig.messages.shown().size(), 1u);
    EXPECT_EQ(rig.stops, 0);
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(rig.dir / "out"))
        names.push_back(item.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { kName });
}

TEST(DownloadCommand, NothingCopiedNothingShown)
{
    const struct {
        const char* name;
        void (*change)(Rig&);
        std::size_t folderDialogs;
    } cases[] = {
        { "folder dialog cancelled", [](Rig& r) { r.dialogs.answer.reset(); }, 1 },
        { "visible list empty, master list not",
            [](Rig& r) {
                r.list.lists().visible.clear();
                r.list.ShowVisibleEntries();
            },
            1 },
        { "recording gone from the card",
            [](Rig& r) { fs::remove(r.dir / "card" / "NORMAL" / kName); }, 1 },
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.window.SetLanguage(1);
        c.change(rig);
        rig.Download();
        EXPECT_EQ(rig.dialogs.titles.size(), c.folderDialogs) << c.name;
        EXPECT_TRUE(rig.messages.shown().empty()) << c.name;
        EXPECT_TRUE(fs::is_empty(rig.dir / "out")) << c.name;
        EXPECT_FALSE(rig.state.forceReload) << c.name;
    }
}

TEST(DownloadCommand, NoRecordingsListedSaysSo)
{
    const std::pair<int, const char*> cases[] = { { 2, "선택된 파일이 없습니다." },
        { 1, "File is not selected." }, { 0, "ファイルが選択されていません。" } };
    for (const auto& [language, text] : cases) {
        Rig rig;
        rig.window.SetLanguage(language);
        rig.list.ClearLists();
        rig.Download();
        ASSERT_EQ(rig.messages.shown().size(), 1u);
        EXPECT_EQ(rig.messages.shown()[0].text, text);
        EXPECT_EQ(rig.messages.shown()[0].title, ""); // the application's name
        EXPECT_TRUE(rig.dialogs.titles.empty());
        EXPECT_EQ(rig.stops, 0);
    }
}

TEST(CopyProgressDialog, CancelButtonStopsTheCopyAndKeepsTheOldFile)
{
    test::TempDir dir { "velomira-download" };
    std::ofstream(dir / "src.mp4", std::ios::binary) << std::string(64u << 20, 'n');
    std::ofstream(dir / "dst.mp4", std::ios::binary) << "old";
    // The click on Cancel, as soon as the dialog lets events through.
    QTimer::singleShot(0, [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QProgressDialog*>(widget))
                dialog->cancel();
    });
    // Shown at once, as it is on a slow card.
    EXPECT_EQ(CopyWithProgressDialog(nullptr, dir / "src.mp4", dir / "dst.mp4", "VELOMIRA6", 0),
        CopyResult::Cancelled);
    ASSERT_EQ(fs::file_size(dir / "dst.mp4"), 3u);
    EXPECT_EQ(ReadBytes(dir / "dst.mp4"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

} // namespace
} // namespace velomira
