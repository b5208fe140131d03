#include "playback/AviStreamPatch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vector>

namespace velomira {
namespace {

uint32_t ReadLe32(const std::vector<char>& data, size_t offset)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(data[offset + static_cast<size_t>(i)]);
    return value;
}

void PutLe32(std::vector<char>& data, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        data[offset + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
}

bool TagAt(const std::vector<char>& data, size_t offset, const char* tag)
{
    return offset + 4 <= data.size() && std::memcmp(data.data() + offset, tag, 4) == 0;
}

// Offset of the fccType field of the streamIndex-th 'strl' list in the header list that
// starts at hdrlData and ends at hdrlEnd, or 0 when there is none.
size_t FindStrhType(const std::vector<char>& data, size_t pos, size_t end, int streamIndex)
{
    int seen = 0;
    while (pos + 8 <= end) {
        const uint32_t size = ReadLe32(data, pos + 4);
        const size_t next = pos + 8 + size + (size & 1);
        if (TagAt(data, pos, "LIST") && TagAt(data, pos + 8, "strl")) {
            if (seen == streamIndex) {
                const size_t strh = pos + 12;
                if (TagAt(data, strh, "strh") && strh + 12 <= data.size())
                    return strh + 8;
                return 0;
            }
            ++seen;
        }
        if (next <= pos)
            return 0;
        pos = next;
    }
    return 0;
}

} // namespace

std::string PatchAviStreamType(const std::filesystem::path& path, int streamIndex,
    const std::string& expectedType, const std::string& newType)
{
    if (expectedType.size() != 4 || newType.size() != 4)
        return "stream types are four characters";
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file)
        return "cannot open " + path.string();
    // The header list sits at the start of the file; 1 MiB is far more than it needs.
    std::vector<char> data(1 << 20);
    file.read(data.data(), static_cast<std::streamsize>(data.size()));
    data.resize(static_cast<size_t>(file.gcount()));
    file.clear();
    if (!TagAt(data, 0, "RIFF") || !TagAt(data, 8, "AVI "))
        return "not an AVI file";
    size_t pos = 12;
    while (pos + 12 <= data.size()) {
        const uint32_t size = ReadLe32(data, pos + 4);
        if (TagAt(data, pos, "LIST") && TagAt(data, pos + 8, "hdrl")) {
            const size_t end = std::min(data.size(), pos + 8 + size);
            const size_t typeOffset = FindStrhType(data, pos + 12, end, streamIndex);
            if (typeOffset == 0)
                return "no stream header for stream " + std::to_string(streamIndex);
            if (std::memcmp(data.data() + typeOffset, expectedType.data(), 4) != 0)
                return "stream " + std::to_string(streamIndex) + " is not of type " + expectedType;
            std::memcpy(data.data() + typeOffset, newType.data(), 4);
            // typeOffset is 8 bytes into the 'strh' chunk; the next chunk follows it.
            const size_t strhSize = ReadLe32(data, typeOffset - 4);
            const size_t after = typeOffset + strhSize + (strhSize & 1);
            if (after + 8 > data.size())
                return "stream header runs past the header list";
            if (!TagAt(data, after, "strf")) {
                const uint32_t junkSize = ReadLe32(data, after + 4);
                if (!TagAt(data, after, "JUNK") || junkSize < 8)
                    return "no room for a format header after stream "
                        + std::to_string(streamIndex);
                std::memcpy(data.data() + after, "strf", 4);
                PutLe32(data, after + 4, 0);
                std::memcpy(data.data() + after + 8, "JUNK", 4);
                PutLe32(data, after + 12, junkSize - 8);
            }
            file.seekp(0);
            file.write(
                data.data(), static_cast<std::streamsize>(std::min(data.size(), after + 16)));
            file.flush();
            return file ? std::string() : "cannot write " + path.string();
        }
        pos += 8 + size + (size & 1);
    }
    return "no AVI header list";
}

} // namespace velomira
