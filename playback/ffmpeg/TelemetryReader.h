#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/TimedTextSample.h"

namespace velomira::ffmpeg {

class MediaSource;

// Hands out the telemetry samples of a recording in file order, one per call, with
// their time in milliseconds from the start. Reads through the container's sample
// index (only the samples' own bytes are read, from a file handle of its own); a file
// without an index is read packet by packet through a demultiplexer of its own, so it
// never disturbs the playback threads. Used from one thread at a time.
class TelemetryReader {
public:
    static constexpr int kEndOfSamples = 38;

    // Nothing when the recording has no telemetry stream. `useIndex` false reads
    // packets even when the container has an index (to check one against the other).
    static std::unique_ptr<TelemetryReader> Create(const MediaSource& source, bool useIndex = true);
    ~TelemetryReader();

    // Copies the next sample into `buffer` (at most *capacity bytes; a longer sample
    // is cut), stores the bytes copied in *capacity and the time in *timeMs; returns
    // 0, or kEndOfSamples when there are no more.
    int Next(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs);

    // True when the samples are read through the container's index.
    bool UsesIndex() const { return m_file >= 0; }

private:
    struct Entry {
        int64_t position = 0;
        int64_t size = 0;
        int64_t timeMs = 0;
    };
    enum class Framing { Raw, TimedText, AviChunk };

    TelemetryReader() = default;
    bool NextFromIndex(std::vector<uint8_t>& sample, int64_t& timeMs);
    bool NextFromPackets(std::vector<uint8_t>& sample, int64_t& timeMs);
    bool Unframe(std::vector<uint8_t>& sample) const;
    void OpenFallback(const MediaSource& source, int streamIndex);

    Framing m_framing = Framing::Raw;
    std::vector<Entry> m_entries;
    size_t m_next = 0;
    int m_file = -1; // descriptor read with pread(): exactly the samples' bytes
    FormatContextPtr m_fallback;
    int m_stream = -1;
    AVRational m_timeBase { 1, 1000 };
    PacketPtr m_packet;
    bool m_ended = false;
};

} // namespace velomira::ffmpeg
