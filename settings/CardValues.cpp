#include "settings/CardValues.h"

#include "platform/CardSearch.h"
#include "settings/FactoryFile.h"
#include "settings/SettingsFile.h"

namespace velomira {
namespace {

// Word `offset` of the settings file of a card whose factory file carries the mark.
std::optional<std::uint16_t> MarkedSettingsWord(
    char letter, const DriveRoots& drives, std::size_t offset)
{
    const auto factory = ReadFactoryPrefix(letter, drives);
    if (!factory || !HasSettingsMark(*factory))
        return std::nullopt;
    const auto settings = ReadSettingsFile(letter, drives);
    if (!settings)
        return std::nullopt;
    return SettingsWord(settings->bytes, offset);
}

} // namespace

int ResolveLanguage(int value, const DriveRoots& drives, CardValues& values)
{
    if (value != -1) {
        values.language = value;
        return values.language;
    }
    const auto drive = FindCardDrive(drives);
    values.cardDrive = drive.value_or(std::string());
    if (!drive) {
        values.language = 0;
        return values.language;
    }
    if (const auto word = MarkedSettingsWord((*drive)[0], drives, kLanguageWordOffset))
        values.language = *word;
    return values.language;
}

int ResolveSpeedUnit(int value, const DriveRoots& drives, CardValues& values)
{
    if (value != 2) {
        values.speedUnit = value;
        return values.speedUnit;
    }
    const auto drive = FindCardDrive(drives);
    values.cardDrive = drive.value_or(std::string());
    if (!drive) {
        values.speedUnit = 0;
        return values.speedUnit;
    }
    if (const auto word = MarkedSettingsWord((*drive)[0], drives, kSpeedUnitWordOffset))
        values.speedUnit = *word == 1 ? 1 : 0;
    return values.speedUnit;
}

} // namespace velomira
