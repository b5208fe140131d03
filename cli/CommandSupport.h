#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/CardPath.h"

namespace velomira::cli {

// Exit statuses of every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitNegative = 1;
inline constexpr int kExitBadInput = 2;

// The drive letter a card given by its folder is seen under.
inline constexpr char kCardLetter = 'E';

// Prints "velomira-card: <message>" as one line on standard error and returns 2.
int BadInput(std::string_view message);
// Prints "velomira-card: <message>" on standard error and returns 1.
int Negative(std::string_view message);

void WriteOut(std::string_view text);

std::optional<std::int64_t> ParseInteger(std::string_view text);

// The card folder ROOT as drive E:, or nothing (after reporting) when it is not a folder.
std::optional<FixedDriveRoots> CardDrive(std::string_view root);

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

} // namespace velomira::cli
