#include "platform/CardPath.h"

#include <system_error>
#include <utility>
#include <vector>

namespace velomira {
namespace {

char FoldCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char UpperLetter(char letter)
{
    return FoldCase(letter);
}

// The entry of `folder` whose name equals `name` ignoring case; the exact name when it
// exists or nothing matches.
std::string ResolveComponent(const std::filesystem::path& folder, const std::string& name)
{
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder / name, error)))
        return name;
    std::filesystem::directory_iterator it(folder, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (SameNameIgnoringCase(candidate, name))
            return candidate;
    }
    return name;
}

} // namespace

std::string CardRootPath(char letter, std::string_view name)
{
    return std::string(1, letter) + ":\\" + std::string(name);
}

std::string CardSetupPath(char letter, std::string_view name)
{
    return std::string(1, letter) + ":\\SETUP\\" + std::string(name);
}

std::string CardSetupRelativePath(char letter, std::string_view name)
{
    return std::string(1, letter) + ":SETUP\\" + std::string(name);
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    }
    return true;
}

namespace {

// The drive's root and the path's components, or nothing for a text that names no drive
// or holds a component that could leave the card.
std::optional<std::pair<std::filesystem::path, std::vector<std::string>>> SplitCardPath(
    std::string_view cardPath, const DriveRoots& drives)
{
    if (cardPath.size() < 2 || cardPath[1] != ':')
        return std::nullopt;
    const char letter = UpperLetter(cardPath[0]);
    if (letter < 'A' || letter > 'Z')
        return std::nullopt;
    std::optional<std::filesystem::path> root = drives.RootOf(letter);
    if (!root)
        return std::nullopt;

    std::vector<std::string> components;
    std::string_view rest = cardPath.substr(2);
    while (!rest.empty()) {
        const auto separator = rest.find('\\');
        const std::string_view component = rest.substr(0, separator);
        if (component == "." || component == ".." || component.find('/') != std::string_view::npos
            || component.find('\0') != std::string_view::npos)
            return std::nullopt;
        if (!component.empty())
            components.emplace_back(component);
        if (separator == std::string_view::npos)
            break;
        rest.remove_prefix(separator + 1);
    }
    return std::make_pair(std::move(*root), std::move(components));
}

} // namespace

std::optional<std::filesystem::path> ToLinuxPathAsListed(
    std::string_view cardPath, const DriveRoots& drives)
{
    auto split = SplitCardPath(cardPath, drives);
    if (!split)
        return std::nullopt;
    std::filesystem::path path = std::move(split->first);
    for (const std::string& component : split->second)
        path /= component;
    return path;
}

std::optional<std::filesystem::path> ToLinuxPath(
    std::string_view cardPath, const DriveRoots& drives)
{
    auto split = SplitCardPath(cardPath, drives);
    if (!split)
        return std::nullopt;
    const std::filesystem::path& root = split->first;
    const std::vector<std::string>& components = split->second;

    // The common case: every name is spelled as on the card.
    std::filesystem::path exact = root;
    for (const std::string& component : components)
        exact /= component;
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(exact, error)))
        return exact;

    std::filesystem::path resolved = root;
    for (const std::string& component : components)
        resolved /= ResolveComponent(resolved, component);
    return resolved;
}

void FixedDriveRoots::Assign(char letter, std::filesystem::path root)
{
    m_roots[UpperLetter(letter)] = std::move(root);
}

std::optional<std::filesystem::path> FixedDriveRoots::RootOf(char letter) const
{
    const auto it = m_roots.find(letter);
    if (it == m_roots.end())
        return std::nullopt;
    return it->second;
}

} // namespace velomira
