#pragma once

// Recordings made for the export tests and the outside programs that judge the results.
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/TestPaths.h"

namespace velomira::test {

// Runs a shell command and gives its standard output; `status` its exit status.
inline std::string RunCommand(const std::string& command, int* status = nullptr)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return out;
    std::array<char, 4096> buffer;
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), count);
    const int result = ::pclose(pipe);
    if (status != nullptr)
        *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return out;
}

inline std::string Quoted(const std::filesystem::path& path)
{
    std::string text = "'";
    text.append(path.string()).append("'");
    return text;
}

// The parts one after another (appending sidesteps a false -Wrestrict of GCC 12 on
// chains of string +).
template <typename... Parts>
std::string Join(const Parts&... parts)
{
    std::string text;
    (text.append(parts), ...);
    return text;
}

// A recording of `seconds` with both pictures, sound and telemetry, and the generator's
// own list of the samples it wrote beside it (".txt").
// `options`: more of the generator's options ("--route sydney").
inline std::filesystem::path MakeRecording(
    const TempDir& folder, const std::string& name, int seconds, const std::string& options = "")
{
    const auto path = folder / name;
    int status = -1;
    RunCommand(Join(MkcardProgram().string(), " recording ", Quoted(path), " --duration ",
                   std::to_string(seconds), " --front 640x360 --rear 320x180 --telemetry-out ",
                   Quoted(Join(path.string(), ".txt")), " ", options, " 2>&1"),
        &status);
    return status == 0 ? path : std::filesystem::path();
}

inline bool HaveProgram(const std::string& name)
{
    int status = -1;
    RunCommand(Join("command -v ", name, " >/dev/null 2>&1"), &status);
    return status == 0;
}

} // namespace velomira::test
