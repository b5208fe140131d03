#include "settings/SettingsRecord.h"

#include <gtest/gtest.h>

#include <vector>

#include "settings/FactoryFile.h"

namespace velomira {
namespace {

// The checksum written out independently: xor of bytes 4..199, inverted.
std::uint8_t ReferenceChecksum(const SettingsRecord& r)
{
    unsigned x = 0;
    for (int i = 4; i < 200; ++i)
        x ^= r[i];
    return static_cast<std::uint8_t>(0xFF ^ x);
}

TEST(SettingsChecksums, AllZeroRecordNeedsFFAndAnyChangedByteIsCaught)
{
    SettingsRecord zero {};
    EXPECT_EQ(SettingsChecksum(zero), 0xFF);
    EXPECT_FALSE(IsSettingsRecordValid(zero));
    zero[3] = 0xFF;
    EXPECT_TRUE(IsSettingsRecordValid(zero));

    const SettingsRecord base = DefaultSettingsRecord(1);
    ASSERT_TRUE(IsSettingsRecordValid(base));
    for (std::size_t i = 4; i < 200; ++i) {
        SettingsRecord changed = base;
        changed[i] ^= 0x01;
        EXPECT_FALSE(IsSettingsRecordValid(changed)) << i;
    }
    SettingsRecord letters = base;
    letters[0] = 'X'; // the letters are not part of the check
    EXPECT_TRUE(IsSettingsRecordValid(letters));
    EXPECT_FALSE(IsSettingsRecordValid(std::span(base).first(199)));
}

TEST(DefaultRecords, CarryTheFactoryWordsAndTheLanguageOverrides)
{
    struct Case {
        int language;
        std::uint16_t word146, word148, word166;
    } cases[] = { { 1, 1, 1, 0 }, { 0, 0, 0, 9 }, { 2, 2, 2, 9 }, { 7, 1, 1, 0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        const SettingsRecord r = DefaultSettingsRecord(c.language);
        EXPECT_EQ(r[0], 'P');
        EXPECT_EQ(r[1], 'L');
        EXPECT_EQ(r[2], 'K');
        EXPECT_EQ(r[3], ReferenceChecksum(r));
        EXPECT_EQ(SettingsWord(r, 146), c.word146);
        EXPECT_EQ(SettingsWord(r, 148), c.word148);
        EXPECT_EQ(SettingsWord(r, 166), c.word166);
    }
    const SettingsRecord r = DefaultSettingsRecord(1);
    const std::pair<std::size_t, std::uint16_t> spot[]
        = { { 4, 200 }, { 10, 0 }, { 14, 130 }, { 16, 180 }, { 30, 2548 }, { 50, 60 }, { 52, 55 },
              { 68, 15000 }, { 108, 30 }, { 110, 25 }, { 112, 700 }, { 120, 70 }, { 126, 110 },
              { 140, 0 }, { 152, 13 }, { 154, 12 }, { 160, 5 }, { 168, 5 }, { 198, 0 } };
    for (const auto& [offset, value] : spot)
        EXPECT_EQ(SettingsWord(r, offset), value) << offset;
    EXPECT_EQ(r[68], 15000 & 0xFF); // little-endian
    EXPECT_EQ(r[69], 15000 >> 8);
}

TEST(SettingsWords, OnlyEvenOffsetsInsideTheRecord)
{
    SettingsRecord r {};
    EXPECT_TRUE(SetSettingsWord(r, 198, 0xABCD));
    EXPECT_EQ(SettingsWord(r, 198), 0xABCD);
    for (std::size_t bad : { 0u, 2u, 3u, 5u, 199u, 200u, 1000u }) {
        EXPECT_FALSE(SetSettingsWord(r, bad, 1)) << bad;
        EXPECT_FALSE(SettingsWord(r, bad)) << bad;
    }
    EXPECT_FALSE(SettingsWord(std::span(r).first(147), 146));
    EXPECT_EQ(SettingsWordName(146), "language");
    EXPECT_EQ(SettingsWordName(6), "");
}

std::vector<std::uint8_t> FactoryBytes(
    const char* digits, std::uint8_t suffix, std::size_t length = 66)
{
    std::vector<std::uint8_t> bytes(length, '.');
    bytes[0] = 'P';
    bytes[1] = 'L';
    bytes[2] = 'K';
    bytes[47] = static_cast<std::uint8_t>(digits[0]);
    bytes[49] = static_cast<std::uint8_t>(digits[1]);
    bytes[51] = static_cast<std::uint8_t>(digits[2]);
    bytes[52] = suffix;
    return bytes;
}

TEST(FirmwareVersions, NewFromTwoZeroTwoWithASuffix)
{
    struct Case {
        const char* digits;
        std::uint8_t suffix;
        int number;
        bool isNew;
    } cases[] = {
        { "202", 0, 202, false },
        { "202", 'a', 202, true },
        { "203", 0, 203, true },
        { "300", 0, 300, true },
        { "199", 9, 199, false },
        { "A00", 0, 1700, true },
    };
    for (const Case& c : cases) {
        const FirmwareVersion v = ReadFirmwareVersion(FactoryBytes(c.digits, c.suffix));
        EXPECT_EQ(v.number, c.number) << c.digits;
        EXPECT_EQ(IsNewFirmwareVersion(v), c.isNew) << c.digits;
    }
    // Missing version bytes read as zero: an old firmware.
    const auto high = FactoryBytes("999", 1);
    EXPECT_FALSE(IsNewFirmwareVersion(ReadFirmwareVersion(std::span(high).first(40))));
}

TEST(FactoryMarks, NeedAllThreeLetters)
{
    const auto bytes = FactoryBytes("202", 0);
    EXPECT_TRUE(HasSettingsMark(bytes));
    EXPECT_FALSE(HasSettingsMark(std::span(bytes).first(2)));
    auto other = bytes;
    other[2] = 'k';
    EXPECT_FALSE(HasSettingsMark(other));
}

} // namespace
} // namespace velomira
