#include "library/RecordingImport.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "library/RecordingFilter.h"

namespace velomira {
namespace {

constexpr std::uintmax_t kMinimumKiB = 11;

// Size of a regular file opened read-only, or nothing when it cannot be opened.
std::optional<std::uintmax_t> ReadableFileSize(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0)
        return std::nullopt;
    return static_cast<std::uintmax_t>(size);
}

} // namespace

std::string_view ImportedFileName(std::string_view path)
{
    const auto separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view ImportStamp(std::string_view fileName)
{
    const auto caret = fileName.find('^');
    if (caret == std::string_view::npos)
        return fileName.substr(0, std::min<std::size_t>(fileName.size(), 15));
    return fileName.substr(caret + 1, 15);
}

bool IsImportableRecording(const std::string& path)
{
    if (!HasRecordingExtension(path))
        return false;
    const auto size = ReadableFileSize(path);
    return size && *size / 1024 >= kMinimumKiB;
}

std::size_t ImportOpenedFiles(
    RecordingLists& lists, const std::vector<std::string>& paths, const ListFilter& filter)
{
    lists.master.clear();
    lists.visible.clear();
    std::vector<RecordingEntry> accepted;
    for (const std::string& path : paths) {
        if (!IsImportableRecording(path))
            continue;
        RecordingEntry entry;
        FillStampColumns(ImportStamp(ImportedFileName(path)), entry);
        entry.kind = std::string(kImportedKind);
        entry.path = path;
        accepted.push_back(std::move(entry));
    }
    // Each accepted file went to the top: the master list holds them newest-chosen first.
    lists.master.assign(accepted.rbegin(), accepted.rend());
    return FilterAndSortEntries(lists, filter);
}

} // namespace velomira
