#pragma once

#include <string>

namespace velomira {

// The product's version as shown in message-box titles and print-job names:
// "VELOMIRA6 v.1.0.3".
std::string VersionText();

// The version number alone ("1.0.3").
std::string VersionNumber();

} // namespace velomira
