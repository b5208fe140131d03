#include "settings/SettingsRecord.h"

#include <gtest/gtest.h>

#include <array>
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
    } cases[] = { { 1, 1, 1, 0 }, { 0, 0, 0, 9 }, { 2, 2, 2, 9 }, { 7, 1, 1, 0 }, { 3, 3, 3, 0 },
        { 5, 5, 5, 0 } };
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

TEST(DefaultRecords, EveryWordOfTheThreeLanguagesMatchesTheFactoryTable)
{
    // The device's factory values written out word by word, independently of the code:
    // (first offset, last offset, value) for every run of equal defaults.
    const struct Run {
        int first, last, value;
    } factory[] = { { 4, 4, 200 }, { 6, 8, 0 }, { 10, 10, 0 }, { 12, 12, 0 }, { 14, 14, 130 },
        { 16, 16, 180 }, { 18, 18, 150 }, { 20, 20, 1 }, { 22, 22, 0 }, { 24, 26, 160 },
        { 28, 28, 0 }, { 30, 30, 2548 }, { 32, 32, 0 }, { 34, 34, 1 }, { 36, 36, 1 }, { 38, 38, 1 },
        { 40, 40, 1 }, { 42, 44, 0 }, { 46, 46, 200 }, { 48, 48, 0 }, { 50, 50, 60 },
        { 52, 52, 55 }, { 54, 56, 6 }, { 58, 58, 1 }, { 60, 60, 1 }, { 62, 62, 1 }, { 64, 66, 0 },
        { 68, 68, 15000 }, { 70, 70, 1000 }, { 72, 88, 0 }, { 90, 90, 1 }, { 92, 92, 1 },
        { 94, 94, 1 }, { 96, 96, 1 }, { 98, 100, 0 }, { 102, 106, 100 }, { 108, 108, 30 },
        { 110, 110, 25 }, { 112, 112, 700 }, { 114, 114, 1 }, { 116, 118, 1 }, { 120, 124, 70 },
        { 126, 126, 110 }, { 128, 130, 1 }, { 132, 134, 0 }, { 136, 138, 1 }, { 140, 140, 0 },
        { 142, 144, 1 }, { 150, 150, 1 }, { 152, 152, 13 }, { 154, 154, 12 }, { 156, 158, 0 },
        { 160, 160, 5 }, { 162, 162, 1 }, { 164, 164, 1 }, { 168, 168, 5 }, { 170, 198, 0 } };
    const struct {
        int language, word146, word166;
    } languages[] = { { 0, 0, 9 }, { 1, 1, 0 }, { 2, 2, 9 } };
    for (const auto& l : languages) {
        SCOPED_TRACE(l.language);
        std::array<int, 200> expected {};
        expected.fill(-1);
        for (const Run& run : factory)
            for (int offset = run.first; offset <= run.last; offset += 2)
                expected[offset] = run.value;
        expected[146] = expected[148] = l.word146;
        expected[166] = l.word166;
        const SettingsRecord r = DefaultSettingsRecord(l.language);
        for (int offset = 4; offset < 200; offset += 2) {
            ASSERT_NE(expected[offset], -1) << "no expected value for word " << offset;
            EXPECT_EQ(r[offset] | (r[offset + 1] << 8), expected[offset]) << "word " << offset;
        }
    }
}

TEST(SettingsWords, CompanionsFollowTheWordTheyBelongTo)
{
    const struct {
        std::size_t offset;
        std::uint16_t value;
        std::size_t companion;
        std::uint16_t companionValue;
    } cases[] = { { 50, 80, 52, 75 }, { 52, 75, 50, 80 }, { 108, 3, 110, 65534 },
        { 110, 25, 108, 30 }, { 146, 4, 148, 4 }, { 148, 2, 146, 2 } };
    for (const auto& c : cases) {
        SettingsRecord r = DefaultSettingsRecord(1);
        ASSERT_TRUE(SetSettingsWordWithCompanion(r, c.offset, c.value));
        EXPECT_EQ(SettingsWord(r, c.offset), c.value) << c.offset;
        EXPECT_EQ(SettingsWord(r, c.companion), c.companionValue) << c.offset;
    }
    SettingsRecord r = DefaultSettingsRecord(1);
    const SettingsRecord before = r;
    ASSERT_TRUE(SetSettingsWordWithCompanion(r, 54, 3));
    r[54] = before[54];
    EXPECT_EQ(r, before); // a word without a companion changes alone
    EXPECT_FALSE(SetSettingsWordWithCompanion(r, 51, 3));
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
