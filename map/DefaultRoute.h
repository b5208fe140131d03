#pragma once

#include <string_view>

namespace velomira {

// Whether the kernel's routing tables (the text of /proc/net/route and
// /proc/net/ipv6_route) hold a usable default route: one that is up, not a reject
// route, and not on the loopback interface. A machine without one is offline.
bool HasDefaultRoute(std::string_view ipv4Table, std::string_view ipv6Table);

} // namespace velomira
