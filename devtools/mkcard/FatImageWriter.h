#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velomira {

// Runs a program found on PATH with an argument list (no shell), its standard output
// discarded, and waits for it. Returns its exit status, or -1 when it could not be started
// or did not exit normally.
int RunProgram(const std::vector<std::string>& args);

// Writes the folder tree at cardRoot into a new FAT32 image file (mkfs.fat, then mtools'
// mcopy; nothing is mounted). The image is at least 64 MiB and grows with the content.
// Returns an empty string or what went wrong.
std::string WriteFatImage(
    const std::filesystem::path& cardRoot, const std::filesystem::path& image);

} // namespace velomira
