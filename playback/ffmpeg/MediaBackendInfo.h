#pragma once

#include <string>

namespace velomira {

// The versions of the FFmpeg libraries the player runs on, for --version outputs.
std::string MediaBackendVersions();

} // namespace velomira
