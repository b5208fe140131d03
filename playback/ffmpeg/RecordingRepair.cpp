#include "playback/ffmpeg/RecordingRepair.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "playback/ffmpeg/RebuiltRecording.h"
#include "tools/ChunkedCopy.h"

namespace velomira {

namespace {

constexpr size_t kChunkBytes = size_t { 4 } << 20;

const char* KindName(recovery::TrackKind kind)
{
    switch (kind) {
    case recovery::TrackKind::Video:
        return "video";
    case recovery::TrackKind::Audio:
        return "audio";
    case recovery::TrackKind::Telemetry:
        return "telemetry";
    }
    return "";
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Streams the rebuilt recording into a new temporary file beside `target`; its name, or
// an empty path after a failure or a cancel (nothing is left behind).
RepairResult::Status WriteTemporary(const ffmpeg::RebuiltRecording& rebuilt,
    const std::filesystem::path& target, const RepairProgress& progress,
    std::filesystem::path& temporary)
{
    int fd = -1;
    for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryNameFor(target, attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        temporary.clear();
        return RepairResult::Status::Failed;
    }
    std::vector<uint8_t> buffer(kChunkBytes);
    const uint64_t total = rebuilt.Size();
    uint64_t done = 0;
    auto status = RepairResult::Status::Written;
    while (done < total) {
        const int64_t got = rebuilt.Read(done, buffer.data(), buffer.size());
        if (got <= 0 || !WriteAll(fd, buffer.data(), static_cast<size_t>(got))) {
            status = RepairResult::Status::Failed;
            break;
        }
        done += static_cast<uint64_t>(got);
        if (progress && !progress(done, total)) {
            status = RepairResult::Status::Cancelled;
            break;
        }
    }
    if (::close(fd) != 0 && status == RepairResult::Status::Written)
        status = RepairResult::Status::Failed;
    if (status != RepairResult::Status::Written) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        temporary.clear();
    }
    return status;
}

} // namespace

bool LooksCutShort(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool media = false;
    bool index = false;
    bool mp4 = false;
    uint64_t offset = 0;
    for (int box = 0; box < 64; ++box) {
        uint8_t header[16];
        if (::pread(fd, header, sizeof header, static_cast<off_t>(offset)) < 8)
            break;
        uint64_t size
            = static_cast<uint64_t>(header[0]) << 24 | header[1] << 16 | header[2] << 8 | header[3];
        const std::string type(reinterpret_cast<const char*>(header) + 4, 4);
        mp4 = mp4 || (box == 0 && type == "ftyp");
        media = media || type == "mdat";
        index = index || type == "moov";
        if (size == 1) {
            size = 0;
            for (int i = 8; i < 16; ++i)
                size = size << 8 | header[i];
        }
        if (size < 8)
            break; // 0: the media data runs to the end of the file
        offset += size;
    }
    ::close(fd);
    return mp4 && media && !index;
}

RepairResult RepairRecording(const std::string& input, const std::string& output,
    const std::string& referencePath, const RepairProgress& progress)
{
    RepairResult result;
    std::error_code error;
    if (!std::filesystem::is_regular_file(input, error)) {
        result.status = RepairResult::Status::BadInput;
        result.message = input + ": no such recording";
        return result;
    }
    if (std::filesystem::exists(output, error)
        && std::filesystem::equivalent(input, output, error)) {
        result.status = RepairResult::Status::BadInput;
        result.message = "the repaired copy cannot replace the recording itself";
        return result;
    }
    std::string why;
    const auto rebuilt = ffmpeg::RebuiltRecording::Open(input, referencePath, why);
    if (!rebuilt) {
        result.status
            = why.empty() ? RepairResult::Status::BadInput : RepairResult::Status::NothingRebuilt;
        result.message = why.empty() ? input + ": not an MP4 recording cut short" : why;
        return result;
    }
    result.referencePath = rebuilt->ReferencePath();
    for (const auto& track : rebuilt->Index().tracks)
        result.tracks.push_back({ KindName(track.kind), track.codec, track.samples,
            static_cast<int64_t>(track.durationMs) });

    std::filesystem::path temporary;
    result.status = WriteTemporary(*rebuilt, output, progress, temporary);
    if (result.status == RepairResult::Status::Cancelled)
        return result;
    if (result.status == RepairResult::Status::Written) {
        std::filesystem::rename(temporary, output, error);
        if (!error)
            return result;
        std::filesystem::remove(temporary, error);
        result.status = RepairResult::Status::Failed;
    }
    result.message = "cannot write " + output;
    return result;
}

} // namespace velomira
