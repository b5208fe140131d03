#include "playback/recovery/H264Headers.h"

#include "playback/recovery/ByteReading.h"

namespace velomira::recovery {

namespace {

bool HasChromaFormat(uint32_t profile)
{
    switch (profile) {
    case 100:
    case 110:
    case 122:
    case 244:
    case 44:
    case 83:
    case 86:
    case 118:
    case 128:
    case 138:
    case 139:
    case 134:
    case 135:
        return true;
    default:
        return false;
    }
}

void SkipScalingList(BitReader& bits, int size)
{
    int last = 8;
    int next = 8;
    for (int i = 0; i < size && !bits.Failed(); ++i) {
        if (next != 0) {
            next = (last + bits.Se() + 256) % 256;
        }
        last = next == 0 ? last : next;
    }
}

} // namespace

const SequenceParameters* H264Parameters::SpsForPps(uint32_t ppsId) const
{
    for (const auto& p : pps) {
        if (p.id != ppsId)
            continue;
        for (const auto& s : sps) {
            if (s.id == p.spsId)
                return &s;
        }
    }
    return nullptr;
}

std::optional<SequenceParameters> ParseSequenceParameters(std::span<const std::byte> nal)
{
    if (nal.size() < 4 || (std::to_integer<int>(nal[0]) & 0x1f) != 7)
        return std::nullopt;
    BitReader bits(nal.subspan(1));
    SequenceParameters sps;
    const uint32_t profile = bits.Bits(8);
    bits.Bits(16); // constraint flags, level
    sps.id = bits.Ue();
    if (HasChromaFormat(profile)) {
        const uint32_t chroma = bits.Ue();
        if (chroma == 3)
            sps.separateColourPlanes = bits.Bit() != 0;
        bits.Ue(); // luma bit depth
        bits.Ue(); // chroma bit depth
        bits.Bit(); // transform bypass
        if (bits.Bit() != 0) {
            const int lists = chroma == 3 ? 12 : 8;
            for (int i = 0; i < lists; ++i) {
                if (bits.Bit() != 0)
                    SkipScalingList(bits, i < 6 ? 16 : 64);
            }
        }
    }
    const uint32_t log2MaxFrameNumMinus4 = bits.Ue();
    if (log2MaxFrameNumMinus4 > 12)
        return std::nullopt;
    sps.log2MaxFrameNum = static_cast<int>(log2MaxFrameNumMinus4) + 4;
    const uint32_t pocType = bits.Ue();
    if (pocType == 0) {
        bits.Ue();
    } else if (pocType == 1) {
        bits.Bit();
        bits.Se();
        bits.Se();
        const uint32_t cycle = bits.Ue();
        if (cycle > 255)
            return std::nullopt;
        for (uint32_t i = 0; i < cycle; ++i)
            bits.Se();
    } else if (pocType > 2) {
        return std::nullopt;
    }
    bits.Ue(); // reference frames
    bits.Bit(); // gaps allowed
    const uint32_t widthMbs = bits.Ue() + 1;
    const uint32_t heightUnits = bits.Ue() + 1;
    sps.frameMbsOnly = bits.Bit() != 0;
    if (bits.Failed() || widthMbs > 1024 || heightUnits > 1024 || sps.id > 31)
        return std::nullopt;
    sps.pictureMbs = widthMbs * heightUnits * (sps.frameMbsOnly ? 1 : 2);
    return sps;
}

std::optional<PictureParameters> ParsePictureParameters(std::span<const std::byte> nal)
{
    if (nal.size() < 2 || (std::to_integer<int>(nal[0]) & 0x1f) != 8)
        return std::nullopt;
    BitReader bits(nal.subspan(1));
    PictureParameters pps;
    pps.id = bits.Ue();
    pps.spsId = bits.Ue();
    if (bits.Failed() || pps.id > 255 || pps.spsId > 31)
        return std::nullopt;
    return pps;
}

std::optional<H264Parameters> ParseAvcConfiguration(std::span<const std::byte> payload)
{
    ByteReader reader(payload);
    H264Parameters parameters;
    if (reader.U8() != 1)
        return std::nullopt;
    reader.Skip(3);
    parameters.nalLengthSize = (reader.U8() & 3) + 1;
    const int spsCount = reader.U8() & 0x1f;
    for (int i = 0; i < spsCount; ++i) {
        const size_t length = reader.U16();
        if (reader.Failed() || length > reader.Left())
            return std::nullopt;
        if (auto sps = ParseSequenceParameters(payload.subspan(reader.Position(), length)))
            parameters.sps.push_back(*sps);
        reader.Skip(length);
    }
    const int ppsCount = reader.U8();
    for (int i = 0; i < ppsCount; ++i) {
        const size_t length = reader.U16();
        if (reader.Failed() || length > reader.Left())
            return std::nullopt;
        if (auto pps = ParsePictureParameters(payload.subspan(reader.Position(), length)))
            parameters.pps.push_back(*pps);
        reader.Skip(length);
    }
    if (reader.Failed() || parameters.sps.empty() || parameters.pps.empty()
        || parameters.nalLengthSize == 3)
        return std::nullopt;
    return parameters;
}

std::optional<SliceStart> ParseSliceStart(
    std::span<const std::byte> nal, const H264Parameters& parameters, SliceProblem* problem)
{
    SliceProblem ignored;
    SliceProblem& why = problem != nullptr ? *problem : ignored;
    why = SliceProblem::NotASlice;
    if (nal.size() < 2)
        return std::nullopt;
    const int header = std::to_integer<int>(nal[0]);
    const int type = header & 0x1f;
    if ((header & 0x80) != 0 || (type != 1 && type != 5))
        return std::nullopt;
    why = SliceProblem::Corrupt;
    SliceStart slice;
    slice.idr = type == 5;
    slice.refIdc = (header >> 5) & 3;
    if (slice.idr && slice.refIdc == 0)
        return std::nullopt;
    BitReader bits(nal.subspan(1, std::min<size_t>(nal.size() - 1, 32)));
    slice.firstMb = bits.Ue();
    slice.sliceType = bits.Ue();
    slice.ppsId = bits.Ue();
    if (bits.Failed() || slice.sliceType > 9)
        return std::nullopt;
    slice.sliceType %= 5;
    if (slice.idr && slice.sliceType != 2 && slice.sliceType != 4)
        return std::nullopt;
    const SequenceParameters* sps = parameters.SpsForPps(slice.ppsId);
    if (sps == nullptr) {
        why = SliceProblem::UnknownParameters;
        return std::nullopt;
    }
    if (slice.firstMb >= sps->pictureMbs) {
        why = SliceProblem::PastThePicture;
        return std::nullopt;
    }
    if (sps->separateColourPlanes)
        bits.Bits(2);
    slice.frameNum = bits.Bits(sps->log2MaxFrameNum);
    if (bits.Failed() || (slice.idr && slice.frameNum != 0))
        return std::nullopt;
    why = SliceProblem::None;
    return slice;
}

} // namespace velomira::recovery
