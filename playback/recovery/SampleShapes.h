#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "playback/recovery/H264Headers.h"

namespace velomira::recovery {

struct ReferenceTrack;

// Where one H.264 picture (access unit) starting at `pos` ends, read from its NAL lengths
// and slice headers: a picture is its leading non-slice NALs and slices of one frame with
// rising first macroblocks; the next slice starting at macroblock 0, a leading NAL after a
// slice, or a length that runs past the data ends it.
struct PictureShape {
    size_t size = 0;
    bool idr = false;
    uint32_t frameNum = 0;
    uint32_t frameNumModulus = 16;
    int refIdc = 0;
    int slices = 0;
    uint32_t lastFirstMb = 0;
    // What follows may be more of this picture that the data ends inside.
    bool endUncertain = false;
};
std::optional<PictureShape> MeasurePicture(std::span<const std::byte> data, size_t pos,
    const H264Parameters& parameters, size_t largestNal);

// Number of slices in one stored picture; -1 when it does not read as one.
int CountSlices(std::span<const std::byte> sample, const H264Parameters& parameters);

// True when the bytes at `pos` begin an AAC raw data block: a channel pair, single or LFE
// channel element whose stream info and first section data are well formed (the section
// lengths add up to the highest band), or another element the header says nothing about.
bool AacFrameCanStart(std::span<const std::byte> data, size_t pos);

// True when an AAC frame ends in its END element followed by zero bits to the byte.
bool EndsWithAacEnd(std::span<const std::byte> frame);

namespace detail {
// For each last byte of a frame: the bits the byte before must have set for the three END
// bits above the zero padding (0: none), or 0xff when the last byte rules an END out.
constexpr std::array<uint8_t, 256> AacEndNeeds()
{
    std::array<uint8_t, 256> needs {};
    needs[0] = 0xff;
    for (unsigned b = 1; b < 256; ++b) {
        const unsigned endBits = 7u << std::countr_zero(b); // over the last two bytes
        const unsigned inLast = endBits & 0xffu;
        needs[b] = (b & inLast) == inLast ? static_cast<uint8_t>(endBits >> 8) : 0xff;
    }
    return needs;
}
inline constexpr std::array<uint8_t, 256> kAacEndNeeds = AacEndNeeds();
} // namespace detail

// The same test on a frame's last two bytes, for a walk that tries it at every offset.
inline bool AacEndIn(uint8_t beforeLast, uint8_t last)
{
    const uint8_t needs = detail::kAacEndNeeds[last];
    return needs != 0xff && (beforeLast & needs) == needs;
}

// True when the two value triples of a G-sensor sample at `pos` (its first 13 bytes) are
// there and in their ranges.
bool GSensorTriplesFit(std::span<const std::byte> data, size_t pos);

// True when the bytes from `pos` to the end of `data` are the start of a telemetry sample
// the end cut off: a G-sensor sample whose values so far are in their ranges (at least
// through its first status word), or a sentence ("$", five letters or digits, a comma,
// printable text). A start too short to tell is not one: the walk then drops the sound
// before it with the cut rather than risk a frame that is not one.
bool TelemetryCutOff(std::span<const std::byte> data, size_t pos);

// The length of the telemetry sample at `pos`: a 41-byte G-sensor sample ('M' or 'A' and
// values in their ranges), an NMEA sentence ("$...*hh" with a matching checksum and an
// optional line end), or in timed text either behind a 16-bit length (or that length 0).
// 0 when the bytes are none of these.
size_t MeasureTelemetry(std::span<const std::byte> data, size_t pos, bool timedText);

} // namespace velomira::recovery
