#pragma once

#include "telemetry/CTextData.h"

#include <string>
#include <string_view>
#include <vector>

namespace velomira {

// Reads samples written one a line as "<ms> <hex bytes>" (hex digits, spaces allowed
// between them) or "<ms> $TEXT" (the text as the sample's bytes). Blank lines and lines
// starting with "#" are skipped. On a malformed line returns false with the line named in
// `error`.
bool ParseTelemetrySampleText(std::string_view text, std::vector<TelemetrySampleBytes>& samples, std::string& error);

}  // namespace velomira
