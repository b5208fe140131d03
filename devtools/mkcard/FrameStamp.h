#pragma once

#include <cstdint>
#include <optional>

namespace velomira {

// A picture's identity, drawn into the top band of every generated picture: the band
// (full width, top eighth of the height) is a row of 20 equal cells, each black (luma 16)
// or white (luma 235). Cells 0 and 1 are white and black (sync), cells 2 and 3 the stream
// id (2 bits, most significant first), cells 4 to 19 the frame number (16 bits, most
// significant first; frame numbers wrap at 65536).
struct FrameStamp {
    int streamId;
    int frameNumber;
};

inline constexpr int kFrameStampCells = 20;

// Paints the stamp into an 8-bit luma plane of width x height pixels, rows stride bytes
// apart. Pictures narrower than 20 pixels or shorter than 8 rows are left alone.
void DrawFrameStamp(uint8_t* luma, int stride, int width, int height, FrameStamp stamp);

// Reads the stamp from any 8-bit grey plane of any size (the picture may have been scaled):
// samples the centre of each cell against the threshold 128. Nothing when the sync cells
// are not white then black or the plane is too small to hold a stamp.
std::optional<FrameStamp> ReadFrameStamp(const uint8_t* grey, int stride, int width, int height);

// The same from packed 32-bit pixels (QImage::Format_RGB32 / XRGB: blue, green, red, unused
// in memory order), strideBytes apart.
std::optional<FrameStamp> ReadFrameStampRgb32(
    const uint8_t* pixels, int strideBytes, int width, int height);

} // namespace velomira
