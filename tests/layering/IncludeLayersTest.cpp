// Calls go down only: the main window and its commands (app/) over the subsystems, the
// subsystems over the shared services (texts/, skin/, platform/), those over the plain
// core. This reads the project's own sources and fails on an include that points up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Include {
    std::string file; // relative to the source root
    int line = 0;
    std::string target; // as written between the quotes
};

std::vector<Include> ProjectIncludesUnder(const std::string& folder)
{
    const fs::path root = VELOMIRA_SOURCE_DIR;
    std::vector<Include> result;
    if (!fs::exists(root / folder))
        return result;
    static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    for (const auto& item : fs::recursive_directory_iterator(root / folder)) {
        const auto ext = item.path().extension();
        if (!item.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        std::ifstream in(item.path());
        std::string text;
        for (int number = 1; std::getline(in, text); ++number) {
            std::smatch match;
            if (std::regex_search(text, match, include))
                result.push_back({ fs::relative(item.path(), root).string(), number, match[1] });
        }
    }
    return result;
}

std::string TopFolder(const std::string& includePath)
{
    const auto slash = includePath.find('/');
    return slash == std::string::npos ? std::string() : includePath.substr(0, slash);
}

// Every include under `folder` whose first path component is one of `forbidden`.
std::vector<std::string> UpwardIncludes(
    const std::string& folder, const std::vector<std::string>& forbidden)
{
    std::vector<std::string> found;
    for (const auto& inc : ProjectIncludesUnder(folder)) {
        const auto top = TopFolder(inc.target);
        for (const auto& bad : forbidden)
            if (top == bad)
                found.push_back(
                    inc.file + ":" + std::to_string(inc.line) + " includes " + inc.target);
    }
    return found;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += "\n  " + line;
    return text;
}

TEST(IncludeLayers, SubsystemsNeverIncludeTheMainWindow)
{
    for (const std::string folder : { "playback", "library", "telemetry", "settings", "map",
             "tools", "export", "trips", "skin", "platform", "texts", "cli" }) {
        const auto found = UpwardIncludes(folder, { "app" });
        EXPECT_TRUE(found.empty()) << folder << "/ reaches up into app/:" << Join(found);
    }
}

TEST(IncludeLayers, CommandLineIncludesNoSkin)
{
    const auto found = UpwardIncludes("cli", { "app", "skin" });
    EXPECT_TRUE(found.empty()) << Join(found);
}

TEST(IncludeLayers, SharedServicesIncludeNoSubsystem)
{
    const std::vector<std::string> subsystems
        = { "app", "playback", "library", "telemetry", "map", "settings", "tools", "export",
              "trips" };
    for (const std::string folder : { "texts", "skin", "platform" }) {
        const auto found = UpwardIncludes(folder, subsystems);
        EXPECT_TRUE(found.empty()) << folder << "/ reaches up into a subsystem:" << Join(found);
    }
}

TEST(IncludeLayers, TheScanSeesTheProjectsIncludes)
{
    // Guards the check itself: a wrong source root would make every test above pass.
    bool sawTextsFromSettings = false;
    for (const auto& inc : ProjectIncludesUnder("settings"))
        sawTextsFromSettings |= TopFolder(inc.target) == "texts";
    EXPECT_TRUE(sawTextsFromSettings);
    EXPECT_FALSE(ProjectIncludesUnder("app").empty());
}

} // namespace
