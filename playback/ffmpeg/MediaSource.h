#pragma once

#include <memory>
#include <string>

#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/RebuiltRecording.h"
#include "playback/ffmpeg/RecordingInfo.h"

namespace velomira::ffmpeg {

// The demultiplexer side of a recording: opens the file with libavformat, accepts only
// MP4/MOV and AVI, and sorts its streams into the outputs the player uses (up to two
// video streams, the first audio stream, the first subtitle, data or unknown stream as
// telemetry). Used from one thread at a time.
class MediaSource {
public:
    // Opens `path`; nothing when the file is not a recording the source accepts. An MP4
    // cut short (no index) opens with its index rebuilt in memory from `referencePath`, or
    // when that is empty from the nearest complete recording of the same layout.
    static std::unique_ptr<MediaSource> Open(
        const std::string& path, const std::string& referencePath = {});

    const RecordingInfo& Info() const { return m_info; }
    AVFormatContext* Context() const { return m_context.get(); }
    const std::string& Path() const { return m_path; }
    // The rebuilt index of a recording cut short; nothing for a whole one.
    const RebuiltRecording* Rebuilt() const { return m_rebuilt.get(); }

    // Stream indexes in the format context, or -1.
    int VideoStream(int n) const { return n >= 0 && n < 2 ? m_videoStreams[n] : -1; }
    int AudioStream() const { return m_audioStream; }
    int TelemetryStream() const { return m_telemetryStream; }

private:
    MediaSource() = default;
    void Classify();
    // Opens the recording through an index rebuilt in memory (see Open).
    int OpenRebuilt(
        const std::string& referencePath, AVFormatContext** raw, AVDictionary** options);

    std::string m_path;
    std::unique_ptr<RebuiltRecording> m_rebuilt; // outlives the context reading through it
    FormatContextPtr m_context;
    RecordingInfo m_info;
    int m_videoStreams[2] = { -1, -1 };
    int m_audioStream = -1;
    int m_telemetryStream = -1;
};

} // namespace velomira::ffmpeg
