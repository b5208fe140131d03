#include "settings/editor/SetupSave.h"

#include "texts/TextCatalogue.h"

namespace velomira {

SetupSaveResult SaveChangedSettings(const SettingsRecord& record, const SettingsRecord& opening,
    int windowLanguage, MessageBoxService& messages, const SettingsWriter& write)
{
    if (record == opening)
        return SetupSaveResult::Unchanged;
    const int recordLanguage = SettingsWord(record, kLanguageWordOffset).value_or(0);
    auto question = ComposeMessage(MessageUse::SaveChanges, recordLanguage);
    if (!question) {
        // A language word with no text still asks, with an empty text.
        question = ComposeMessage(MessageUse::SaveChanges, kLanguageEnglish);
        question->text.clear();
    }
    if (messages.Show(*question) != MessageAnswer::Yes)
        return SetupSaveResult::Declined;
    if (write && write(record))
        return SetupSaveResult::Written;
    auto notice = ComposeMessage(MessageUse::SettingsFileNotOpened, windowLanguage);
    if (!notice)
        notice = ComposeMessage(MessageUse::SettingsFileNotOpened, kLanguageEnglish);
    messages.Show(*notice);
    return SetupSaveResult::WriteFailed;
}

} // namespace velomira
