#include "map/MapResources.h"

namespace velomira {

namespace {

bool IsNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'
        || c == '-';
}

// Runs of name characters joined by single dots: never "..", never a slash.
bool IsPlainFileName(std::string_view name)
{
    bool afterDot = true;
    for (const char c : name) {
        if (c == '.') {
            if (afterDot)
                return false;
            afterDot = true;
        } else if (IsNameCharacter(c)) {
            afterDot = false;
        } else {
            return false;
        }
    }
    return !afterDot;
}

} // namespace

MapResource MapResourceFor(std::string_view path, std::string_view fragment)
{
    using Kind = MapResource::Kind;
    if (path.ends_with("/PNG/"))
        return { fragment == "484" ? Kind::Marker : Kind::None, {} };
    if (path.ends_with("/osm"))
        return { Kind::SecondProviderPage, {} };
    if (path.ends_with("/trips"))
        return { Kind::TripsPage, {} };
    constexpr std::string_view kLeaflet = "/leaflet/";
    if (const auto at = path.rfind(kLeaflet); at != std::string_view::npos) {
        std::string_view name = path.substr(at + kLeaflet.size());
        const std::string_view file
            = name.starts_with("images/") ? name.substr(std::string_view("images/").size()) : name;
        if (IsPlainFileName(file))
            return { Kind::LeafletFile, std::string(name) };
        return {};
    }
    if (path.ends_with("/480"))
        return { Kind::MapPage, {} };
    return {};
}

} // namespace velomira
