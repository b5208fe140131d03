#include "app/ClockText.h"

#include <cstdio>

namespace velomira {

std::string ClockText(std::uint32_t ms)
{
    const std::uint32_t s = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", s / 3600, (s % 3600) / 60, (s % 3600) % 60);
    return text;
}

} // namespace velomira
