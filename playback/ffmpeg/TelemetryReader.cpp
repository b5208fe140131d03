#include "playback/ffmpeg/TelemetryReader.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "playback/ffmpeg/MediaSource.h"

namespace velomira::ffmpeg {

namespace {

// Samples larger than this are not telemetry; they are skipped rather than read.
constexpr int64_t kLargestSample = 1 << 20;

int64_t ToMilliseconds(int64_t timestamp, AVRational timeBase)
{
    if (timestamp == AV_NOPTS_VALUE)
        return 0;
    return av_rescale_q(timestamp, timeBase, { 1, 1000 });
}

} // namespace

std::unique_ptr<TelemetryReader> TelemetryReader::Create(const MediaSource& source, bool useIndex)
{
    const int streamIndex = source.TelemetryStream();
    if (streamIndex < 0)
        return nullptr;
    std::unique_ptr<TelemetryReader> reader(new TelemetryReader);
    const AVStream* stream = source.Context()->streams[streamIndex];
    reader->m_timeBase = stream->time_base;
    if (source.Info().container == "avi")
        reader->m_framing = Framing::AviChunk;
    else if (stream->codecpar->codec_id == AV_CODEC_ID_MOV_TEXT)
        reader->m_framing = Framing::TimedText;

    const int count = useIndex ? avformat_index_get_entries_count(stream) : 0;
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(const_cast<AVStream*>(stream), i);
        if (entry == nullptr)
            break;
        reader->m_entries.push_back(
            { entry->pos, entry->size, ToMilliseconds(entry->timestamp, stream->time_base) });
    }
    if (!reader->m_entries.empty()) {
        std::stable_sort(reader->m_entries.begin(), reader->m_entries.end(),
            [](const Entry& a, const Entry& b) { return a.position < b.position; });
        reader->m_file = ::open(source.Path().c_str(), O_RDONLY | O_CLOEXEC);
        if (reader->m_file >= 0)
            return reader;
        reader->m_entries.clear();
    }

    reader->OpenFallback(source, streamIndex);
    return reader;
}

void TelemetryReader::OpenFallback(const MediaSource& source, int streamIndex)
{
    // No index: a demultiplexer of our own that reads only the telemetry stream. AVI
    // packets carry the chunk payload without its header.
    if (m_framing == Framing::AviChunk)
        m_framing = Framing::Raw;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "probesize", "32768", 0);
    av_dict_set(&options, "analyzeduration", "0", 0);
    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, source.Path().c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return; // delivers nothing
    m_fallback.reset(raw);
    if (static_cast<unsigned>(streamIndex) >= raw->nb_streams)
        return;
    for (unsigned i = 0; i < raw->nb_streams; ++i)
        raw->streams[i]->discard
            = static_cast<int>(i) == streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    m_stream = streamIndex;
    m_timeBase = raw->streams[streamIndex]->time_base;
    m_packet = MakePacket();
}

TelemetryReader::~TelemetryReader()
{
    if (m_file >= 0)
        ::close(m_file);
}

int TelemetryReader::Next(uint8_t* buffer, uint32_t* capacity, int32_t* timeMs)
{
    std::vector<uint8_t> sample;
    int64_t sampleMs = 0;
    for (;;) {
        const bool got
            = m_file >= 0 ? NextFromIndex(sample, sampleMs) : NextFromPackets(sample, sampleMs);
        if (!got)
            return kEndOfSamples;
        if (!sample.empty())
            break; // empty samples (gaps between timed texts) are not handed out
    }
    const uint32_t room = capacity != nullptr ? *capacity : 0;
    const auto copied = static_cast<uint32_t>(std::min<size_t>(room, sample.size()));
    if (buffer != nullptr && copied > 0)
        std::memcpy(buffer, sample.data(), copied);
    if (capacity != nullptr)
        *capacity = copied;
    if (timeMs != nullptr)
        *timeMs = static_cast<int32_t>(sampleMs);
    return 0;
}

bool TelemetryReader::NextFromIndex(std::vector<uint8_t>& sample, int64_t& timeMs)
{
    while (m_next < m_entries.size() && !m_ended) {
        const Entry& entry = m_entries[m_next++];
        if (entry.size < 0 || entry.size > kLargestSample)
            continue;
        int64_t position = entry.position;
        int64_t size = entry.size;
        if (m_framing == Framing::AviChunk) {
            // The entry points at the chunk header ("NNtx" + 32-bit size) when the
            // demuxer kept it; the payload follows it.
            uint8_t header[8];
            if (::pread(m_file, header, 8, position) != 8) {
                m_ended = true;
                break;
            }
            const bool isHeader
                = header[0] >= '0' && header[0] <= '9' && header[1] >= '0' && header[1] <= '9';
            if (isHeader) {
                const int64_t chunkSize = header[4] | (header[5] << 8) | (header[6] << 16)
                    | (static_cast<int64_t>(header[7]) << 24);
                position += 8;
                size = std::min(size > 0 ? size : chunkSize, chunkSize);
            }
        }
        sample.assign(static_cast<size_t>(size), 0);
        if (size > 0
            && ::pread(m_file, sample.data(), sample.size(), position)
                != static_cast<ssize_t>(sample.size())) {
            // The file ends inside this sample: a truncated recording ends here.
            m_ended = true;
            break;
        }
        timeMs = entry.timeMs;
        if (Unframe(sample))
            return true;
    }
    return false;
}

bool TelemetryReader::NextFromPackets(std::vector<uint8_t>& sample, int64_t& timeMs)
{
    if (!m_fallback || m_stream < 0 || m_ended)
        return false;
    for (;;) {
        av_packet_unref(m_packet.get());
        if (av_read_frame(m_fallback.get(), m_packet.get()) < 0) {
            m_ended = true;
            return false;
        }
        if (m_packet->stream_index != m_stream)
            continue;
        sample.assign(m_packet->data, m_packet->data + m_packet->size);
        const int64_t ts = m_packet->pts != AV_NOPTS_VALUE ? m_packet->pts : m_packet->dts;
        timeMs = ToMilliseconds(ts, m_timeBase);
        if (Unframe(sample))
            return true;
    }
}

bool TelemetryReader::Unframe(std::vector<uint8_t>& sample) const
{
    return m_framing != Framing::TimedText || UnwrapTimedTextSample(sample);
}

} // namespace velomira::ffmpeg
