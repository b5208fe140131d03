#include "library/RecordingEntry.h"

#include <array>
#include <limits>

namespace velomira {
namespace {

constexpr std::array<std::string_view, 6> kKindFolders
    = { "Event", "Normal", "Parking", "EVENT", "NORMAL", "PARKING" };

std::string_view StampPart(std::string_view text, std::size_t from, std::size_t count)
{
    if (from >= text.size())
        return {};
    return text.substr(from, count);
}

char Upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool IsKindFolderName(std::string_view name)
{
    for (std::string_view kind : kKindFolders) {
        if (kind == name)
            return true;
    }
    return false;
}

bool HasRecordingExtension(std::string_view name)
{
    if (name.size() < 4)
        return false;
    std::string tail;
    for (char c : name.substr(name.size() - 4))
        tail += Upper(c);
    return tail == ".AVI" || tail == ".MP4";
}

void FillStampColumns(std::string_view stamp, RecordingEntry& entry)
{
    stamp = stamp.substr(0, std::min<std::size_t>(stamp.size(), 15));
    entry.date = std::string(StampPart(stamp, 0, 4)) + "-" + std::string(StampPart(stamp, 4, 2))
        + "-" + std::string(StampPart(stamp, 6, 2));
    entry.time = std::string(StampPart(stamp, 9, 2)) + ":" + std::string(StampPart(stamp, 11, 2))
        + ":" + std::string(StampPart(stamp, 13, 2));
}

std::int64_t LeadingInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()
        && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\v'
            || text[i] == '\f' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (kLimit - digit) / 10)
            return negative ? std::numeric_limits<std::int64_t>::min() : kLimit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::int64_t StampKey(std::string_view path)
{
    const std::string_view t = path.size() > 22 ? path.substr(path.size() - 22) : path;
    const std::string_view s = t.size() > 7 ? t.substr(0, t.size() - 7) : std::string_view {};
    const std::string_view d = s.substr(0, std::min<std::size_t>(s.size(), 8));
    const std::string_view h = s.size() > 6 ? s.substr(s.size() - 6) : s;
    // D and H have at most 8 and 6 characters, so the key cannot overflow.
    return LeadingInteger(d) * 1000000 + LeadingInteger(h);
}

} // namespace velomira
