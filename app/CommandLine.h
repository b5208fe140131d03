#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace velomira {

// What `velomira-viewer [OPTION...] [PATH...]` asks for. The window system's own options
// (-platform NAME, -display NAME, -style NAME, ...) are left to Qt and kept out of the
// paths; "--" ends the options.
struct ViewerCommandLine {
    enum class Action {
        Run, // start, or hand the paths to the viewer already running
        Help, // print the help to standard output, exit 0
        Version, // print the version, exit 0
        UsageError, // print `error` and the short usage to standard error, exit 2
    };
    Action action = Action::Run;
    std::vector<std::string> paths; // as given; made absolute with MakeAbsolute
    std::string error;
};

// `arguments` without the program name.
ViewerCommandLine ParseViewerCommandLine(const std::vector<std::string>& arguments);

// `path` against `workingFolder` when it is relative, so that a viewer started elsewhere
// (the hand-over) finds the same file.
std::string MakeAbsolute(std::string_view path, std::string_view workingFolder);

// For --help, --version and a usage error: prints the answer (to `out`, or the error
// to `err`) and returns the exit status; -1 when the viewer is to start.
int AnswerWithoutWindow(
    const ViewerCommandLine& line, std::string_view versionNumber, std::FILE* out, std::FILE* err);

// The texts printed for --help, for a usage error and for --version.
std::string ViewerHelpText();
std::string ViewerUsageText();
std::string ViewerVersionText(std::string_view versionNumber);

} // namespace velomira
