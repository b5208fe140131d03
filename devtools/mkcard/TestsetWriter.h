#pragma once

#include <filesystem>
#include <string>

namespace velomira {

// The chosen telemetry samples of rec/chosen.txt: a G-sensor sample with zero bytes inside
// at 40 ms, two samples in one millisecond, $GPRMC, $GNRMC, lower-case and non-RMC lines,
// south and west positions, a line without a fix, a sample over 1024 bytes and a last
// sample 10 ms before the end of a 4-second recording. In the text form.
std::string ChosenTelemetryText();

// Writes everything the media and end-to-end tests read into outDir (see the manifest it
// writes). The work happens in a temporary folder beside it, renamed at the end; when outDir
// already holds a set made by this same program file, nothing is done. Returns an empty string or
// what went wrong.
std::string WriteTestset(const std::filesystem::path& outDir);

} // namespace velomira
