#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "devtools/mkcard/CardWriter.h"
#include "devtools/mkcard/RecordingJob.h"
#include "devtools/mkcard/TripsCardWriter.h"

namespace velomira {

enum class CommandKind { Help, Recording, Card, Demo, Testset, Trips };

struct Command {
    CommandKind kind = CommandKind::Help;
    RecordingOptions recording;
    CardOptions card;
    std::filesystem::path outDir; // demo and testset
    TripsCardOptions trips;
    std::string error; // non-empty: the arguments were not understood
};

// Parses the arguments after the program name.
Command ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

// Runs a parsed command; returns the process exit status (0 success, 1 failure, 2 usage),
// printing errors to standard error.
int RunCommand(const Command& command);

} // namespace velomira
