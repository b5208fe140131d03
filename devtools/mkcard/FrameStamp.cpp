#include "devtools/mkcard/FrameStamp.h"

#include <array>
#include <cstring>

namespace velomira {
namespace {

constexpr uint8_t kBlack = 16;
constexpr uint8_t kWhite = 235;
constexpr int kThreshold = 128;

std::array<bool, kFrameStampCells> StampBits(FrameStamp stamp)
{
    std::array<bool, kFrameStampCells> bits {};
    bits[0] = true;
    bits[1] = false;
    bits[2] = (stamp.streamId >> 1) & 1;
    bits[3] = stamp.streamId & 1;
    for (int i = 0; i < 16; ++i)
        bits[4 + i] = (stamp.frameNumber >> (15 - i)) & 1;
    return bits;
}

bool TooSmall(int width, int height)
{
    return width < kFrameStampCells || height < 8;
}

// Decodes the cell values once they have been sampled; shared by both pixel layouts.
template<typename SampleGrey>
std::optional<FrameStamp> DecodeCells(int width, int height, SampleGrey sampleGrey)
{
    if (TooSmall(width, height))
        return std::nullopt;
    const int y = height / 16;
    std::array<bool, kFrameStampCells> bits {};
    for (int cell = 0; cell < kFrameStampCells; ++cell) {
        const int x = ((2 * cell + 1) * width) / (2 * kFrameStampCells);
        bits[cell] = sampleGrey(x, y) >= kThreshold;
    }
    if (!bits[0] || bits[1])
        return std::nullopt;
    FrameStamp stamp { 0, 0 };
    stamp.streamId = (bits[2] ? 2 : 0) | (bits[3] ? 1 : 0);
    for (int i = 0; i < 16; ++i)
        stamp.frameNumber = (stamp.frameNumber << 1) | (bits[4 + i] ? 1 : 0);
    return stamp;
}

} // namespace

void DrawFrameStamp(uint8_t* luma, int stride, int width, int height, FrameStamp stamp)
{
    if (luma == nullptr || TooSmall(width, height))
        return;
    const auto bits = StampBits(stamp);
    const int bandHeight = height / 8;
    for (int y = 0; y < bandHeight; ++y) {
        uint8_t* row = luma + static_cast<std::ptrdiff_t>(y) * stride;
        for (int cell = 0; cell < kFrameStampCells; ++cell) {
            const int x0 = cell * width / kFrameStampCells;
            const int x1 = (cell + 1) * width / kFrameStampCells;
            std::memset(row + x0, bits[cell] ? kWhite : kBlack, static_cast<size_t>(x1 - x0));
        }
    }
}

std::optional<FrameStamp> ReadFrameStamp(const uint8_t* grey, int stride, int width, int height)
{
    if (grey == nullptr)
        return std::nullopt;
    return DecodeCells(width, height, [&](int x, int y) {
        return static_cast<int>(grey[static_cast<std::ptrdiff_t>(y) * stride + x]);
    });
}

std::optional<FrameStamp> ReadFrameStampRgb32(
    const uint8_t* pixels, int strideBytes, int width, int height)
{
    if (pixels == nullptr)
        return std::nullopt;
    return DecodeCells(width, height, [&](int x, int y) {
        const uint8_t* p = pixels + static_cast<std::ptrdiff_t>(y) * strideBytes + 4 * x;
        // Rec. 601 weights on blue, green, red.
        return (29 * p[0] + 150 * p[1] + 77 * p[2]) >> 8;
    });
}

} // namespace velomira
