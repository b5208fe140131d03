#pragma once

#include <string>
#include <string_view>

namespace velomira {

// The real providers' addresses, used unless the user redirects them.
inline constexpr std::string_view kDefaultMapsApiBase = "https://maps.googleapis.com";
inline constexpr std::string_view kDefaultTileUrl
    = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";

// True for an http or https address made only of characters that cannot leave a quoted
// script string or an attribute (no quotes, backslashes, angle brackets, spaces).
bool IsSafeWebAddress(std::string_view address);

// The maps API script's address: `base` (the default when empty or unsafe, a trailing
// slash dropped), the path "/maps/api/js" and the query "v=3&callback=initialize", with
// "&key=" and the percent-encoded key when a key is given.
std::string MapsApiScriptUrl(std::string_view base, std::string_view apiKey);

// The tile address template ({z}, {x}, {y}); the default when empty or unsafe.
std::string TileUrlTemplate(std::string_view configured);

// Replaces every `placeholder` in `text` by `value`.
std::string ReplaceAll(std::string text, std::string_view placeholder, std::string_view value);

} // namespace velomira
