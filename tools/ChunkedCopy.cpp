#include "tools/ChunkedCopy.h"

#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

namespace velomira {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens a temporary file that did not exist before ("x": exclusive creation), so an
// existing file is never overwritten by the copy itself.
File CreateTemporary(const std::filesystem::path& target, std::filesystem::path& chosen)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        chosen = TemporaryNameFor(target, attempt);
        if (File file { std::fopen(chosen.c_str(), "wbx") })
            return file;
        std::error_code error;
        if (!std::filesystem::exists(chosen, error))
            break; // not a name clash: the folder refuses new files
    }
    chosen.clear();
    return nullptr;
}

} // namespace

std::filesystem::path TemporaryNameFor(const std::filesystem::path& target, unsigned attempt)
{
    // Hidden and marked as partial, so a file manager shows nothing half-written.
    std::string name(1, '.');
    name.append(target.filename().string());
    name.append(".part");
    if (attempt > 0)
        name.append(std::to_string(attempt));
    return target.parent_path() / name;
}

CopyResult CopyInChunks(const std::filesystem::path& source, const std::filesystem::path& target,
    const CopyProgress& progress, std::size_t chunkBytes)
{
    if (source.empty() || target.empty() || chunkBytes == 0)
        return CopyResult::Failed;
    File in { std::fopen(source.c_str(), "rb") };
    if (!in)
        return CopyResult::Failed;
    std::error_code error;
    if (std::filesystem::is_directory(source, error))
        return CopyResult::Failed;
    const std::uintmax_t size = std::filesystem::file_size(source, error);
    const std::uint64_t totalBytes = error ? 0 : static_cast<std::uint64_t>(size);
    std::setvbuf(in.get(), nullptr, _IONBF, 0);

    std::filesystem::path temporary;
    File out = CreateTemporary(target, temporary);
    if (!out)
        return CopyResult::Failed;
    std::setvbuf(out.get(), nullptr, _IONBF, 0);

    CopyResult result = CopyResult::Done;
    std::vector<char> buffer(chunkBytes);
    std::uint64_t done = 0;
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
        if (got > 0 && std::fwrite(buffer.data(), 1, got, out.get()) != got) {
            result = CopyResult::Failed;
            break;
        }
        done += got;
        if (got < buffer.size()) {
            if (std::ferror(in.get()))
                result = CopyResult::Failed;
            break;
        }
        if (progress && !progress(done, totalBytes)) {
            result = CopyResult::Cancelled;
            break;
        }
    }
    if (result == CopyResult::Done && progress && !progress(done, totalBytes))
        result = CopyResult::Cancelled;
    // Closing flushes; a failure there (a full disk) fails the copy.
    if (std::fclose(out.release()) != 0 && result == CopyResult::Done)
        result = CopyResult::Failed;
    if (result == CopyResult::Done) {
        std::filesystem::rename(temporary, target, error);
        if (error)
            result = CopyResult::Failed;
    }
    if (result != CopyResult::Done)
        std::filesystem::remove(temporary, error);
    return result;
}

std::string RecordingFileName(std::string_view listPath)
{
    const bool cardPath = listPath.size() >= 2 && listPath[1] == ':';
    const size_t cut = listPath.find_last_of(cardPath ? "\\" : "/");
    return std::string(cut == std::string_view::npos ? listPath : listPath.substr(cut + 1));
}

} // namespace velomira
