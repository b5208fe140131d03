#include "settings/FactoryFile.h"

#include "platform/CardPath.h"
#include "settings/CardFiles.h"
#include "texts/TextCatalogue.h"

namespace velomira {
namespace {

int ByteAt(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return offset < bytes.size() ? bytes[offset] : 0;
}

} // namespace

FirmwareVersion ReadFirmwareVersion(std::span<const std::uint8_t> prefix)
{
    FirmwareVersion version;
    version.number = 100 * (ByteAt(prefix, 47) - '0') + 10 * (ByteAt(prefix, 49) - '0')
        + (ByteAt(prefix, 51) - '0');
    version.suffix = static_cast<std::uint8_t>(ByteAt(prefix, 52));
    return version;
}

bool IsNewFirmwareVersion(const FirmwareVersion& version)
{
    return version.number > 202 || (version.number == 202 && version.suffix > 0);
}

bool HasSettingsMark(std::span<const std::uint8_t> prefix)
{
    return prefix.size() >= 3 && prefix[0] == 'P' && prefix[1] == 'L' && prefix[2] == 'K';
}

bool CheckDeviceGeneration(char letter, const DriveRoots& drives)
{
    const auto length = CardFileLength(CardSetupRelativePath(letter, kFactoryFileName), drives);
    return length && *length < kOtherGenerationLength;
}

bool IsNewFirmware(char letter, const DriveRoots& drives)
{
    const auto prefix = ReadCardFilePrefix(
        CardSetupRelativePath(letter, kFactoryFileName), drives, kFactoryPrefixBytes);
    return prefix && IsNewFirmwareVersion(ReadFirmwareVersion(*prefix));
}

std::optional<std::vector<std::uint8_t>> ReadFactoryPrefix(char letter, const DriveRoots& drives)
{
    return ReadCardFilePrefix(CardSetupPath(letter, kFactoryFileName), drives, kFactoryPrefixBytes);
}

std::optional<FactoryFileInfo> ReadFactoryFileInfo(char letter, const DriveRoots& drives)
{
    const auto length = CardFileLength(CardSetupRelativePath(letter, kFactoryFileName), drives);
    const auto prefix = ReadFactoryPrefix(letter, drives);
    if (!length || !prefix)
        return std::nullopt;
    FactoryFileInfo info;
    info.length = *length;
    info.compatible = *length < kOtherGenerationLength;
    info.version = ReadFirmwareVersion(*prefix);
    info.newFirmware = IsNewFirmwareVersion(info.version);
    info.settingsMark = HasSettingsMark(*prefix);
    return info;
}

void ShowVersionMismatch(MessageBoxService& messages)
{
    if (const auto request = ComposeMessage(MessageUse::VersionsDiffer, kLanguageJapanese))
        messages.Show(*request);
}

} // namespace velomira
