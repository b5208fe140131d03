#pragma once

#include <cstdint>
#include <string>

namespace velomira {

// A time label's text for `ms` milliseconds: "%02d:%02d:%02d" of whole hours (not
// wrapped at 24, so more than 99 hours give three digits), minutes and seconds.
std::string ClockText(std::uint32_t ms);

} // namespace velomira
