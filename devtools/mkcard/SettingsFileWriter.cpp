#include "devtools/mkcard/SettingsFileWriter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace velomira {
namespace {

// (byte offset, default value) of every word that is not zero in the default record; the
// language words 146, 148 and the time zone 166 are set separately.
constexpr std::pair<int, uint16_t> kDefaultWords[] = {
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

void PutWord(std::vector<uint8_t>& record, int offset, uint16_t value)
{
    record[static_cast<size_t>(offset)] = static_cast<uint8_t>(value & 0xff);
    record[static_cast<size_t>(offset) + 1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

uint8_t SettingsFileChecksum(const std::vector<uint8_t>& record)
{
    uint8_t value = 0;
    for (size_t i = 4; i < kSettingsFileBytes && i < record.size(); ++i)
        value ^= record[i];
    return static_cast<uint8_t>(~value);
}

std::vector<uint8_t> DefaultSettingsFile(int language)
{
    std::vector<uint8_t> record(kSettingsFileBytes, 0);
    record[0] = 'P';
    record[1] = 'L';
    record[2] = 'K';
    for (const auto& [offset, value] : kDefaultWords)
        PutWord(record, offset, value);
    const auto code = static_cast<uint16_t>(language);
    PutWord(record, 146, code);
    PutWord(record, 148, code);
    PutWord(record, 166, (language == 0 || language == 2) ? 9 : 0);
    record[3] = SettingsFileChecksum(record);
    return record;
}

bool ValidFactoryVersion(const std::string& version)
{
    return version.size() == 3 || version.size() == 4;
}

std::vector<uint8_t> FactoryFile(const FactoryFileOptions& options)
{
    std::vector<uint8_t> bytes(std::max<size_t>(options.length, 66), 0);
    if (options.mark) {
        bytes[0] = 'P';
        bytes[1] = 'L';
        bytes[2] = 'K';
    }
    static constexpr char kModel[] = "VELOMIRA6 FACTORY";
    std::memcpy(bytes.data() + 8, kModel, sizeof kModel - 1);
    bytes[46] = 'v';
    if (ValidFactoryVersion(options.version)) {
        bytes[47] = static_cast<uint8_t>(options.version[0]);
        bytes[48] = '.';
        bytes[49] = static_cast<uint8_t>(options.version[1]);
        bytes[50] = '.';
        bytes[51] = static_cast<uint8_t>(options.version[2]);
        bytes[52] = options.version.size() == 4 ? static_cast<uint8_t>(options.version[3]) : 0;
    }
    bytes.resize(options.length);
    return bytes;
}

} // namespace velomira
