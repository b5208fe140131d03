#include "map/MapAddresses.h"

#include <array>
#include <cstdio>

namespace velomira {

namespace {

bool IsUnreserved(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
        || c == '.' || c == '_' || c == '~';
}

std::string PercentEncoded(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (IsUnreserved(c)) {
            out += c;
            continue;
        }
        std::array<char, 4> escape {};
        std::snprintf(escape.data(), escape.size(), "%%%02X", static_cast<unsigned char>(c));
        out += escape.data();
    }
    return out;
}

} // namespace

bool IsSafeWebAddress(std::string_view address)
{
    const bool http = address.starts_with("http://") || address.starts_with("https://");
    if (!http)
        return false;
    const auto afterScheme = address.find("//") + 2;
    if (afterScheme >= address.size() || address[afterScheme] == '/')
        return false;
    for (const char c : address) {
        const bool allowed = IsUnreserved(c) || c == ':' || c == '/' || c == '%' || c == '['
            || c == ']' || c == '@' || c == '{' || c == '}' || c == '?' || c == '=' || c == '&';
        if (!allowed)
            return false;
    }
    return true;
}

std::string MapsApiScriptUrl(std::string_view base, std::string_view apiKey)
{
    std::string address(IsSafeWebAddress(base) ? base : kDefaultMapsApiBase);
    while (address.ends_with('/'))
        address.pop_back();
    address += "/maps/api/js?v=3&callback=initialize";
    if (!apiKey.empty())
        address += "&key=" + PercentEncoded(apiKey);
    return address;
}

std::string TileUrlTemplate(std::string_view configured)
{
    return std::string(IsSafeWebAddress(configured) ? configured : kDefaultTileUrl);
}

std::string ReplaceAll(std::string text, std::string_view placeholder, std::string_view value)
{
    if (placeholder.empty())
        return text;
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}

} // namespace velomira
