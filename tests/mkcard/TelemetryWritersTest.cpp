#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "devtools/mkcard/GSensorSampleWriter.h"
#include "devtools/mkcard/NmeaSentenceWriter.h"
#include "devtools/mkcard/TelemetrySample.h"

namespace velomira {
namespace {

// Checksum recomputed here, apart from the writer: XOR between "$" and "*".
bool HasValidChecksum(const std::string& sentence)
{
    const auto star = sentence.find('*');
    if (sentence.empty() || sentence[0] != '$' || star == std::string::npos
        || star + 3 != sentence.size())
        return false;
    unsigned x = 0;
    for (size_t i = 1; i < star; ++i)
        x ^= static_cast<unsigned char>(sentence[i]);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", x);
    return sentence.substr(star + 1) == hex;
}

std::vector<std::string> Fields(const std::string& sentence)
{
    std::vector<std::string> out;
    std::string field;
    for (char c : sentence.substr(0, sentence.find('*'))) {
        if (c == ',') {
            out.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    out.push_back(field);
    return out;
}

TEST(RmcSentence, WritesPositionHemispheresAndChecksum)
{
    const struct {
        double lat, lon;
        const char *latText, *ns, *lonText, *ew;
    } cases[] = {
        { 37.5, 126.978, "3730.0000", "N", "12658.6800", "E" },
        { -33.8688, 151.2093, "3352.1280", "S", "15112.5580", "E" },
        { 40.758, -73.9855, "4045.4800", "N", "07359.1300", "W" },
        { -23.5505, -46.6333, "2333.0300", "S", "04637.9980", "W" },
        { 0.0, 0.0, "0000.0000", "N", "00000.0000", "E" },
        // 59.99999 minutes must carry into the degree, never print "60.0000".
        { 10.9999999, -5.9999999, "1100.0000", "N", "00600.0000", "W" },
    };
    const CivilTime time { 2024, 3, 5, 9, 8, 7, 250 };
    for (const auto& c : cases) {
        const auto sentence = WriteRmcSentence("GP", time, RmcFix { c.lat, c.lon, 12.5, 54.7 });
        EXPECT_TRUE(HasValidChecksum(sentence)) << sentence;
        const auto f = Fields(sentence);
        ASSERT_EQ(f.size(), 13u) << sentence;
        EXPECT_EQ(f[0], "$GPRMC");
        EXPECT_EQ(f[1], "090807.250");
        EXPECT_EQ(f[2], "A");
        EXPECT_EQ(f[3], c.latText) << sentence;
        EXPECT_EQ(f[4], c.ns);
        EXPECT_EQ(f[5], c.lonText) << sentence;
        EXPECT_EQ(f[6], c.ew);
        EXPECT_EQ(f[7], "12.50");
        EXPECT_EQ(f[8], "54.70");
        EXPECT_EQ(f[9], "050324");
    }
}

TEST(RmcSentence, WithoutFixLeavesPositionAndMotionEmpty)
{
    const auto sentence
        = WriteRmcSentence("GN", CivilTime { 2024, 12, 31, 23, 59, 59, 0 }, std::nullopt);
    EXPECT_TRUE(HasValidChecksum(sentence)) << sentence;
    const auto f = Fields(sentence);
    ASSERT_EQ(f.size(), 13u);
    EXPECT_EQ(f[0], "$GNRMC");
    EXPECT_EQ(f[2], "V");
    for (int i = 3; i <= 8; ++i)
        EXPECT_EQ(f[static_cast<size_t>(i)], "") << i;
    EXPECT_EQ(f[9], "311224");
}

TEST(GSensorSampleLayout, PutsEveryFieldAtItsWireOffsetLittleEndian)
{
    GSensorValues v;
    v.marker = 'A';
    v.first = { 2048, 3072, 1024 };
    v.second = { 512, -1024, 0 };
    v.clock = { 24, 3, 15, 10, 11, 12 };
    v.status = { 61, 0, 1, 0, 1, 1, 0, 1, 0, 2, 0x1234 };
    const auto bytes = WriteGSensorSample(v);
    ASSERT_EQ(bytes.size(), 41u);
    const std::vector<uint8_t> expected {
        'A',
        0x00,
        0x08,
        0x00,
        0x0c,
        0x00,
        0x04, // first triple
        0x00,
        0x02,
        0x00,
        0xfc,
        0x00,
        0x00, // second triple, -1024 as two's complement
        24,
        3,
        15,
        10,
        11,
        12, // clock
        61,
        0,
        0,
        0,
        1,
        0,
        0,
        0,
        1,
        0,
        1,
        0,
        0,
        0,
        1,
        0,
        0,
        0,
        2,
        0,
        0x34,
        0x12,
    };
    EXPECT_EQ(bytes, expected);
}

TEST(GSensorSampleLayout, ConvertsGToCountsAndClampsToSixteenBits)
{
    EXPECT_EQ(FirstTripleCounts(0.0), 2048);
    EXPECT_EQ(FirstTripleCounts(1.0), 3072);
    EXPECT_EQ(FirstTripleCounts(-1.0), 1024);
    EXPECT_EQ(FirstTripleCounts(-2.5), -512);
    EXPECT_EQ(FirstTripleCounts(100.0), 32767);
    EXPECT_EQ(SecondTripleCounts(0.5), 512);
    EXPECT_EQ(SecondTripleCounts(-1.0), -1024);
    EXPECT_EQ(SecondTripleCounts(-100.0), -32768);
}

TEST(TelemetryText, RoundTripsBinarySamplesWithZeroBytesAndTextLines)
{
    const std::vector<TelemetrySample> samples {
        { 0, { 'M', 0, 0, 0x08, 0xff } },
        { 40, { '$', 'G', 'P', 'R', 'M', 'C', ',', 'A' } },
        { 40, { '$', 'X', 0, 'Y' } }, // a zero byte makes even a "$" sample binary
        { 4294967295u, { 0x00 } },
    };
    const std::string text = FormatTelemetryText(samples);
    EXPECT_EQ(text, "0 4d000008ff\n40 $GPRMC,A\n40 24580059\n4294967295 00\n");
    std::vector<TelemetrySample> back;
    std::string error;
    ASSERT_TRUE(ParseTelemetryText(text, back, error)) << error;
    EXPECT_EQ(back, samples);
}

TEST(TelemetryText, AcceptsCommentsBlankLinesSpacedHexAndCrLf)
{
    std::vector<TelemetrySample> back;
    std::string error;
    ASSERT_TRUE(ParseTelemetryText("# note\n\n10 4D 00 0a\r\n20 $GNRMC,x\r\n", back, error))
        << error;
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0], (TelemetrySample { 10, { 0x4d, 0x00, 0x0a } }));
    EXPECT_EQ(back[1].bytes, std::vector<uint8_t>({ '$', 'G', 'N', 'R', 'M', 'C', ',', 'x' }));
}

TEST(TelemetryText, RejectsMalformedLinesNamingTheLine)
{
    const char* bad[]
        = { "10\n", "x 00\n", "-5 00\n", "10 0g\n", "10 123\n", "10  \n", "10\t00\n" };
    for (const char* text : bad) {
        std::vector<TelemetrySample> back;
        std::string error;
        EXPECT_FALSE(ParseTelemetryText(std::string("1 00\n") + text, back, error)) << text;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}

} // namespace
} // namespace velomira
