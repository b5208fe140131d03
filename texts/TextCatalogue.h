#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "texts/MessageBoxService.h"

namespace velomira {

// The values of `language`: 0 Japanese, 1 English, 2 Korean. The device also knows 3
// Chinese, 4 Spanish and 5 Russian, for which the viewer shows its English texts. Other
// values occur (a damaged settings file supplies them) and simply select no text where a
// text has one form per language.
inline constexpr int kLanguageJapanese = 0;
inline constexpr int kLanguageEnglish = 1;
inline constexpr int kLanguageKorean = 2;

// How a text is chosen from `language`.
enum class TextChoice {
    ThreeWay, // 2 Korean, 1 and 3 to 5 English, 0 Japanese, anything else: no text
    KoreanOrEnglish, // 2 Korean, anything else English
    JapaneseOnly, // the same text whatever the language
    EnglishOnly,
    KoreanOnly,
};

// Every text of the message catalogue.
enum class TextId {
    NoCard,
    VersionsDiffer,
    InvalidFile, // %s: the recording's full path
    SourceFilterMissing,
    VideoFilterMissing,
    NoFileSelected,
    DownloadFolderPrompt,
    DownloadDone, // %s: the target
    FormatQuestion, // %c: the card's drive letter (the Japanese text has no place for it)
    FormatFailed,
    FormatDone,
    SettingsFileDamaged,
    SettingsFileNotOpened,
    SaveChanges,
    PrintFailed,
    // The settings pages' edit fields.
    EnterWholeNumber,
    EnterDecimalNumber,
};

// One row of the message catalogue. A form that does not exist is empty.
struct CatalogueText {
    TextId id;
    std::string_view korean;
    std::string_view english;
    std::string_view japanese;
    TextChoice choice;
};

std::span<const CatalogueText> MessageCatalogue();

// The text for `language` by the text's own choice rule, placeholders left in place;
// nothing where the rule gives no text.
std::optional<std::string> ChooseText(TextId id, int language);

// Picks among three forms by `choice` (the one choice function every table uses).
std::optional<std::string> ChooseForm(TextChoice choice, std::string_view korean,
    std::string_view english, std::string_view japanese, int language);

// The product title: "루미엘", "VELOMIRA6" or "ベロミラ6" (the English one for 3 to 5);
// nothing outside 0..5.
std::optional<std::string> ProductTitle(int language);

// The product title chosen by the rule of a message's text (a Korean-or-English message
// gets a Korean-or-English title).
std::optional<std::string> ProductTitleFor(TextChoice choice, int language);

// Replaces the first %s or %c of `pattern` with `argument`; "%%" stays "%%".
std::string FillPlaceholder(std::string_view pattern, std::string_view argument);

// The message boxes the viewer raises, each one use of a catalogue text with its title
// and buttons (one text may be shown in several places with different titles).
enum class MessageUse {
    NoCard,
    VersionsDiffer,
    InvalidFile,
    SourceFilterMissing,
    VideoFilterMissing,
    NoFileSelectedFullScreen,
    NoFileSelectedGraph,
    NoFileSelectedDownload,
    DownloadDone,
    FormatQuestion,
    FormatFailed,
    FormatDone,
    SettingsFileDamaged,
    SettingsFileNotOpened,
    SaveChanges,
    PrintFailed,
    EnterWholeNumber,
    EnterDecimalNumber,
};

// The complete box for `language` with `argument` put into the placeholder, ready for
// MessageBoxService::Show; nothing when the text's rule gives no text (the box is then not
// shown and a question counts as not confirmed). An empty title means the application's
// name.
std::optional<MessageBoxRequest> ComposeMessage(
    MessageUse use, int language, std::string_view argument = {});

} // namespace velomira
