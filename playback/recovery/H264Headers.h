#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace velomira::recovery {

// What the walker needs of an H.264 sequence parameter set.
struct SequenceParameters {
    uint32_t id = 0;
    int log2MaxFrameNum = 4;
    bool separateColourPlanes = false;
    bool frameMbsOnly = true;
    uint32_t pictureMbs = 0; // macroblocks in a frame
};

struct PictureParameters {
    uint32_t id = 0;
    uint32_t spsId = 0;
};

// The parameter sets of one video track's sample description ('avcC').
struct H264Parameters {
    int nalLengthSize = 4;
    std::vector<SequenceParameters> sps;
    std::vector<PictureParameters> pps;

    const SequenceParameters* SpsForPps(uint32_t ppsId) const;
};

// Parses an 'avcC' payload; nothing when it is malformed or holds no usable set.
std::optional<H264Parameters> ParseAvcConfiguration(std::span<const std::byte> payload);

std::optional<SequenceParameters> ParseSequenceParameters(std::span<const std::byte> nal);
std::optional<PictureParameters> ParsePictureParameters(std::span<const std::byte> nal);

// The start of a coded slice, read against the track's parameter sets.
struct SliceStart {
    uint32_t firstMb = 0;
    uint32_t sliceType = 0; // 0..4 (types 5..9 folded)
    uint32_t ppsId = 0;
    uint32_t frameNum = 0;
    bool idr = false;
    int refIdc = 0;
};

enum class SliceProblem { None, NotASlice, UnknownParameters, PastThePicture, Corrupt };

// `nal` starts at the NAL header byte; nothing when the header does not fit the
// parameter sets (unknown PPS, macroblock past the picture, bad slice type), with the
// reason in `problem` when given.
std::optional<SliceStart> ParseSliceStart(std::span<const std::byte> nal,
    const H264Parameters& parameters, SliceProblem* problem = nullptr);

} // namespace velomira::recovery
