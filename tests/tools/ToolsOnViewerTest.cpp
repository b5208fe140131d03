// The card tools through the whole viewer's buttons on the generated card (drive E: by
// VELOMIRA_DRIVES): download of the playing recording, then a format of the FAT image
// that VELOMIRA_FORMAT_IMAGES gives the card's letter as its device.
#include <gtest/gtest.h>

#include <fstream>

#include <QProcess>

#include "e2e/ViewerSupport.h"

namespace velomira {
namespace {

namespace fs = std::filesystem;

class FolderAnswer : public test::ScriptedFileDialogs {
public:
    std::optional<std::string> ChooseFolder(const std::string&) override { return folder; }
    std::string folder;
};

TEST(ToolsOnViewer, DownloadThePlayingRecordingThenFormatTheCardImage)
{
    test::TempDir dir { "velomira-tools-e2e" };
    fs::copy(test::TestDataDir() / "card", dir / "card", fs::copy_options::recursive);
    fs::create_directories(dir / "out");
    {
        std::ofstream(dir / "card.img") << "";
    }
    fs::resize_file(dir / "card.img", 300u << 20);
    qputenv("VELOMIRA_DRIVES", QByteArray::fromStdString("E=" + (dir / "card").string()));
    qputenv(
        "VELOMIRA_FORMAT_IMAGES", QByteArray::fromStdString("E=" + (dir / "card.img").string()));
    test::ScriptedMessageBoxService messages;
    FolderAnswer dialogs;
    dialogs.folder = (dir / "out").string();
    {
        CSamplePlayerDlg window(nullptr, &messages);
        ViewerSession session(window, &dialogs);
        window.show();
        window.Button(1012)->click();
        ASSERT_EQ(session.player().State(), 0);
        const std::string played = session.list().ItemText(0, 3).toStdString();
        const std::string name = played.substr(played.rfind('\\') + 1);

        window.Button(1197)->click();
        EXPECT_NE(session.player().State(), 0); // stopped for the copy
        EXPECT_TRUE(session.state().forceReload);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text,
            "The File that is playing copies to " + (dir / "out" / name).string() + ".");
        EXPECT_EQ(fs::file_size(dir / "out" / name),
            fs::file_size(dir / "card" / played.substr(3, played.rfind('\\') - 3) / name));

        window.Button(1201)->click();
        ASSERT_EQ(messages.shown().size(), 3u);
        EXPECT_EQ(messages.shown()[1].text,
            "Do you want to format the drive E of VELOMIRA6 SD Card?\n\n" + (dir / "card").string()
                + ", 0.3 GB, "
                + fs::canonical(dir / "card.img").string());
        EXPECT_EQ(messages.shown()[2].text, "Format Complete");
    }
    qunsetenv("VELOMIRA_DRIVES");
    qunsetenv("VELOMIRA_FORMAT_IMAGES");
    QProcess fsck;
    fsck.start("fsck.fat", { "-n", QString::fromStdString((dir / "card.img").string()) });
    fsck.waitForFinished(-1);
    EXPECT_EQ(fsck.exitCode(), 0) << fsck.readAllStandardOutput().toStdString();
}

} // namespace
} // namespace velomira
