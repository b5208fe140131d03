#include "playback/recovery/SampleShapes.h"

#include <algorithm>
#include <array>
#include <bit>

#include "playback/recovery/ByteReading.h"

namespace velomira::recovery {

namespace {

uint8_t At(std::span<const std::byte> data, size_t pos)
{
    return std::to_integer<uint8_t>(data[pos]);
}

uint32_t NalLength(std::span<const std::byte> data, size_t pos, int lengthSize)
{
    uint32_t length = 0;
    for (int i = 0; i < lengthSize; ++i)
        length = length << 8 | At(data, pos + static_cast<size_t>(i));
    return length;
}

int16_t Word(std::span<const std::byte> data, size_t pos)
{
    return static_cast<int16_t>(At(data, pos) | At(data, pos + 1) << 8);
}

int HexDigit(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

constexpr size_t kGSensorBytes = 41;
constexpr size_t kLongestSentence = 1023;

size_t MeasureGSensor(std::span<const std::byte> data, size_t pos)
{
    if (data.size() - pos < kGSensorBytes || !GSensorTriplesFit(data, pos))
        return 0;
    static constexpr uint8_t kClockLimits[6] = { 99, 12, 31, 23, 59, 59 };
    for (int i = 0; i < 6; ++i) {
        if (At(data, pos + 13 + i) > kClockLimits[i])
            return 0;
    }
    for (int i = 0; i < 11; ++i) {
        if (static_cast<uint16_t>(Word(data, pos + 19 + 2 * i)) > 4096)
            return 0;
    }
    return kGSensorBytes;
}

size_t MeasureSentence(std::span<const std::byte> data, size_t pos)
{
    const size_t end = std::min(data.size(), pos + kLongestSentence);
    uint8_t checksum = 0;
    for (size_t p = pos + 1; p < end; ++p) {
        const uint8_t c = At(data, p);
        if (c == '*') {
            if (p + 2 >= data.size())
                return 0;
            const int high = HexDigit(At(data, p + 1));
            const int low = HexDigit(At(data, p + 2));
            if (high < 0 || low < 0 || (high << 4 | low) != checksum)
                return 0;
            size_t size = p + 3 - pos;
            if (pos + size < data.size() && At(data, pos + size) == '\r')
                ++size;
            if (pos + size < data.size() && At(data, pos + size) == '\n')
                ++size;
            return size;
        }
        if (c < 0x20 || c > 0x7e)
            return 0;
        checksum ^= c;
    }
    return 0;
}

size_t MeasureRawTelemetry(std::span<const std::byte> data, size_t pos)
{
    if (pos >= data.size())
        return 0;
    const uint8_t first = At(data, pos);
    if (first == 'M' || first == 'A')
        return MeasureGSensor(data, pos);
    if (first == '$')
        return MeasureSentence(data, pos);
    return 0;
}

// True when a NAL (of which only the start may be there) can only begin a picture: a
// leading NAL, or a slice at macroblock 0.
bool StartsAPicture(std::span<const std::byte> nal, const H264Parameters& parameters)
{
    if (nal.empty())
        return false;
    const int type = std::to_integer<int>(nal[0]) & 0x9f;
    if (type >= 6 && type <= 9)
        return true;
    const auto slice = ParseSliceStart(nal, parameters);
    return slice && slice->firstMb == 0;
}

} // namespace

bool GSensorTriplesFit(std::span<const std::byte> data, size_t pos)
{
    if (pos > data.size() || data.size() - pos < 13)
        return false;
    for (int i = 0; i < 3; ++i) {
        const int first = Word(data, pos + 1 + 2 * i);
        const int second = Word(data, pos + 7 + 2 * i);
        if (first < -4096 || first > 8192 || second < -16384 || second > 16384)
            return false;
    }
    return true;
}

bool TelemetryCutOff(std::span<const std::byte> data, size_t pos)
{
    if (pos >= data.size())
        return false;
    const size_t left = data.size() - pos;
    const uint8_t first = At(data, pos);
    if (first == 'M' || first == 'A') {
        if (left < 21 || left >= kGSensorBytes || !GSensorTriplesFit(data, pos))
            return false;
        static constexpr uint8_t kClockLimits[6] = { 99, 12, 31, 23, 59, 59 };
        for (int i = 0; i < 6; ++i) {
            if (At(data, pos + 13 + i) > kClockLimits[i])
                return false;
        }
        // Speed in km/h, then flags and small counts.
        for (size_t at = 19; at + 2 <= left; at += 2) {
            if (static_cast<uint16_t>(Word(data, pos + at)) > (at == 19 ? 400 : 255))
                return false;
        }
        return true;
    }
    if (first != '$' || left < 7)
        return false;
    for (size_t i = 1; i < 6; ++i) {
        const uint8_t c = At(data, pos + i);
        const bool letterOrDigit
            = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!letterOrDigit)
            return false;
    }
    if (At(data, pos + 6) != ',')
        return false;
    for (size_t i = 7; i < left; ++i) {
        const uint8_t c = At(data, pos + i);
        if (c < 0x20 || c > 0x7e)
            return false;
    }
    return true;
}

std::optional<PictureShape> MeasurePicture(std::span<const std::byte> data, size_t pos,
    const H264Parameters& parameters, size_t largestNal)
{
    const int lengthSize = parameters.nalLengthSize;
    PictureShape picture;
    SliceStart first;
    size_t p = pos;
    int leading = 0;
    while (p < data.size()) {
        if (data.size() - p < static_cast<size_t>(lengthSize) + 1) {
            picture.endUncertain = true;
            break;
        }
        const uint32_t length = NalLength(data, p, lengthSize);
        if (length == 0 || length > largestNal)
            break;
        if (length > data.size() - p - lengthSize) {
            // Another slice of this picture cut off by the end of the data, or the next
            // sample: only a header that starts a picture tells them apart.
            const auto next = data.subspan(p + lengthSize);
            SliceProblem problem = SliceProblem::None;
            ParseSliceStart(next, parameters, &problem);
            if (picture.slices > 0 && problem == SliceProblem::PastThePicture)
                return std::nullopt; // a slice of a larger picture than this track's
            picture.endUncertain = !StartsAPicture(next, parameters);
            break;
        }
        const auto nal = data.subspan(p + lengthSize, length);
        const int header = At(nal, 0);
        const int type = header & 0x1f;
        if ((header & 0x80) != 0)
            break;
        if (type == 1 || type == 5) {
            SliceProblem problem = SliceProblem::None;
            const auto slice = ParseSliceStart(nal, parameters, &problem);
            // A slice further into the picture than this track's pictures reach belongs
            // to a larger picture of another track.
            if (!slice && problem == SliceProblem::PastThePicture)
                return std::nullopt;
            if (!slice)
                break;
            if (picture.slices == 0) {
                if (slice->firstMb != 0)
                    return std::nullopt;
                first = *slice;
            } else if (slice->firstMb <= picture.lastFirstMb || slice->frameNum != first.frameNum
                || slice->idr != first.idr || slice->ppsId != first.ppsId
                || slice->refIdc != first.refIdc) {
                break; // the next picture, or not a slice of this one
            }
            picture.lastFirstMb = slice->firstMb;
            ++picture.slices;
        } else if (type >= 6 && type <= 9) {
            if (picture.slices > 0)
                break;
            // Leading NALs (SEI, parameter sets, delimiter) of a picture are few and short.
            if (++leading > 8 || (type == 9 && length != 2) || length > 65536)
                return std::nullopt;
        } else {
            if (picture.slices > 0)
                break;
            return std::nullopt;
        }
        p += lengthSize + length;
    }
    if (picture.slices == 0)
        return std::nullopt;
    picture.size = p - pos;
    picture.idr = first.idr;
    picture.frameNum = first.frameNum;
    picture.refIdc = first.refIdc;
    const SequenceParameters* sps = parameters.SpsForPps(first.ppsId);
    picture.frameNumModulus = 1u << (sps != nullptr ? sps->log2MaxFrameNum : 16);
    return picture;
}

int CountSlices(std::span<const std::byte> sample, const H264Parameters& parameters)
{
    if (sample.empty())
        return -1;
    const auto picture = MeasurePicture(sample, 0, parameters, sample.size());
    if (!picture || picture->size != sample.size())
        return -1;
    return picture->slices;
}

namespace {

struct StreamInfo {
    bool shortWindows = false;
    uint32_t highestBand = 0;
    int groups = 1;
};

bool ReadStreamInfo(BitReader& bits, StreamInfo& info)
{
    if (bits.Bit() != 0)
        return false; // reserved
    const uint32_t sequence = bits.Bits(2);
    bits.Bit(); // window shape
    info.shortWindows = sequence == 2;
    if (info.shortWindows) {
        info.highestBand = bits.Bits(4);
        const uint32_t grouping = bits.Bits(7);
        info.groups = 1;
        for (int i = 6; i >= 0; --i)
            info.groups += ((grouping >> i) & 1u) == 0 ? 1 : 0;
        return info.highestBand <= 15;
    }
    info.highestBand = bits.Bits(6);
    return info.highestBand <= 51 && bits.Bit() == 0; // no prediction in AAC-LC
}

bool ReadSections(BitReader& bits, const StreamInfo& info)
{
    const int lengthBits = info.shortWindows ? 3 : 5;
    const uint32_t escape = (1u << lengthBits) - 1;
    for (int g = 0; g < info.groups; ++g) {
        uint32_t band = 0;
        while (band < info.highestBand) {
            if (bits.Bits(4) == 12)
                return false; // reserved codebook
            uint32_t length = 0;
            uint32_t step = 0;
            do {
                step = bits.Bits(lengthBits);
                length += step;
            } while (step == escape && !bits.Failed() && length <= info.highestBand);
            if (length == 0)
                return false;
            band += length;
            if (band > info.highestBand || bits.Failed())
                return false;
        }
    }
    return !bits.Failed();
}

} // namespace

bool AacFrameCanStart(std::span<const std::byte> data, size_t pos)
{
    if (pos >= data.size())
        return false;
    BitReader bits(data.subspan(pos, std::min<size_t>(data.size() - pos, 64)), false);
    const uint32_t element = bits.Bits(3);
    bits.Bits(4); // instance tag
    StreamInfo info;
    if (element == 1) {
        const bool common = bits.Bit() != 0;
        if (common) {
            if (!ReadStreamInfo(bits, info))
                return false;
            const uint32_t mask = bits.Bits(2);
            if (mask == 3)
                return false;
            if (mask == 1)
                for (uint32_t i = 0; i < info.highestBand * static_cast<uint32_t>(info.groups); ++i)
                    bits.Bit();
        }
        bits.Bits(8); // global gain
        if (!common && !ReadStreamInfo(bits, info))
            return false;
        return ReadSections(bits, info);
    }
    if (element == 0 || element == 3) {
        bits.Bits(8);
        return ReadStreamInfo(bits, info) && ReadSections(bits, info);
    }
    return element != 7; // an END element first is an empty frame: not one the writer makes
}

bool EndsWithAacEnd(std::span<const std::byte> frame)
{
    return frame.size() >= 2 && AacEndIn(At(frame, frame.size() - 2), At(frame, frame.size() - 1));
}

size_t MeasureTelemetry(std::span<const std::byte> data, size_t pos, bool timedText)
{
    if (!timedText)
        return MeasureRawTelemetry(data, pos);
    if (data.size() < 2 || pos > data.size() - 2)
        return 0;
    const size_t length = At(data, pos) << 8 | At(data, pos + 1);
    if (length == 0)
        return 2;
    if (length > data.size() - pos - 2)
        return 0;
    const auto text = data.first(pos + 2 + length);
    return MeasureRawTelemetry(text, pos + 2) == length ? length + 2 : 0;
}

} // namespace velomira::recovery
