#include "texts/TextCatalogue.h"

#include <algorithm>
#include <array>

#include "texts/AppValues.h"

namespace velomira {
namespace {

// Three lines; the second names the maker's viewer download page.
constexpr std::string_view kVersionsDiffer
    = "本体とビュアーのバージョンが合っていません。\n"
      " https://www.velomira.example/download/から、\n"
      "「Q」用のビュアーソフトをダウンロードしてお使いください。";

constexpr std::array<CatalogueText, 17> kCatalogue { {
    { TextId::NoCard, "루미엘 SD 카드가 없습니다.", "There is no device SD card.",
        "SDカードを認識できません。", TextChoice::ThreeWay },
    { TextId::VersionsDiffer, "", "", kVersionsDiffer, TextChoice::JapaneseOnly },
    { TextId::InvalidFile, "재생할 수 없는 파일입니다.\n파일명 : %s",
        "Invalid File.\nFile name : %s", "ファイルを再生できません。: %s", TextChoice::ThreeWay },
    { TextId::SourceFilterMissing, "Source Filter가 등록되지 않았습니다.",
        "Source Filter is not registered.", "", TextChoice::KoreanOrEnglish },
    { TextId::VideoFilterMissing, "Video Filter(ffdshow)가 등록되지 않았습니다.",
        "Video Filter(ffdshow) is not registered.", "", TextChoice::KoreanOrEnglish },
    { TextId::NoFileSelected, "선택된 파일이 없습니다.", "File is not selected.",
        "ファイルが選択されていません。", TextChoice::ThreeWay },
    { TextId::DownloadFolderPrompt,
        "재생중인 파일을 저장할 폴더 : ", "Select Download Target folder",
        "ダウンロード先のフォルダを選択して下さい。", TextChoice::ThreeWay },
    { TextId::DownloadDone, "현재 재생중인 파일이 %s로 복사되었습니다.",
        "The File that is playing copies to %s.", "再生中のファイルを%sへコピーします。",
        TextChoice::ThreeWay },
    { TextId::FormatQuestion, "루미엘 SD 카드인 %c 드라이브를 포맷하시겠습니까?",
        "Do you want to format the drive %c of VELOMIRA6 SD Card?",
        "ドライバをフォーマットしますか？", TextChoice::ThreeWay },
    { TextId::FormatFailed, "포맷에 실패하였습니다.", "Fail to disk format",
        "フォーマットに失敗しました。", TextChoice::ThreeWay },
    { TextId::FormatDone, "포맷이 완료되었습니다.", "Format Complete", "フォーマット完了",
        TextChoice::ThreeWay },
    { TextId::SettingsFileDamaged, "설정파일에 문제가 있습니다. 복구할까요?",
        "Setup file has a problem. Do you want to restore?",
        "設定ファイルに問題が有ります。再度設定しますか？", TextChoice::ThreeWay },
    { TextId::SettingsFileNotOpened, "셋업파일을 열 수 없습니다.", "Can't open a setup file.",
        "設定ファイルが開けません。", TextChoice::ThreeWay },
    { TextId::SaveChanges, "변경사항을 저장할까요?", "Do you want to save the changes?",
        "変更を保存しますか？", TextChoice::ThreeWay },
    { TextId::PrintFailed, "", "Print Fail", "", TextChoice::EnglishOnly },
    // The settings pages' messages for a field that holds no number: Japanese in every
    // language.
    { TextId::EnterWholeNumber, "", "", "整数を入力してください。", TextChoice::JapaneseOnly },
    { TextId::EnterDecimalNumber, "", "", "数字を入力してください。", TextChoice::JapaneseOnly },
} };

enum class TitleKind { Product, VersionText, ApplicationName };

struct MessageUseRow {
    MessageUse use;
    TextId text;
    TitleKind title;
    MessageButtons buttons;
    MessageIcon icon;
};

// Boxes titled with the application name carry the icon the message-box service would
// add (exclamation for OK and OK/Cancel, question for Yes/No); boxes with an explicit
// title carry only the icon their row names.
constexpr std::array<MessageUseRow, 18> kUses { {
    { MessageUse::NoCard, TextId::NoCard, TitleKind::Product, MessageButtons::Ok,
        MessageIcon::None },
    { MessageUse::VersionsDiffer, TextId::VersionsDiffer, TitleKind::ApplicationName,
        MessageButtons::Ok, MessageIcon::Exclamation },
    { MessageUse::InvalidFile, TextId::InvalidFile, TitleKind::ApplicationName, MessageButtons::Ok,
        MessageIcon::Exclamation },
    { MessageUse::SourceFilterMissing, TextId::SourceFilterMissing, TitleKind::Product,
        MessageButtons::Ok, MessageIcon::None },
    { MessageUse::VideoFilterMissing, TextId::VideoFilterMissing, TitleKind::Product,
        MessageButtons::Ok, MessageIcon::None },
    { MessageUse::NoFileSelectedFullScreen, TextId::NoFileSelected, TitleKind::VersionText,
        MessageButtons::Ok, MessageIcon::Exclamation },
    { MessageUse::NoFileSelectedGraph, TextId::NoFileSelected, TitleKind::Product,
        MessageButtons::Ok, MessageIcon::Exclamation },
    { MessageUse::NoFileSelectedDownload, TextId::NoFileSelected, TitleKind::ApplicationName,
        MessageButtons::Ok, MessageIcon::Exclamation },
    { MessageUse::DownloadDone, TextId::DownloadDone, TitleKind::Product, MessageButtons::Ok,
        MessageIcon::None },
    { MessageUse::FormatQuestion, TextId::FormatQuestion, TitleKind::Product,
        MessageButtons::OkCancel, MessageIcon::Exclamation },
    { MessageUse::FormatFailed, TextId::FormatFailed, TitleKind::Product, MessageButtons::Ok,
        MessageIcon::None },
    { MessageUse::FormatDone, TextId::FormatDone, TitleKind::Product, MessageButtons::Ok,
        MessageIcon::None },
    { MessageUse::SettingsFileDamaged, TextId::SettingsFileDamaged, TitleKind::ApplicationName,
        MessageButtons::YesNo, MessageIcon::Question },
    { MessageUse::SettingsFileNotOpened, TextId::SettingsFileNotOpened, TitleKind::ApplicationName,
        MessageButtons::Ok, MessageIcon::Exclamation },
    { MessageUse::SaveChanges, TextId::SaveChanges, TitleKind::ApplicationName,
        MessageButtons::YesNo, MessageIcon::Question },
    { MessageUse::PrintFailed, TextId::PrintFailed, TitleKind::VersionText, MessageButtons::Ok,
        MessageIcon::Error },
    { MessageUse::EnterWholeNumber, TextId::EnterWholeNumber, TitleKind::ApplicationName,
        MessageButtons::Ok, MessageIcon::Exclamation },
    { MessageUse::EnterDecimalNumber, TextId::EnterDecimalNumber, TitleKind::ApplicationName,
        MessageButtons::Ok, MessageIcon::Exclamation },
} };

const CatalogueText* FindText(TextId id)
{
    const auto it = std::find_if(kCatalogue.begin(), kCatalogue.end(),
        [id](const CatalogueText& row) { return row.id == id; });
    return it == kCatalogue.end() ? nullptr : &*it;
}

} // namespace

std::span<const CatalogueText> MessageCatalogue()
{
    return kCatalogue;
}

std::optional<std::string> ChooseForm(TextChoice choice, std::string_view korean,
    std::string_view english, std::string_view japanese, int language)
{
    switch (choice) {
    case TextChoice::ThreeWay:
        if (language == kLanguageKorean)
            return std::string(korean);
        // The device's Chinese, Spanish and Russian settings read the English texts.
        if (language == kLanguageEnglish || (language >= 3 && language <= 5))
            return std::string(english);
        if (language == kLanguageJapanese)
            return std::string(japanese);
        return std::nullopt;
    case TextChoice::KoreanOrEnglish:
        return std::string(language == kLanguageKorean ? korean : english);
    case TextChoice::JapaneseOnly:
        return std::string(japanese);
    case TextChoice::EnglishOnly:
        return std::string(english);
    case TextChoice::KoreanOnly:
        return std::string(korean);
    }
    return std::nullopt;
}

std::optional<std::string> ChooseText(TextId id, int language)
{
    const CatalogueText* row = FindText(id);
    if (row == nullptr)
        return std::nullopt;
    return ChooseForm(row->choice, row->korean, row->english, row->japanese, language);
}

std::optional<std::string> ProductTitle(int language)
{
    return ProductTitleFor(TextChoice::ThreeWay, language);
}

std::optional<std::string> ProductTitleFor(TextChoice choice, int language)
{
    return ChooseForm(choice, "루미엘", "VELOMIRA6", "ベロミラ6", language);
}

std::string FillPlaceholder(std::string_view pattern, std::string_view argument)
{
    std::string out;
    out.reserve(pattern.size() + argument.size());
    bool filled = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            const char next = pattern[i + 1];
            if (next == '%') {
                out += "%%";
                ++i;
                continue;
            }
            if (!filled && (next == 's' || next == 'c')) {
                out += argument;
                filled = true;
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

std::optional<MessageBoxRequest> ComposeMessage(
    MessageUse use, int language, std::string_view argument)
{
    const auto it = std::find_if(
        kUses.begin(), kUses.end(), [use](const MessageUseRow& row) { return row.use == use; });
    if (it == kUses.end())
        return std::nullopt;
    const CatalogueText* row = FindText(it->text);
    if (row == nullptr)
        return std::nullopt;
    std::optional<std::string> text = ChooseText(it->text, language);
    if (!text)
        return std::nullopt;
    MessageBoxRequest request;
    request.text = FillPlaceholder(*text, argument);
    request.buttons = it->buttons;
    request.icon = it->icon;
    switch (it->title) {
    case TitleKind::Product:
        request.title = ProductTitleFor(row->choice, language).value_or(std::string());
        break;
    case TitleKind::VersionText:
        request.title = VersionText();
        break;
    case TitleKind::ApplicationName:
        break;
    }
    return request;
}

} // namespace velomira
