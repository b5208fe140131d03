#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/recovery/IndexRebuild.h"

namespace velomira::ffmpeg {

// An MP4 recording cut short (no index, as a power loss leaves it) with its index rebuilt
// in memory from a complete recording of the same layout. It reads as a whole MP4: the
// file's own bytes with the media data box's size set, then the rebuilt index; the media
// data is never copied and the file is never written.
class RebuiltRecording {
public:
    // Rebuilds `path` from `referencePath`, or when that is empty from the nearest complete
    // recording of the same layout: the same folder first, then the folders around it,
    // newest first. Nothing when `path` is not an MP4 cut short, or nothing could be
    // rebuilt; `why` then says why (empty when the file is simply not a cut MP4).
    static std::unique_ptr<RebuiltRecording> Open(
        const std::string& path, const std::string& referencePath, std::string& why);
    ~RebuiltRecording();

    uint64_t Size() const { return m_index.Size(); }
    // Copies up to `size` bytes at `offset` of the rebuilt file; the count, 0 at the end,
    // -1 when the file cannot be read.
    int64_t Read(uint64_t offset, uint8_t* buffer, size_t size) const;

    const recovery::RebuiltIndex& Index() const { return m_index; }
    const std::string& ReferencePath() const { return m_referencePath; }

    // An I/O context that reads this recording for libavformat (which must be closed
    // before this object goes).
    AVIOContext* MakeIoContext();

private:
    RebuiltRecording() = default;

    int m_file = -1;
    recovery::RebuiltIndex m_index;
    std::string m_referencePath;
    int64_t m_ioPosition = 0; // the I/O context's read position
    AVIOContext* m_io = nullptr;
};

} // namespace velomira::ffmpeg
