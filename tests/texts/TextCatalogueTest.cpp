#include "texts/TextCatalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "texts/Tooltips.h"

namespace velomira {
namespace {

struct ExpectedText {
    TextId id;
    const char* korean; // nullptr: no text in that language
    const char* english;
    const char* japanese;
};

// The catalogue as the user sees it, written out independently of the implementation.
const ExpectedText kExpected[] = {
    { TextId::NoCard, "루미엘 SD 카드가 없습니다.", "There is no device SD card.",
        "SDカードを認識できません。" },
    { TextId::InvalidFile, "재생할 수 없는 파일입니다.\n파일명 : %s",
        "Invalid File.\nFile name : %s", "ファイルを再生できません。: %s" },
    { TextId::SourceFilterMissing, "Source Filter가 등록되지 않았습니다.",
        "Source Filter is not registered.", "Source Filter is not registered." },
    { TextId::VideoFilterMissing, "Video Filter(ffdshow)가 등록되지 않았습니다.",
        "Video Filter(ffdshow) is not registered.", "Video Filter(ffdshow) is not registered." },
    { TextId::NoFileSelected, "선택된 파일이 없습니다.", "File is not selected.",
        "ファイルが選択されていません。" },
    { TextId::DownloadFolderPrompt, "재생중인 파일을 저장할 폴더 : ",
        "Select Download Target folder", "ダウンロード先のフォルダを選択して下さい。" },
    { TextId::DownloadDone, "현재 재생중인 파일이 %s로 복사되었습니다.",
        "The File that is playing copies to %s.", "再生中のファイルを%sへコピーします。" },
    { TextId::FormatQuestion, "루미엘 SD 카드인 %c 드라이브를 포맷하시겠습니까?",
        "Do you want to format the drive %c of VELOMIRA6 SD Card?",
        "ドライバをフォーマットしますか？" },
    { TextId::FormatFailed, "포맷에 실패하였습니다.", "Fail to disk format",
        "フォーマットに失敗しました。" },
    { TextId::FormatDone, "포맷이 완료되었습니다.", "Format Complete", "フォーマット完了" },
    { TextId::SettingsFileDamaged, "설정파일에 문제가 있습니다. 복구할까요?",
        "Setup file has a problem. Do you want to restore?",
        "設定ファイルに問題が有ります。再度設定しますか？" },
    { TextId::SettingsFileNotOpened, "셋업파일을 열 수 없습니다.", "Can't open a setup file.",
        "設定ファイルが開けません。" },
    { TextId::SaveChanges, "변경사항을 저장할까요?", "Do you want to save the changes?",
        "変更を保存しますか？" },
    { TextId::PrintFailed, "Print Fail", "Print Fail", "Print Fail" },
    { TextId::EnterWholeNumber, "整数を入力してください。", "整数を入力してください。",
        "整数を入力してください。" },
    { TextId::EnterDecimalNumber, "数字を入力してください。", "数字を入力してください。",
        "数字を入力してください。" },
};

TEST(TextChoice, EveryCatalogueTextMatchesItsTableInEachLanguage)
{
    for (const ExpectedText& row : kExpected) {
        SCOPED_TRACE(static_cast<int>(row.id));
        EXPECT_EQ(ChooseText(row.id, kLanguageKorean), row.korean);
        EXPECT_EQ(ChooseText(row.id, kLanguageEnglish), row.english);
        EXPECT_EQ(ChooseText(row.id, kLanguageJapanese), row.japanese);
    }
    EXPECT_EQ(MessageCatalogue().size(), std::size(kExpected) + 1); // + versions differ
}

TEST(TextChoice, TheDevicesOtherLanguagesReadTheEnglishTexts)
{
    // 3 Chinese, 4 Spanish, 5 Russian: legal on the device, no texts of their own.
    for (int language : { 3, 4, 5 }) {
        EXPECT_EQ(ChooseText(TextId::NoCard, language), ChooseText(TextId::NoCard, 1));
        EXPECT_EQ(
            ChooseText(TextId::FormatQuestion, language), ChooseText(TextId::FormatQuestion, 1));
        EXPECT_EQ(ProductTitle(language), "VELOMIRA6");
        EXPECT_EQ(TooltipText(1194, language), "Open an existing file");
        const auto box = ComposeMessage(MessageUse::SettingsFileDamaged, language);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text, "Setup file has a problem. Do you want to restore?");
    }
}

TEST(TextChoice, LanguageOutsideRangeGivesNoThreeWayTextButEnglishForKoreanOrEnglish)
{
    for (int language : { -1, 6, 7 }) {
        EXPECT_FALSE(ChooseText(TextId::NoCard, language));
        EXPECT_FALSE(ChooseText(TextId::SaveChanges, language));
        EXPECT_FALSE(ProductTitle(language));
        EXPECT_EQ(
            ChooseText(TextId::SourceFilterMissing, language), "Source Filter is not registered.");
        EXPECT_EQ(ChooseText(TextId::PrintFailed, language), "Print Fail");
        EXPECT_TRUE(ChooseText(TextId::VersionsDiffer, language));
    }
}

TEST(TextChoice, VersionsDifferIsThreeJapaneseLinesNamingTheDownloadPage)
{
    const std::string text = ChooseText(TextId::VersionsDiffer, kLanguageKorean).value();
    EXPECT_EQ(text, ChooseText(TextId::VersionsDiffer, kLanguageEnglish).value());
    const auto first = text.find('\n');
    const auto second = text.find('\n', first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(text.find('\n', second + 1), std::string::npos);
    EXPECT_EQ(text.substr(0, first), "本体とビュアーのバージョンが合っていません。");
    const std::string middle = text.substr(first + 1, second - first - 1);
    EXPECT_EQ(middle.substr(0, 1), " ");
    EXPECT_EQ(middle.substr(middle.size() - std::string("から、").size()), "から、");
    EXPECT_EQ(text.substr(second + 1), "「Q」用のビュアーソフトをダウンロードしてお使いください。");
}

TEST(ProductTitles, FollowLanguageAndTheMessagesChoice)
{
    EXPECT_EQ(ProductTitle(2), "루미엘");
    EXPECT_EQ(ProductTitle(1), "VELOMIRA6");
    EXPECT_EQ(ProductTitle(0), "ベロミラ6");
    EXPECT_EQ(ProductTitleFor(TextChoice::KoreanOrEnglish, 0), "VELOMIRA6");
    EXPECT_EQ(ProductTitleFor(TextChoice::KoreanOrEnglish, 7), "VELOMIRA6");
}

struct ComposeCase {
    const char* name;
    MessageUse use;
    int language;
    const char* argument;
    const char* text;
    const char* title; // "" is the application's name
    MessageButtons buttons;
    MessageIcon icon;
};

TEST(ComposedMessages, CarryTextTitleButtonsAndPlaceholder)
{
    const ComposeCase cases[] = {
        { "no card korean", MessageUse::NoCard, 2, "", "루미엘 SD 카드가 없습니다.", "루미엘",
            MessageButtons::Ok, MessageIcon::None },
        { "invalid file english", MessageUse::InvalidFile, 1, "/c/a.mp4",
            "Invalid File.\nFile name : /c/a.mp4", "", MessageButtons::Ok,
            MessageIcon::Exclamation },
        { "format question korean", MessageUse::FormatQuestion, 2, "E",
            "루미엘 SD 카드인 E 드라이브를 포맷하시겠습니까?", "루미엘", MessageButtons::OkCancel,
            MessageIcon::Exclamation },
        { "format question japanese drops the letter", MessageUse::FormatQuestion, 0, "E",
            "ドライバをフォーマットしますか？", "ベロミラ6", MessageButtons::OkCancel,
            MessageIcon::Exclamation },
        { "source filter in japanese is english", MessageUse::SourceFilterMissing, 0, "",
            "Source Filter is not registered.", "VELOMIRA6", MessageButtons::Ok,
            MessageIcon::None },
        { "no file full screen", MessageUse::NoFileSelectedFullScreen, 1, "",
            "File is not selected.", "VELOMIRA6 v.1.0.3", MessageButtons::Ok,
            MessageIcon::Exclamation },
        { "damaged settings asks", MessageUse::SettingsFileDamaged, 1, "",
            "Setup file has a problem. Do you want to restore?", "", MessageButtons::YesNo,
            MessageIcon::Question },
        { "print failed", MessageUse::PrintFailed, 2, "", "Print Fail", "VELOMIRA6 v.1.0.3",
            MessageButtons::Ok, MessageIcon::Error },
        { "download done with percent in path", MessageUse::DownloadDone, 1, "/x/%s.mp4",
            "The File that is playing copies to /x/%s.mp4.", "VELOMIRA6", MessageButtons::Ok,
            MessageIcon::None },
    };
    for (const ComposeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto request = ComposeMessage(c.use, c.language, c.argument);
        ASSERT_TRUE(request);
        EXPECT_EQ(request->text, c.text);
        EXPECT_EQ(request->title, c.title);
        EXPECT_EQ(request->buttons, c.buttons);
        EXPECT_EQ(request->icon, c.icon);
    }
    EXPECT_FALSE(ComposeMessage(MessageUse::FormatQuestion, 7, "E"));
}

TEST(Tooltips, TableInRegistrationOrderWithThreeLanguages)
{
    const int order[] = { 1194, 1012, 1121, 3021, 1041, 1201, 1195, 1198, 1196, 1020, 1197, 1199,
        1007, 1005, 1006, 1008, 1206 };
    ASSERT_EQ(TooltipTable().size(), std::size(order));
    std::set<int> seen;
    for (std::size_t i = 0; i < std::size(order); ++i) {
        EXPECT_EQ(TooltipTable()[i].controlId, order[i]);
        seen.insert(order[i]);
        for (int language : { 0, 1, 2 })
            EXPECT_FALSE(TooltipText(order[i], language).value_or("").empty());
    }
    EXPECT_EQ(seen.size(), std::size(order));
    EXPECT_EQ(TooltipText(1206, 1), "Play speed");
    EXPECT_EQ(TooltipText(1206, 0), "速度再生");
    EXPECT_EQ(TooltipText(1041, 1), "Front View <-> Rear View");
    EXPECT_EQ(TooltipText(1041, 0), "前方⇔後方");
    EXPECT_EQ(TooltipText(1006, 2), "재생 / 일시정지");
    EXPECT_FALSE(TooltipText(1206, 7));
    EXPECT_FALSE(TooltipText(1000, 1));
}

TEST(Tooltips, RegisteredOncePerLanguageChangeAndNoneOutsideTheThree)
{
    int last = -1;
    const auto english = TooltipsToRegister(1, last);
    EXPECT_TRUE(english.changed);
    ASSERT_EQ(english.tips.size(), TooltipTable().size());
    EXPECT_EQ(english.tips.front(), std::make_pair(1194, std::string("Open an existing file")));
    EXPECT_FALSE(TooltipsToRegister(1, last).changed);

    const auto seven = TooltipsToRegister(7, last);
    EXPECT_TRUE(seven.changed);
    EXPECT_TRUE(seven.tips.empty());
    EXPECT_EQ(last, 7);
    EXPECT_FALSE(TooltipsToRegister(7, last).changed);
    EXPECT_EQ(TooltipsToRegister(2, last).tips.back().second, "재생 속도");
}

} // namespace
} // namespace velomira
