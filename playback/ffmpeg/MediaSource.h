#pragma once

#include <memory>
#include <string>

#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/RecordingInfo.h"

namespace velomira::ffmpeg {

// The demultiplexer side of a recording: opens the file with libavformat, accepts only
// MP4/MOV and AVI, and sorts its streams into the outputs the player uses (up to two
// video streams, the first audio stream, the first subtitle, data or unknown stream as
// telemetry). Used from one thread at a time.
class MediaSource {
public:
    // Opens `path`; nothing when the file is not a recording the source accepts.
    static std::unique_ptr<MediaSource> Open(const std::string& path);

    const RecordingInfo& Info() const { return m_info; }
    AVFormatContext* Context() const { return m_context.get(); }
    const std::string& Path() const { return m_path; }

    // Stream indexes in the format context, or -1.
    int VideoStream(int n) const { return n >= 0 && n < 2 ? m_videoStreams[n] : -1; }
    int AudioStream() const { return m_audioStream; }
    int TelemetryStream() const { return m_telemetryStream; }

private:
    MediaSource() = default;
    void Classify();

    std::string m_path;
    FormatContextPtr m_context;
    RecordingInfo m_info;
    int m_videoStreams[2] = { -1, -1 };
    int m_audioStream = -1;
    int m_telemetryStream = -1;
};

} // namespace velomira::ffmpeg
