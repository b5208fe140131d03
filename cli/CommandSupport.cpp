#include "cli/CommandSupport.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace velomira::cli {

int BadInput(std::string_view message)
{
    std::fprintf(stderr, "velomira-card: %.*s\n", static_cast<int>(message.size()), message.data());
    return kExitBadInput;
}

int Negative(std::string_view message)
{
    std::fprintf(stderr, "velomira-card: %.*s\n", static_cast<int>(message.size()), message.data());
    return kExitNegative;
}

void WriteOut(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::optional<std::int64_t> ParseInteger(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<FixedDriveRoots> CardDrive(std::string_view root)
{
    std::error_code error;
    const std::filesystem::path path(root);
    if (!std::filesystem::is_directory(path, error)) {
        BadInput("not a folder: " + std::string(root));
        return std::nullopt;
    }
    return FixedDriveRoots(kCardLetter, std::filesystem::absolute(path, error));
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace velomira::cli
