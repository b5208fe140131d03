#include "devtools/mkcard/FrameStamp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace velomira {
namespace {

struct Plane {
    int width;
    int height;
    std::vector<uint8_t> pixels;
    Plane(int w, int h, uint8_t fill = 100)
        : width(w)
        , height(h)
        , pixels(static_cast<size_t>(w) * h, fill)
    { }
    uint8_t* data() { return pixels.data(); }
    uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Area-average scaling, as a player's smooth scaler does.
Plane ScaleBox(const Plane& src, int width, int height)
{
    Plane dst(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int x0 = x * src.width / width,
                      x1 = std::max(x0 + 1, (x + 1) * src.width / width);
            const int y0 = y * src.height / height,
                      y1 = std::max(y0 + 1, (y + 1) * src.height / height);
            int sum = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    sum += src.at(sx, sy);
            dst.pixels[static_cast<size_t>(y) * width + x]
                = static_cast<uint8_t>(sum / ((x1 - x0) * (y1 - y0)));
        }
    }
    return dst;
}

Plane ScaleNearest(const Plane& src, int width, int height)
{
    Plane dst(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dst.pixels[static_cast<size_t>(y) * width + x]
                = src.at(x * src.width / width, y * src.height / height);
    return dst;
}

TEST(FrameStampRoundTrip, ReadsBackEveryStreamAndFrameNumberAtItsOwnSize)
{
    const struct {
        int width, height;
    } sizes[]
        = { { 1920, 1080 }, { 1280, 720 }, { 320, 180 }, { 160, 90 }, { 333, 77 }, { 20, 8 } };
    const int numbers[] = { 0, 1, 0x5555, 0xaaaa, 0x8001, 65535 };
    for (const auto& size : sizes) {
        for (int stream = 0; stream < 4; ++stream) {
            for (int number : numbers) {
                Plane plane(size.width, size.height);
                DrawFrameStamp(
                    plane.data(), size.width, size.width, size.height, { stream, number });
                const auto stamp
                    = ReadFrameStamp(plane.data(), size.width, size.width, size.height);
                ASSERT_TRUE(stamp) << size.width << "x" << size.height;
                EXPECT_EQ(stamp->streamId, stream);
                EXPECT_EQ(stamp->frameNumber, number) << size.width << "x" << size.height;
            }
        }
    }
}

TEST(FrameStampRoundTrip, FrameNumbersWrapAt65536)
{
    Plane plane(320, 180);
    DrawFrameStamp(plane.data(), 320, 320, 180, { 1, 65536 + 7 });
    EXPECT_EQ(ReadFrameStamp(plane.data(), 320, 320, 180)->frameNumber, 7);
}

TEST(FrameStampRoundTrip, HonoursARowStrideWiderThanThePicture)
{
    const int width = 160, height = 90, stride = 192;
    std::vector<uint8_t> buffer(static_cast<size_t>(stride) * height, 100);
    DrawFrameStamp(buffer.data(), stride, width, height, { 1, 1234 });
    const auto stamp = ReadFrameStamp(buffer.data(), stride, width, height);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->frameNumber, 1234);
    // Padding bytes beyond the width are not painted.
    for (int y = 0; y < height; ++y)
        for (int x = width; x < stride; ++x)
            ASSERT_EQ(buffer[static_cast<size_t>(y) * stride + x], 100);
}

TEST(FrameStampScaled, SurvivesDownscalingAndUpscaling)
{
    const struct {
        int fromW, fromH, toW, toH;
    } cases[] = {
        { 1920, 1080, 320, 180 },
        { 1920, 1080, 100, 56 },
        { 320, 180, 60, 34 },
        { 320, 180, 40, 24 },
        { 160, 90, 640, 360 },
        { 1280, 720, 497, 211 },
    };
    for (const auto& c : cases) {
        Plane plane(c.fromW, c.fromH);
        DrawFrameStamp(plane.data(), c.fromW, c.fromW, c.fromH, { 1, 0x9c3a });
        for (const Plane& scaled :
            { ScaleBox(plane, c.toW, c.toH), ScaleNearest(plane, c.toW, c.toH) }) {
            const auto stamp = ReadFrameStamp(scaled.pixels.data(), c.toW, c.toW, c.toH);
            ASSERT_TRUE(stamp) << c.fromW << "->" << c.toW << "x" << c.toH;
            EXPECT_EQ(stamp->streamId, 1);
            EXPECT_EQ(stamp->frameNumber, 0x9c3a) << c.fromW << "->" << c.toW << "x" << c.toH;
        }
    }
}

TEST(FrameStampRgb32, ReadsGreyAndTintedPixelsInBlueGreenRedOrder)
{
    const int width = 200, height = 120;
    Plane plane(width, height);
    DrawFrameStamp(plane.data(), width, width, height, { 0, 4321 });
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < plane.pixels.size(); ++i) {
        const uint8_t v = plane.pixels[i];
        // A slight blue tint as a colour conversion may leave; alpha byte garbage.
        rgb[4 * i + 0] = static_cast<uint8_t>(std::min(255, v + 20));
        rgb[4 * i + 1] = v;
        rgb[4 * i + 2] = static_cast<uint8_t>(std::max(0, v - 10));
        rgb[4 * i + 3] = 0x5a;
    }
    const auto stamp = ReadFrameStampRgb32(rgb.data(), width * 4, width, height);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->streamId, 0);
    EXPECT_EQ(stamp->frameNumber, 4321);
}

TEST(FrameStampRejects, PicturesWithoutSyncCellsOrTooSmall)
{
    Plane black(320, 180, 16), white(320, 180, 235), grey(320, 180, 128);
    EXPECT_FALSE(ReadFrameStamp(black.data(), 320, 320, 180));
    EXPECT_FALSE(ReadFrameStamp(white.data(), 320, 320, 180));
    EXPECT_FALSE(ReadFrameStamp(grey.data(), 320, 320, 180));
    EXPECT_FALSE(ReadFrameStamp(nullptr, 320, 320, 180));
    EXPECT_FALSE(ReadFrameStampRgb32(nullptr, 1280, 320, 180));

    Plane stamped(320, 180);
    DrawFrameStamp(stamped.data(), 320, 320, 180, { 0, 5 });
    EXPECT_FALSE(ReadFrameStamp(stamped.data(), 320, 19, 180));
    EXPECT_FALSE(ReadFrameStamp(stamped.data(), 320, 320, 7));
}

TEST(FrameStampDrawing, PaintsOnlyTheTopEighthAndSkipsTinyPictures)
{
    Plane plane(320, 180, 77);
    DrawFrameStamp(plane.data(), 320, 320, 180, { 3, 0xffff });
    for (int y = 180 / 8; y < 180; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(plane.at(x, y), 77) << x << "," << y;
    for (int x = 0; x < 320; ++x) {
        const uint8_t v = plane.at(x, 0);
        ASSERT_TRUE(v == 16 || v == 235);
    }

    Plane tiny(19, 8, 77);
    DrawFrameStamp(tiny.data(), 19, 19, 8, { 0, 1 });
    for (uint8_t v : tiny.pixels)
        ASSERT_EQ(v, 77);
}

} // namespace
} // namespace velomira
