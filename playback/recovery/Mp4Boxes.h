#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace velomira::recovery {

// One ISO media box inside a run of bytes.
struct Box {
    char type[5] = {};
    uint64_t offset = 0; // of the header, in the bytes it was read from
    uint64_t headerSize = 8;
    uint64_t size = 0; // header included
    bool openEnded = false; // size 0 or past the end: it runs to the end of the bytes

    bool Is(std::string_view name) const { return name == std::string_view(type, 4); }
    std::span<const std::byte> Payload(std::span<const std::byte> bytes) const
    {
        return bytes.subspan(offset + headerSize, size - headerSize);
    }
    std::span<const std::byte> Whole(std::span<const std::byte> bytes) const
    {
        return bytes.subspan(offset, size);
    }
};

// The box whose header starts at `offset`. A size of 0 or one past the end gives an
// open-ended box reaching the end of `bytes` (as a writer leaves it while recording);
// nothing when the header itself does not fit or the size is too small.
std::optional<Box> ReadBox(std::span<const std::byte> bytes, uint64_t offset);

// The boxes one after another in `bytes` (a box payload or a whole file), stopping at the
// first that does not read or that is open-ended (that one is included).
std::vector<Box> ReadBoxes(std::span<const std::byte> bytes);

// The payload of the first child `type` in `payload`; nothing when there is none.
std::optional<std::span<const std::byte>> ChildPayload(
    std::span<const std::byte> payload, std::string_view type);
// The whole first child box `type` (header included).
std::optional<std::span<const std::byte>> ChildBox(
    std::span<const std::byte> payload, std::string_view type);

} // namespace velomira::recovery
