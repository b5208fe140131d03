// The sample shapes the walker reads: each recogniser on valid, damaged and cut input.
#include "playback/recovery/SampleShapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playback/recovery/Mp4Boxes.h"

namespace velomira::recovery {
namespace {

std::vector<std::byte> Bytes(const std::string& text)
{
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return { data, data + text.size() };
}

std::string GSensor(char marker, unsigned char month)
{
    std::string s(41, '\0');
    s[0] = marker;
    s[1] = 0x00; // first triple: 2048 little-endian
    s[2] = 0x08;
    s[14] = static_cast<char>(month);
    return s;
}

TEST(TelemetryShapes, SamplesAreMeasuredByTheirOwnLayout)
{
    const struct {
        const char* name;
        std::string bytes;
        bool timedText;
        size_t size;
    } cases[] = {
        { "G-sensor sample", GSensor('M', 3) + "tail", false, 41 },
        { "marked G-sensor sample", GSensor('A', 12), false, 41 },
        { "G-sensor month out of range", GSensor('M', 13), false, 0 },
        { "G-sensor cut short", GSensor('M', 3).substr(0, 40), false, 0 },
        { "sentence with its checksum", "$GPRMC,1,A*3B", false, 13 },
        { "sentence with a line end", "$GPRMC,1,A*3B\r\nM", false, 15 },
        { "sentence with a wrong checksum", "$GPRMC,1,A*3C", false, 0 },
        { "sentence cut short", "$GPRMC,1,A*3", false, 0 },
        { "binary inside a sentence", "$GP\x01MC*55", false, 0 },
        { "other bytes", "\x21\x10\x00\x00", false, 0 },
        { "empty", "", false, 0 },
        { "timed text", std::string("\x00\x0d", 2) + "$GPRMC,1,A*3B", true, 15 },
        { "empty timed text", std::string("\x00\x00", 2), true, 2 },
        { "timed text longer than its sentence", std::string("\x00\x0e", 2) + "$GPRMC,1,A*3Bx",
            true, 0 },
        { "timed text past the end", std::string("\x00\x20", 2) + "$GPRMC,1,A*3B", true, 0 },
        { "one byte of timed text", std::string("\x00", 1), true, 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MeasureTelemetry(Bytes(c.bytes), 0, c.timedText), c.size) << c.name;
}

TEST(AacShapes, FramesEndInTheirEndElementAndZeroPadding)
{
    const struct {
        const char* name;
        std::string bytes;
        bool ends;
    } cases[] = {
        { "END then five zero bits", "\x21\xe0", true },
        { "END ending on the byte", "\x21\x07", true },
        { "END across two bytes", "\x03\x80", true },
        { "a zero last byte", "\x21\x00", false },
        { "no END before the padding", "\x21\x50", false },
        { "one byte", "\xe0", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(EndsWithAacEnd(Bytes(c.bytes)), c.ends) << c.name;
}

TEST(Boxes, SizesThatRunPastTheEndMakeTheBoxOpenEnded)
{
    const std::string ftyp = std::string("\x00\x00\x00\x10", 4) + "ftypisom" + std::string(4, '\0');
    const struct {
        const char* name;
        std::string bytes;
        size_t boxes;
        bool lastOpen;
    } cases[] = {
        { "placeholder size 0", ftyp + std::string("\x00\x00\x00\x00", 4) + "mdat" + "xx", 2,
            true },
        { "size past the end", ftyp + std::string("\x00\x00\x10\x00", 4) + "mdat" + "xx", 2, true },
        { "64-bit size",
            ftyp + std::string("\x00\x00\x00\x01", 4) + "mdat"
                + std::string("\x00\x00\x00\x00\x00\x00\x00\x12", 8) + "xx",
            2, false },
        { "size below its header", ftyp + std::string("\x00\x00\x00\x04", 4) + "mdat", 1, false },
        { "header cut short", ftyp + std::string("\x00\x00\x00", 3), 1, false },
        { "empty", "", 0, false },
    };
    for (const auto& c : cases) {
        const auto boxes = ReadBoxes(Bytes(c.bytes));
        ASSERT_EQ(boxes.size(), c.boxes) << c.name;
        if (!boxes.empty()) {
            EXPECT_EQ(boxes.back().openEnded, c.lastOpen) << c.name;
        }
    }
}

} // namespace
} // namespace velomira::recovery
