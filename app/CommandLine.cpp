#include "app/CommandLine.h"

#include <algorithm>
#include <array>

namespace velomira {
namespace {

struct WindowSystemOption {
    std::string_view name;
    bool takesValue;
};

// The options QApplication and QGuiApplication take out of the command line themselves.
constexpr std::array kWindowSystemOptions {
    WindowSystemOption { "-platform", true },
    WindowSystemOption { "-platformpluginpath", true },
    WindowSystemOption { "-platformtheme", true },
    WindowSystemOption { "-plugin", true },
    WindowSystemOption { "-display", true },
    WindowSystemOption { "-geometry", true },
    WindowSystemOption { "-qwindowgeometry", true },
    WindowSystemOption { "-qwindowtitle", true },
    WindowSystemOption { "-qwindowicon", true },
    WindowSystemOption { "-style", true },
    WindowSystemOption { "-stylesheet", true },
    WindowSystemOption { "-session", true },
    WindowSystemOption { "-reverse", false },
    WindowSystemOption { "-widgetcount", false },
    WindowSystemOption { "-nograb", false },
    WindowSystemOption { "-dograb", false },
    WindowSystemOption { "-sync", false },
};

const WindowSystemOption* FindWindowSystemOption(std::string_view argument)
{
    // Qt accepts its options with one dash or two, and "-style=NAME" as one word.
    if (argument.starts_with("--"))
        argument.remove_prefix(1);
    const std::string_view name = argument.substr(0, argument.find('='));
    for (const WindowSystemOption& option : kWindowSystemOptions) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

} // namespace

ViewerCommandLine ParseViewerCommandLine(const std::vector<std::string>& arguments)
{
    ViewerCommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            // "-" alone is a file of that name, as it is for most programs.
            line.paths.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            line.action = ViewerCommandLine::Action::Help;
            return line;
        } else if (argument == "--version" || argument == "-v") {
            line.action = ViewerCommandLine::Action::Version;
            return line;
        } else if (const WindowSystemOption* option = FindWindowSystemOption(argument)) {
            if (option->takesValue && argument.find('=') == std::string::npos) {
                if (i + 1 == arguments.size()) {
                    line.action = ViewerCommandLine::Action::UsageError;
                    line.error = "option '" + argument + "' needs a value";
                    return line;
                }
                ++i;
            }
        } else {
            line.action = ViewerCommandLine::Action::UsageError;
            line.error = "unknown option '" + argument + "'";
            return line;
        }
    }
    return line;
}

int AnswerWithoutWindow(
    const ViewerCommandLine& line, std::string_view versionNumber, std::FILE* out, std::FILE* err)
{
    switch (line.action) {
    case ViewerCommandLine::Action::Help:
        std::fputs(ViewerHelpText().c_str(), out);
        return 0;
    case ViewerCommandLine::Action::Version:
        std::fputs(ViewerVersionText(versionNumber).c_str(), out);
        return 0;
    case ViewerCommandLine::Action::UsageError:
        std::fprintf(err, "velomira-viewer: %s\n%s", line.error.c_str(), ViewerUsageText().c_str());
        return 2;
    case ViewerCommandLine::Action::Run:
        break;
    }
    return -1;
}

std::string MakeAbsolute(std::string_view path, std::string_view workingFolder)
{
    if (path.starts_with('/') || workingFolder.empty())
        return std::string(path);
    std::string absolute(workingFolder);
    if (!absolute.ends_with('/'))
        absolute += '/';
    absolute += path;
    return absolute;
}

std::string ViewerUsageText()
{
    return "Usage: velomira-viewer [--help] [--version] [PATH...]\n";
}

std::string ViewerHelpText()
{
    return ViewerUsageText()
        + "\n"
          "Plays the recordings of a VELOMIRA 6 dashcam and manages its SD card.\n"
          "\n"
          "  PATH        a card folder (one that holds EVENT, or a kind folder with\n"
          "              recordings) opens as the card, as the SDOPEN button does;\n"
          "              .mp4 and .avi recordings are listed as the OPEN button lists\n"
          "              them, and the first one plays. The first path that opens\n"
          "              decides which of the two happens.\n"
          "  -h, --help     show this help and exit\n"
          "  -v, --version  show the version and exit\n"
          "\n"
          "With the viewer already running, the paths go to that window, which comes to\n"
          "the front. Without a path the viewer starts empty; SDOPEN finds the card.\n";
}

std::string ViewerVersionText(std::string_view versionNumber)
{
    return "velomira-viewer " + std::string(versionNumber) + "\n";
}

} // namespace velomira
