#pragma once

#include <string>
#include <string_view>

namespace velomira {

// What a "res:" address names. Pages and images name each other relative to the page
// ("res:/PNG/#484" from "res://<program path>/480" lands beside it), so only the end of
// the path counts.
struct MapResource {
    enum class Kind { None, MapPage, Marker, SecondProviderPage, TripsPage, LeafletFile };
    Kind kind = Kind::None;
    std::string leafletName; // for LeafletFile: a name or images/<name>, nothing else
};

MapResource MapResourceFor(std::string_view path, std::string_view fragment);

} // namespace velomira
