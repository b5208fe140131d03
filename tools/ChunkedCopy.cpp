#include "tools/ChunkedCopy.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velomira {

namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    Descriptor(const FileOperations& ops, int fd)
        : m_ops(ops)
        , m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            m_ops.close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Flushes the file to the medium and closes it; false when either reported an error (a
    // write that did not land).
    bool FlushAndClose()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && velomira::FlushAndClose(m_ops, fd);
    }

private:
    const FileOperations& m_ops;
    int m_fd;
};

// Creates a temporary file that did not exist before (O_EXCL), so the copy never writes
// into a file it did not make.
int CreateTemporary(
    const FileOperations& ops, const std::filesystem::path& target, std::filesystem::path& chosen)
{
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        chosen = TemporaryNameFor(target, attempt);
        const int fd = ops.open(chosen.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(const FileOperations& ops, int fd, const char* bytes, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ops.write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Moves up to `size` bytes; the count moved (0 at the end of the source), or -1.
// The kernel copies between the files itself where it can (as cp does); read and write
// through `buffer` otherwise.
ssize_t MoveChunk(const FileOperations& ops, int in, int out, std::size_t size,
    std::vector<char>& buffer, bool& kernelCopy)
{
    if (kernelCopy) {
        for (;;) {
            const ssize_t moved = ops.copyRange(in, out, size);
            if (moved > 0)
                return moved;
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL
                && errno != EOPNOTSUPP)
                return -1;
            // Not between these file systems, or a 0 that some file systems give before
            // the end: reading tells where the source really ends.
            kernelCopy = false;
            break;
        }
    }
    if (buffer.size() < size)
        buffer.resize(size);
    for (;;) {
        const ssize_t got = ops.read(in, buffer.data(), size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got;
        return WriteAll(ops, out, buffer.data(), static_cast<std::size_t>(got)) ? got : -1;
    }
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
    const CopyProgress& progress, std::size_t chunkBytes, const FileOperations& ops)
{
    if (source.empty() || target.empty() || !target.has_filename() || chunkBytes == 0)
        return CopyResult::Failed;
    Descriptor in(ops, ops.open(source.c_str(), O_RDONLY | O_CLOEXEC, 0));
    struct stat facts { };
    if (in.get() < 0 || ::fstat(in.get(), &facts) != 0 || S_ISDIR(facts.st_mode))
        return CopyResult::Failed;
    const std::uint64_t totalBytes = static_cast<std::uint64_t>(facts.st_size);
    ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    std::filesystem::path temporary;
    Descriptor out(ops, CreateTemporary(ops, target, temporary));
    if (out.get() < 0)
        return CopyResult::Failed;

    CopyResult result = CopyResult::Done;
    std::vector<char> buffer;
    bool kernelCopy = true;
    std::uint64_t done = 0;
    for (;;) {
        const ssize_t moved = MoveChunk(ops, in.get(), out.get(), chunkBytes, buffer, kernelCopy);
        if (moved < 0) {
            result = CopyResult::Failed;
            break;
        }
        done += static_cast<std::uint64_t>(moved);
        if (progress && !progress(done, totalBytes)) {
            result = CopyResult::Cancelled;
            break;
        }
        if (moved == 0)
            break;
    }
    // A source that ends before the size it had at the start (a card pulled out, a file
    // cut meanwhile) gives no complete copy.
    if (result == CopyResult::Done && done < totalBytes)
        result = CopyResult::Failed;
    // The bytes reach the medium before the copy takes the final name; flushing and
    // closing report write errors that surfaced late (a full or pulled-out stick).
    if (!out.FlushAndClose() && result == CopyResult::Done)
        result = CopyResult::Failed;
    if (result == CopyResult::Done && ops.rename(temporary.c_str(), target.c_str()) != 0)
        result = CopyResult::Failed;
    if (result != CopyResult::Done) {
        ops.unlink(temporary.c_str());
        return result;
    }
    // The rename lasts only with its folder. The complete file is under its name by now,
    // so a folder that cannot be flushed does not make the copy fail.
    FlushFolder(ops, target.parent_path().empty() ? "." : target.parent_path().c_str());
    return result;
}

std::string RecordingFileName(std::string_view listPath)
{
    const bool cardPath = listPath.size() >= 2 && listPath[1] == ':';
    const size_t cut = listPath.find_last_of(cardPath ? "\\" : "/");
    return std::string(cut == std::string_view::npos ? listPath : listPath.substr(cut + 1));
}

} // namespace velomira
