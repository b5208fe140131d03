#include "playback/ffmpeg/RebuiltRecording.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <span>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace velomira::ffmpeg {

namespace {

// A file mapped read-only for the walker: only the pages it touches are read.
class MappedFile {
public:
    explicit MappedFile(const std::string& path)
    {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info { };
        if (m_fd < 0 || ::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
            return;
        m_size = static_cast<size_t>(info.st_size);
        void* address = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, m_fd, 0);
        if (address == MAP_FAILED) {
            m_size = 0;
            return;
        }
        m_address = address;
    }
    ~MappedFile()
    {
        if (m_address != nullptr)
            ::munmap(m_address, m_size);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::span<const std::byte> Bytes() const
    {
        if (m_address == nullptr)
            return {};
        return { static_cast<const std::byte*>(m_address), m_size };
    }
    // Hands the descriptor over (the mapping stays valid without it).
    int TakeDescriptor() { return std::exchange(m_fd, -1); }
    // Lets the pages before `offset` go: they are read again from the page cache only if
    // touched again.
    void Release(uint64_t offset)
    {
        const auto page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
        const uint64_t end = std::min<uint64_t>(offset, m_size) / page * page;
        if (m_address != nullptr && end > 0)
            ::madvise(m_address, end, MADV_DONTNEED);
    }

private:
    int m_fd = -1;
    void* m_address = nullptr;
    size_t m_size = 0;
};

// Most candidate references tried, and most files looked at to find them.
constexpr size_t kMostReferencesTried = 16;
constexpr size_t kMostFilesListed = 4000;

bool IsMp4Name(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".mp4" || extension == ".mov";
}

// The MP4 files under `folder` (down to `depth` folders below it), newest first.
void ListRecordings(const std::filesystem::path& folder, int depth,
    std::vector<std::filesystem::path>& seen, std::vector<std::filesystem::path>& out)
{
    struct Found {
        std::filesystem::file_time_type time;
        std::filesystem::path path;
    };
    std::vector<Found> found;
    std::error_code error;
    auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(folder, options, error), end;
         !error && it != end && found.size() < kMostFilesListed; it.increment(error)) {
        if (it.depth() >= depth)
            it.disable_recursion_pending();
        std::error_code fileError;
        if (!it->is_regular_file(fileError) || !IsMp4Name(it->path()))
            continue;
        if (std::find(seen.begin(), seen.end(), it->path()) != seen.end())
            continue;
        found.push_back({ it->last_write_time(fileError), it->path() });
    }
    std::stable_sort(
        found.begin(), found.end(), [](const Found& a, const Found& b) { return a.time > b.time; });
    for (const Found& f : found) {
        seen.push_back(f.path);
        out.push_back(f.path);
    }
}

// The card's root: the folder up to three levels above the recording's that holds the
// dashcam's settings file or SETUP folder.
std::filesystem::path CardRootAbove(std::filesystem::path folder)
{
    for (int up = 0; up <= 3 && !folder.empty(); ++up) {
        std::error_code error;
        if (std::filesystem::exists(folder / "data_setup.cfg", error)
            || std::filesystem::is_directory(folder / "SETUP", error))
            return folder;
        if (!folder.has_parent_path() || folder.parent_path() == folder)
            break;
        folder = folder.parent_path();
    }
    return {};
}

// Where to look for a reference: the recording's folder, then (on a card) the kind
// folders of the card, each newest first.
std::vector<std::filesystem::path> ReferenceCandidates(const std::filesystem::path& recording)
{
    std::vector<std::filesystem::path> seen { recording };
    std::vector<std::filesystem::path> out;
    std::filesystem::path folder = recording.parent_path();
    if (folder.empty())
        folder = ".";
    ListRecordings(folder, 0, seen, out);
    const std::filesystem::path root = CardRootAbove(folder);
    if (!root.empty())
        ListRecordings(root, 3, seen, out);
    return out;
}

} // namespace

std::unique_ptr<RebuiltRecording> RebuiltRecording::Open(
    const std::string& path, const std::string& referencePath, std::string& why)
{
    why.clear();
    MappedFile cut(path);
    const auto shape = recovery::ReadFileShape(cut.Bytes());
    const auto bytes = cut.Bytes();
    const bool mp4 = bytes.size() >= 8 && std::memcmp(bytes.data() + 4, "ftyp", 4) == 0;
    if (!mp4 || shape.hasIndex || !shape.hasMediaData)
        return nullptr; // not a recording cut short: nothing to say

    std::vector<std::filesystem::path> candidates;
    if (!referencePath.empty())
        candidates.push_back(referencePath);
    else
        candidates = ReferenceCandidates(path);
    size_t tried = 0;
    std::string lastFailure = "no complete recording to take as the reference";
    for (const auto& candidate : candidates) {
        MappedFile reference(candidate.string());
        if (!recovery::ReadFileShape(reference.Bytes()).hasIndex) {
            if (!referencePath.empty())
                lastFailure = "the reference has no index";
            continue;
        }
        if (++tried > kMostReferencesTried)
            break;
        // The walk touches the header bytes of every sample: the pages it is done with
        // leave the process as it goes, so a large recording costs no more than a small.
        recovery::RebuiltIndex index = recovery::RebuildIndex(
            bytes, reference.Bytes(), [&cut](uint64_t offset) { cut.Release(offset); });
        if (!index.Ok()) {
            lastFailure = index.failure;
            continue;
        }
        std::unique_ptr<RebuiltRecording> rebuilt(new RebuiltRecording);
        rebuilt->m_index = std::move(index);
        rebuilt->m_referencePath = candidate.string();
        rebuilt->m_file = cut.TakeDescriptor();
        return rebuilt;
    }
    why = "cannot rebuild " + path + ": " + lastFailure;
    return nullptr;
}

RebuiltRecording::~RebuiltRecording()
{
    if (m_io != nullptr) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
    if (m_file >= 0)
        ::close(m_file);
}

int64_t RebuiltRecording::Read(uint64_t offset, uint8_t* buffer, size_t size) const
{
    const uint64_t total = Size();
    if (offset >= total)
        return 0;
    size = static_cast<size_t>(std::min<uint64_t>(size, total - offset));
    const uint64_t dataEnd = m_index.dataEnd;
    if (offset >= dataEnd) {
        std::memcpy(buffer, m_index.movieBox.data() + (offset - dataEnd), size);
        return static_cast<int64_t>(size);
    }
    size = static_cast<size_t>(std::min<uint64_t>(size, dataEnd - offset));
    size_t done = 0;
    while (done < size) {
        const ssize_t got
            = ::pread(m_file, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return done > 0 ? static_cast<int64_t>(done) : -1;
        done += static_cast<size_t>(got);
    }
    // The media data box's header as rebuilt, over the file's own.
    const uint64_t headerAt = m_index.mediaDataBox;
    const uint64_t headerEnd = headerAt + m_index.mediaDataHeader.size();
    const uint64_t from = std::max(offset, headerAt);
    const uint64_t to = std::min(offset + size, headerEnd);
    for (uint64_t p = from; p < to; ++p)
        buffer[p - offset] = static_cast<uint8_t>(m_index.mediaDataHeader[p - headerAt]);
    return static_cast<int64_t>(size);
}

AVIOContext* RebuiltRecording::MakeIoContext()
{
    if (m_io != nullptr)
        return m_io;
    constexpr int kBufferBytes = 64 * 1024;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
    if (buffer == nullptr)
        return nullptr;
    const auto read = [](void* opaque, uint8_t* out, int size) -> int {
        auto* self = static_cast<RebuiltRecording*>(opaque);
        const int64_t got = self->Read(
            static_cast<uint64_t>(self->m_ioPosition), out, static_cast<size_t>(std::max(size, 0)));
        if (got == 0)
            return AVERROR_EOF;
        if (got < 0)
            return AVERROR(EIO);
        self->m_ioPosition += got;
        return static_cast<int>(got);
    };
    const auto seek = [](void* opaque, int64_t offset, int whence) -> int64_t {
        auto* self = static_cast<RebuiltRecording*>(opaque);
        const auto size = static_cast<int64_t>(self->Size());
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return size;
        case SEEK_SET:
            break;
        case SEEK_CUR:
            offset += self->m_ioPosition;
            break;
        case SEEK_END:
            offset += size;
            break;
        default:
            return AVERROR(EINVAL);
        }
        if (offset < 0)
            return AVERROR(EINVAL);
        self->m_ioPosition = offset;
        return offset;
    };
    m_io = avio_alloc_context(buffer, kBufferBytes, 0, this, read, nullptr, seek);
    if (m_io == nullptr)
        av_free(buffer);
    return m_io;
}

} // namespace velomira::ffmpeg
