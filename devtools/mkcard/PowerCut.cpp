#include "devtools/mkcard/PowerCut.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <vector>

namespace velomira {
namespace {

uint64_t BigEndian(const unsigned char* p, int bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | p[i];
    return value;
}

} // namespace

std::optional<PowerCutPoint> ParsePowerCutPoint(const std::string& text)
{
    PowerCutPoint point;
    if (!text.empty() && text.back() == '%') {
        double percent = -1;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size() - 1, percent);
        if (ec != std::errc() || end != text.data() + text.size() - 1 || !(percent >= 0)
            || percent > 100)
            return std::nullopt;
        point.mediaPerMille = static_cast<int>(std::lround(percent * 10));
        return point;
    }
    uint64_t offset = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), offset);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    point.byteOffset = offset;
    return point;
}

std::optional<MediaDataSpan> FindMediaData(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (!in || ec)
        return std::nullopt;
    uint64_t offset = 0;
    while (offset + 8 <= size) {
        unsigned char header[16] = {};
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(reinterpret_cast<char*>(header), 16);
        uint64_t boxSize = BigEndian(header, 4);
        uint64_t headerSize = 8;
        if (boxSize == 1) {
            boxSize = BigEndian(header + 8, 8);
            headerSize = 16;
        } else if (boxSize == 0) {
            boxSize = size - offset;
        }
        if (boxSize < headerSize || offset + boxSize > size)
            return std::nullopt;
        if (std::equal(header + 4, header + 8, "mdat"))
            return MediaDataSpan { offset, offset + headerSize, offset + boxSize };
        offset += boxSize;
    }
    return std::nullopt;
}

std::optional<uint64_t> WritePowerCut(const std::filesystem::path& complete,
    const std::filesystem::path& out, const PowerCutPoint& point, std::string& error)
{
    const auto media = FindMediaData(complete);
    if (!media) {
        error = "no media data box in " + complete.string();
        return std::nullopt;
    }
    uint64_t cut = media->end;
    if (point.byteOffset)
        cut = *point.byteOffset;
    else if (point.mediaPerMille)
        cut = media->dataOffset
            + (media->end - media->dataOffset) * static_cast<uint64_t>(*point.mediaPerMille) / 1000;
    cut = std::clamp(cut, media->dataOffset, media->end);

    std::ifstream in(complete, std::ios::binary);
    std::vector<char> bytes(cut);
    in.read(bytes.data(), static_cast<std::streamsize>(cut));
    if (!in) {
        error = "cannot read " + complete.string();
        return std::nullopt;
    }
    // The writer's placeholder: the size is only filled in when recording ends.
    const uint64_t sizeField
        = media->dataOffset - media->boxOffset == 16 ? media->boxOffset + 8 : media->boxOffset;
    const int sizeBytes = media->dataOffset - media->boxOffset == 16 ? 8 : 4;
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(sizeField), sizeBytes, 0);
    if (sizeBytes == 8)
        bytes[media->boxOffset + 3] = 1; // keeps the 64-bit form; its size is the placeholder

    std::filesystem::path temp = out;
    temp += ".part";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            error = "cannot write " + temp.string();
            return std::nullopt;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, out, ec);
    if (ec) {
        error = "cannot rename " + temp.string() + ": " + ec.message();
        return std::nullopt;
    }
    return cut;
}

} // namespace velomira
