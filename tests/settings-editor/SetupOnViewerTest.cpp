// The SETUP button of the whole viewer on the generated card.
#include <gtest/gtest.h>

#include <fstream>

#include <QRadioButton>

#include "app/commands/SetupCommand.h"
#include "e2e/ViewerSupport.h"
#include "settings/SettingsRecord.h"
#include "settings/editor/CNewSetupDlg.h"
#include "settings/editor/CSettingsPage.h"

namespace velomira {
namespace {

TEST(ViewerSetup, PausesPlaybackEditsTheCardAndTakesTheNewUnitAndLanguage)
{
    test::ViewerOnCard viewer;
    viewer.Press(1012);
    ASSERT_TRUE(test::WaitUntil([&] { return viewer.Playing(); }));
    const int language = viewer.window->language();
    ASSERT_EQ(viewer.session->speedUnit(), 0);

    int shownLanguage = -1;
    viewer.session->setupCommand().SetDialogRunner([&](CNewSetupDlg& dialog) {
        shownLanguage = dialog.language();
        dialog.show();
        CSettingsPage* page = dialog.Page(PageKind::System, language);
        const int mph = language == 2 ? 1194 : (language == 1 ? 1318 : 1355);
        const int japanese = language == 2 ? 1215 : (language == 1 ? 1319 : 1356);
        page->findChild<QRadioButton*>(QString::number(mph))->click();
        page->findChild<QRadioButton*>(QString::number(japanese))->click();
        dialog.close();
    });
    viewer.messages.Script(MessageAnswer::Yes);
    viewer.Press(1195);

    EXPECT_EQ(shownLanguage, language);
    EXPECT_EQ(viewer.player().State(), 1);
    ASSERT_EQ(viewer.messages.shown().size(), 1u);
    EXPECT_EQ(viewer.messages.shown()[0].text, "変更を保存しますか？");
    EXPECT_EQ(viewer.session->speedUnit(), 1);
    EXPECT_EQ(viewer.window->language(), 0);
    EXPECT_EQ(viewer.session->mapProvider(), 1);

    std::ifstream in(viewer.cardFolder / "data_setup.cfg", std::ios::binary);
    const std::vector<std::uint8_t> saved { std::istreambuf_iterator<char>(in), {} };
    EXPECT_TRUE(IsSettingsRecordValid(saved));
    EXPECT_EQ(SettingsWord(saved, 140), 1);
    EXPECT_EQ(SettingsWord(saved, 146), 0);
}

} // namespace
} // namespace velomira
