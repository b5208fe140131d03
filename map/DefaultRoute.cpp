#include "map/DefaultRoute.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

namespace velomira {

namespace {

constexpr std::uint32_t kRouteUp = 0x0001;
constexpr std::uint32_t kRouteReject = 0x0200;

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    while (!line.empty()) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            break;
        line.remove_prefix(start);
        const auto end = line.find_first_of(" \t");
        fields.push_back(line.substr(0, end));
        if (end == std::string_view::npos)
            break;
        line.remove_prefix(end);
    }
    return fields;
}

bool Hex(std::string_view text, std::uint32_t& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool AllZero(std::string_view text)
{
    return !text.empty() && text.find_first_not_of('0') == std::string_view::npos;
}

template<typename LineTest>
bool AnyLine(std::string_view table, bool skipHeader, LineTest test)
{
    bool first = true;
    while (!table.empty()) {
        const auto end = table.find('\n');
        const std::string_view line = table.substr(0, end);
        if (!(first && skipHeader) && test(Fields(line)))
            return true;
        first = false;
        if (end == std::string_view::npos)
            break;
        table.remove_prefix(end + 1);
    }
    return false;
}

bool Usable(std::string_view interface, std::uint32_t flags)
{
    return interface != "lo" && (flags & kRouteUp) != 0 && (flags & kRouteReject) == 0;
}

} // namespace

bool HasDefaultRoute(std::string_view ipv4Table, std::string_view ipv6Table)
{
    // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
    const bool v4 = AnyLine(ipv4Table, true, [](const std::vector<std::string_view>& f) {
        std::uint32_t flags = 0;
        return f.size() >= 8 && AllZero(f[1]) && AllZero(f[7]) && Hex(f[3], flags)
            && Usable(f[0], flags);
    });
    if (v4)
        return true;
    // Destination PrefixLength Source SourcePrefix NextHop Metric RefCnt Use Flags Iface
    return AnyLine(ipv6Table, false, [](const std::vector<std::string_view>& f) {
        std::uint32_t flags = 0;
        return f.size() >= 10 && AllZero(f[0]) && AllZero(f[1]) && Hex(f[8], flags)
            && Usable(f[9], flags);
    });
}

} // namespace velomira
