#include "settings/SettingsRecord.h"

#include <algorithm>
#include <utility>

namespace velomira {
namespace {

constexpr std::array<SettingsWordInfo, 39> kKnownWords { {
    { 10, "cameraOffsetMm" },
    { 12, "vehicleType" },
    { 14, "cameraHeightCm" },
    { 16, "vehicleWidthCm" },
    { 20, "mountingPosition" },
    { 36, "laneDepartureWarning" },
    { 40, "laneDepartureVoice" },
    { 50, "laneDepartureSpeedKmh" },
    { 52, "laneDepartureSpeedMinus5Kmh" },
    { 54, "laneDepartureSensitivityLeft" },
    { 56, "laneDepartureSensitivityRight" },
    { 58, "vehicleAheadDepartureNotice" },
    { 62, "vehicleAheadDepartureVoice" },
    { 90, "forwardCollisionWarning" },
    { 94, "forwardCollisionVoice" },
    { 108, "forwardCollisionSpeedKmh" },
    { 110, "forwardCollisionSpeedMinus5Kmh" },
    { 114, "forwardCollisionSensitivity" },
    { 116, "continuousRecording" },
    { 118, "voiceRecording" },
    { 120, "impactThresholdXCentiG" },
    { 122, "impactThresholdYCentiG" },
    { 124, "impactThresholdZCentiG" },
    { 128, "impactSensitivity" },
    { 130, "motionSensitivity" },
    { 132, "recordingResolution" },
    { 134, "deviceScreenPicture" },
    { 136, "deviceScreenOff" },
    { 138, "showSpeedOnDevice" },
    { 140, "speedUnit" },
    { 142, "showDrivingAssistance" },
    { 144, "showHorizonLine" },
    { 146, "language" },
    { 148, "languageCopy" },
    { 152, "speakerVolume" },
    { 154, "microphoneVolume" },
    { 160, "parkingCutOffVoltageIndex" },
    { 164, "eventStoredVoice" },
    { 166, "timeZoneHours" },
} };

// Every word that is not zero in the default record (language words set separately).
constexpr std::pair<std::size_t, std::uint16_t> kDefaultWords[] = {
    { 4, 200 },
    { 14, 130 },
    { 16, 180 },
    { 18, 150 },
    { 20, 1 },
    { 24, 160 },
    { 26, 160 },
    { 30, 2548 },
    { 34, 1 },
    { 36, 1 },
    { 38, 1 },
    { 40, 1 },
    { 46, 200 },
    { 50, 60 },
    { 52, 55 },
    { 54, 6 },
    { 56, 6 },
    { 58, 1 },
    { 60, 1 },
    { 62, 1 },
    { 68, 15000 },
    { 70, 1000 },
    { 90, 1 },
    { 92, 1 },
    { 94, 1 },
    { 96, 1 },
    { 102, 100 },
    { 104, 100 },
    { 106, 100 },
    { 108, 30 },
    { 110, 25 },
    { 112, 700 },
    { 114, 1 },
    { 116, 1 },
    { 118, 1 },
    { 120, 70 },
    { 122, 70 },
    { 124, 70 },
    { 126, 110 },
    { 128, 1 },
    { 130, 1 },
    { 136, 1 },
    { 138, 1 },
    { 142, 1 },
    { 144, 1 },
    { 150, 1 },
    { 152, 13 },
    { 154, 12 },
    { 160, 5 },
    { 162, 1 },
    { 164, 1 },
    { 168, 5 },
};

bool IsWordOffset(std::size_t offset)
{
    return offset >= kFirstSettingsWord && offset + 1 < kSettingsRecordBytes && offset % 2 == 0;
}

} // namespace

std::uint8_t SettingsChecksum(std::span<const std::uint8_t> record)
{
    std::uint8_t sum = 0;
    for (std::size_t i = kFirstSettingsWord; i < std::min(record.size(), kSettingsRecordBytes); ++i)
        sum ^= record[i];
    return static_cast<std::uint8_t>(~sum);
}

bool IsSettingsRecordValid(std::span<const std::uint8_t> record)
{
    return record.size() >= kSettingsRecordBytes
        && record[kSettingsChecksumOffset] == SettingsChecksum(record);
}

SettingsRecord DefaultSettingsRecord(int language)
{
    SettingsRecord record {};
    record[0] = 'P';
    record[1] = 'L';
    record[2] = 'K';
    for (const auto& [offset, value] : kDefaultWords)
        SetSettingsWord(record, offset, value);
    const int words146 = (language >= 0 && language <= 5) ? language : 1;
    const std::uint16_t timeZone = (language == 0 || language == 2) ? 9 : 0;
    SetSettingsWord(record, 146, static_cast<std::uint16_t>(words146));
    SetSettingsWord(record, 148, static_cast<std::uint16_t>(words146));
    SetSettingsWord(record, 166, timeZone);
    UpdateSettingsChecksum(record);
    return record;
}

bool SetSettingsWordWithCompanion(SettingsRecord& record, std::size_t offset, std::uint16_t value)
{
    // (word, companion, companion - word)
    struct Pair {
        std::size_t word;
        std::size_t companion;
        int difference;
    };
    static constexpr Pair kPairs[] = { { 50, 52, -5 }, { 108, 110, -5 }, { 146, 148, 0 } };
    if (!SetSettingsWord(record, offset, value))
        return false;
    for (const Pair& pair : kPairs) {
        if (offset == pair.word)
            SetSettingsWord(
                record, pair.companion, static_cast<std::uint16_t>(value + pair.difference));
        else if (offset == pair.companion)
            SetSettingsWord(record, pair.word, static_cast<std::uint16_t>(value - pair.difference));
    }
    return true;
}

std::optional<std::uint16_t> SettingsWord(std::span<const std::uint8_t> record, std::size_t offset)
{
    if (!IsWordOffset(offset) || offset + 1 >= record.size())
        return std::nullopt;
    return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

bool SetSettingsWord(SettingsRecord& record, std::size_t offset, std::uint16_t value)
{
    if (!IsWordOffset(offset))
        return false;
    record[offset] = static_cast<std::uint8_t>(value & 0xFF);
    record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    return true;
}

void UpdateSettingsChecksum(SettingsRecord& record)
{
    record[kSettingsChecksumOffset] = SettingsChecksum(record);
}

std::span<const SettingsWordInfo> KnownSettingsWords()
{
    return kKnownWords;
}

std::string_view SettingsWordName(std::size_t offset)
{
    for (const SettingsWordInfo& info : kKnownWords) {
        if (info.offset == offset)
            return info.name;
    }
    return {};
}

} // namespace velomira
