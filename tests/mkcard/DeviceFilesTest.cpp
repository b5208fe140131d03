#include <gtest/gtest.h>

#include <fstream>

#include "ExpectedDeviceFiles.h"
#include "devtools/mkcard/CardWriter.h"
#include "devtools/mkcard/SettingsFileWriter.h"
#include "playback/AviStreamPatch.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

// Checksum recomputed here, apart from the writer.
uint8_t IndependentChecksum(const std::vector<uint8_t>& r)
{
    unsigned x = 0;
    for (size_t i = 4; i < 200; ++i)
        x ^= r[i];
    return static_cast<uint8_t>(~x & 0xff);
}

int Word(const std::vector<uint8_t>& r, int offset)
{
    return r[static_cast<size_t>(offset)] | (r[static_cast<size_t>(offset) + 1] << 8);
}

TEST(SettingsChecksum, AllZeroWordsGiveFFAndAnyChangedByteChangesIt)
{
    std::vector<uint8_t> zero(200, 0);
    EXPECT_EQ(SettingsFileChecksum(zero), 0xff);
    const auto record = DefaultSettingsFile(1);
    for (size_t i = 4; i < 200; i += 13) {
        auto changed = record;
        changed[i] ^= 0x01;
        EXPECT_NE(SettingsFileChecksum(changed), record[3]) << i;
    }
    // Bytes 0 to 3 are not part of it.
    auto letters = record;
    letters[0] = 'X';
    letters[3] = 0;
    EXPECT_EQ(SettingsFileChecksum(letters), record[3]);
}

TEST(DefaultSettings, HasLettersChecksumAndLanguageWordsForEachLanguage)
{
    const struct {
        int language, w146, w148, w166;
    } cases[] = { { 1, 1, 1, 0 }, { 0, 0, 0, 9 }, { 2, 2, 2, 9 } };
    for (const auto& c : cases) {
        const auto r = DefaultSettingsFile(c.language);
        ASSERT_EQ(r.size(), 200u);
        EXPECT_EQ(r[0], 'P');
        EXPECT_EQ(r[1], 'L');
        EXPECT_EQ(r[2], 'K');
        EXPECT_EQ(r[3], IndependentChecksum(r)) << c.language;
        EXPECT_EQ(Word(r, 146), c.w146);
        EXPECT_EQ(Word(r, 148), c.w148);
        EXPECT_EQ(Word(r, 166), c.w166);
    }
}

TEST(DefaultSettings, EqualsTheRecordWrittenOutWordByWord)
{
    for (int language : { 0, 1, 2 })
        EXPECT_EQ(DefaultSettingsFile(language), test::ExpectedDefaultSettings(language))
            << language;
}

TEST(SetupFileModes, DamageTheFileAsAsked)
{
    const auto good = SetupFileBytes(SetupFileMode::Default, 2);
    EXPECT_EQ(good, DefaultSettingsFile(2));
    EXPECT_EQ(SetupFileBytes(SetupFileMode::SetupOnly, 2), good);
    const auto bad = SetupFileBytes(SetupFileMode::BadChecksum, 2);
    ASSERT_EQ(bad.size(), 200u);
    EXPECT_NE(bad[3], IndependentChecksum(bad));
    EXPECT_TRUE(std::equal(bad.begin() + 4, bad.end(), good.begin() + 4));
    const auto shortFile = SetupFileBytes(SetupFileMode::Short, 2);
    EXPECT_LT(shortFile.size(), 200u);
    EXPECT_TRUE(std::equal(shortFile.begin(), shortFile.end(), good.begin()));
    EXPECT_TRUE(SetupFileBytes(SetupFileMode::None, 2).empty());
}

TEST(FactoryFile, LengthMarkAndVersionBytes)
{
    const struct {
        size_t length;
        const char* version;
        bool mark;
        uint8_t d1, d2, d3, suffix;
    } cases[] = {
        { 66, "203", true, '2', '0', '3', 0 },
        { 77, "202", true, '2', '0', '2', 0 },
        { 78, "202a", false, '2', '0', '2', 'a' },
        { 200, "A99", true, 'A', '9', '9', 0 },
        { 53, "1992", true, '1', '9', '9', '2' },
    };
    for (const auto& c : cases) {
        FactoryFileOptions options;
        options.length = c.length;
        options.version = c.version;
        options.mark = c.mark;
        const auto f = FactoryFile(options);
        ASSERT_EQ(f.size(), c.length);
        EXPECT_EQ(f[0] == 'P' && f[1] == 'L' && f[2] == 'K', c.mark) << c.version;
        EXPECT_EQ(f[47], c.d1);
        EXPECT_EQ(f[49], c.d2);
        EXPECT_EQ(f[51], c.d3);
        EXPECT_EQ(f[52], c.suffix) << c.version;
    }
    FactoryFileOptions tiny;
    tiny.length = 10;
    const auto cut = FactoryFile(tiny);
    EXPECT_EQ(cut.size(), 10u);
    EXPECT_EQ(cut[0], 'P');
}

TEST(AviStreamPatch, RefusesFilesThatAreNotAviOrHoldAnotherStreamType)
{
    test::TempDir dir;
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    };
    EXPECT_NE(PatchAviStreamType(write("empty.avi", ""), 0, "dats", "txts"), "");
    EXPECT_NE(PatchAviStreamType(write("riff.avi", "RIFF\4\0\0\0WAVE"), 0, "dats", "txts"), "");
    EXPECT_NE(PatchAviStreamType(dir / "missing.avi", 0, "dats", "txts"), "");

    // A header list with one stream of type "vids": asking to patch a "dats" stream fails,
    // as does asking for a second stream, and the file is left unchanged.
    std::string strh = "strh" + std::string("\x38\0\0\0", 4) + "vids" + std::string(52, '\0');
    std::string strl = "LIST" + std::string("\x44\0\0\0", 4) + "strl" + strh;
    std::string hdrl = "LIST" + std::string(1, static_cast<char>(4 + strl.size()))
        + std::string(3, '\0') + "hdrl" + strl;
    const std::string file = "RIFF" + std::string("\0\0\0\0", 4) + "AVI " + hdrl;
    const auto path = write("one.avi", file);
    EXPECT_NE(PatchAviStreamType(path, 0, "dats", "txts").find("not of type"), std::string::npos);
    EXPECT_NE(
        PatchAviStreamType(path, 1, "vids", "txts").find("no stream header"), std::string::npos);
    std::ifstream in(path, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, file);
}

} // namespace
} // namespace velomira
