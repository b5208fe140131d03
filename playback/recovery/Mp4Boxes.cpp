#include "playback/recovery/Mp4Boxes.h"

#include "playback/recovery/ByteReading.h"

namespace velomira::recovery {

std::optional<Box> ReadBox(std::span<const std::byte> bytes, uint64_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < 8)
        return std::nullopt;
    ByteReader reader(bytes, offset);
    Box box;
    box.offset = offset;
    uint64_t size = reader.U32();
    for (int i = 0; i < 4; ++i)
        box.type[i] = static_cast<char>(reader.U8());
    if (size == 1) {
        size = reader.U64();
        box.headerSize = 16;
        if (reader.Failed())
            return std::nullopt;
    }
    const uint64_t left = bytes.size() - offset;
    if (size == 0 || size > left) {
        box.openEnded = true;
        size = left;
    }
    if (size < box.headerSize)
        return std::nullopt;
    box.size = size;
    return box;
}

std::vector<Box> ReadBoxes(std::span<const std::byte> bytes)
{
    std::vector<Box> boxes;
    uint64_t offset = 0;
    while (auto box = ReadBox(bytes, offset)) {
        boxes.push_back(*box);
        if (box->openEnded)
            break;
        offset += box->size;
    }
    return boxes;
}

std::optional<std::span<const std::byte>> ChildPayload(
    std::span<const std::byte> payload, std::string_view type)
{
    for (const Box& box : ReadBoxes(payload)) {
        if (box.Is(type) && !box.openEnded)
            return box.Payload(payload);
    }
    return std::nullopt;
}

std::optional<std::span<const std::byte>> ChildBox(
    std::span<const std::byte> payload, std::string_view type)
{
    for (const Box& box : ReadBoxes(payload)) {
        if (box.Is(type) && !box.openEnded)
            return box.Whole(payload);
    }
    return std::nullopt;
}

} // namespace velomira::recovery
