#include "settings/SettingsFile.h"

#include "platform/CardPath.h"
#include "settings/CardFiles.h"
#include "texts/TextCatalogue.h"

namespace velomira {

std::optional<SettingsFileContent> ReadSettingsFile(char letter, const DriveRoots& drives)
{
    if (auto bytes
        = ReadCardFilePrefix(CardRootPath(letter, kSettingsFileName), drives, kSettingsRecordBytes))
        return SettingsFileContent { std::move(*bytes), SettingsPlace::Root };
    if (auto bytes = ReadCardFilePrefix(
            CardSetupPath(letter, kSettingsFileName), drives, kSettingsRecordBytes))
        return SettingsFileContent { std::move(*bytes), SettingsPlace::Setup };
    return std::nullopt;
}

bool WriteSettingsFile(char letter, const DriveRoots& drives, SettingsRecord record)
{
    UpdateSettingsChecksum(record);
    const auto target = ToLinuxPath(CardRootPath(letter, kSettingsFileName), drives);
    if (!target)
        return false;
    return WriteFileAtomically(*target, record);
}

SettingsCheck CheckAndRestoreSettings(
    char letter, const DriveRoots& drives, int language, MessageBoxService& messages)
{
    const auto content = ReadSettingsFile(letter, drives);
    if (content && IsSettingsRecordValid(content->bytes))
        return SettingsCheck::Proceed;

    // A question that cannot be asked in this language counts as not confirmed.
    bool restore = false;
    if (const auto question = ComposeMessage(MessageUse::SettingsFileDamaged, language))
        restore = messages.Show(*question) == MessageAnswer::Yes;
    if (restore) {
        WriteSettingsFile(letter, drives, DefaultSettingsRecord(language));
        return SettingsCheck::Proceed;
    }
    if (const auto notice = ComposeMessage(MessageUse::SettingsFileNotOpened, language))
        messages.Show(*notice);
    return SettingsCheck::Stop;
}

} // namespace velomira
