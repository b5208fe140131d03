#include "settings/SettingsFile.h"

#include <utility>

#include "platform/CardPath.h"
#include "settings/CardFiles.h"
#include "texts/TextCatalogue.h"

namespace velomira {

std::optional<SettingsFileContent> ReadSettingsFile(
    char letter, const DriveRoots& drives, const FileOperations& ops)
{
    for (const auto& [path, place] :
        { std::pair { CardRootPath(letter, kSettingsFileName), SettingsPlace::Root },
            std::pair { CardSetupPath(letter, kSettingsFileName), SettingsPlace::Setup } }) {
        CardFilePrefix prefix = ReadCardFile(path, drives, kSettingsRecordBytes, ops);
        if (prefix.status == CardFileStatus::Missing)
            continue;
        return SettingsFileContent { std::move(prefix.bytes), place,
            prefix.status == CardFileStatus::ReadError, prefix.error };
    }
    return std::nullopt;
}

bool WriteSettingsFile(char letter, const DriveRoots& drives, SettingsRecord record,
    const FileOperations& ops, const FolderNotFlushed& folderNotFlushed)
{
    UpdateSettingsChecksum(record);
    const auto target = ToLinuxPath(CardRootPath(letter, kSettingsFileName), drives);
    if (!target)
        return false;
    return WriteFileAtomically(*target, record, ops, folderNotFlushed);
}

SettingsCheck CheckAndRestoreSettings(char letter, const DriveRoots& drives, int language,
    MessageBoxService& messages, const FileOperations& ops, const FolderNotFlushed& folderNotFlushed)
{
    const auto content = ReadSettingsFile(letter, drives, ops);
    if (content && !content->readFailed && IsSettingsRecordValid(content->bytes))
        return SettingsCheck::Proceed;

    const auto cannotOpen = [&] {
        if (const auto notice = ComposeMessage(MessageUse::SettingsFileNotOpened, language))
            messages.Show(*notice);
        return SettingsCheck::Stop;
    };
    if (content && content->readFailed)
        return cannotOpen();

    // A question that cannot be asked in this language counts as not confirmed.
    bool restore = false;
    if (const auto question = ComposeMessage(MessageUse::SettingsFileDamaged, language))
        restore = messages.Show(*question) == MessageAnswer::Yes;
    if (restore && WriteSettingsFile(
                       letter, drives, DefaultSettingsRecord(language), ops, folderNotFlushed))
        return SettingsCheck::Proceed;
    return cannotOpen();
}

} // namespace velomira
