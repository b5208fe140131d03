#include "playback/recovery/MovieBoxWriter.h"

#include <algorithm>
#include <string_view>

namespace velomira::recovery {

namespace {

// Appends boxes to a byte vector; Open() and Close() nest.
class BoxWriter {
public:
    void Open(std::string_view type)
    {
        m_open.push_back(m_bytes.size());
        U32(0);
        for (char c : type.substr(0, 4))
            m_bytes.push_back(static_cast<std::byte>(c));
    }
    void Close()
    {
        const size_t start = m_open.back();
        m_open.pop_back();
        Patch(start, static_cast<uint32_t>(m_bytes.size() - start));
    }
    void U8(uint8_t value) { m_bytes.push_back(static_cast<std::byte>(value)); }
    void U32(uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            U8(static_cast<uint8_t>(value >> shift));
    }
    void U64(uint64_t value)
    {
        U32(static_cast<uint32_t>(value >> 32));
        U32(static_cast<uint32_t>(value));
    }
    void Raw(const std::vector<std::byte>& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    std::vector<std::byte>& Bytes() { return m_bytes; }

private:
    void Patch(size_t at, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes[at + static_cast<size_t>(i)] = static_cast<std::byte>(value >> (24 - 8 * i));
    }
    std::vector<std::byte> m_bytes;
    std::vector<size_t> m_open;
};

void PutBig(std::vector<std::byte>& box, size_t at, uint64_t value, int bytes)
{
    if (at + static_cast<size_t>(bytes) > box.size())
        return;
    for (int i = 0; i < bytes; ++i)
        box[at + static_cast<size_t>(i)] = static_cast<std::byte>(value >> (8 * (bytes - 1 - i)));
}

// Rewrites the duration of an mvhd, tkhd or mdhd box (full box: version 1 has 64-bit
// times). `before` is the bytes between the flags and the duration in version 0.
std::vector<std::byte> WithDuration(std::vector<std::byte> box, uint64_t duration, int before)
{
    if (box.size() < 12)
        return box;
    const bool wide = std::to_integer<int>(box[8]) == 1;
    // Version 1 widens the creation and modification times (and the duration).
    const size_t at = 12 + static_cast<size_t>(wide ? before + 8 : before);
    PutBig(box, at, wide ? duration : std::min<uint64_t>(duration, UINT32_MAX), wide ? 8 : 4);
    return box;
}

// An edit list of one entry keeps its media start; its length becomes the new one.
std::vector<std::byte> WithEditDuration(std::vector<std::byte> elst, uint64_t duration)
{
    if (elst.size() < 16)
        return {};
    const bool wide = std::to_integer<int>(elst[8]) == 1;
    const uint32_t entries = static_cast<uint32_t>(std::to_integer<uint8_t>(elst[12]) << 24
        | std::to_integer<uint8_t>(elst[13]) << 16 | std::to_integer<uint8_t>(elst[14]) << 8
        | std::to_integer<uint8_t>(elst[15]));
    if (entries != 1 || elst.size() < (wide ? 36u : 28u))
        return {};
    PutBig(elst, 16, wide ? duration : std::min<uint64_t>(duration, UINT32_MAX), wide ? 8 : 4);
    return elst;
}

void WriteSampleTables(
    BoxWriter& out, const ReferenceTrack& track, const std::vector<const RecoveredSample*>& samples)
{
    out.Open("stbl");
    out.Raw(track.stsd);

    out.Open("stts");
    out.U32(0);
    std::vector<std::pair<uint32_t, uint32_t>> runs;
    for (size_t i = 0; i < samples.size(); ++i) {
        const uint32_t duration = ReferenceDuration(track, i);
        if (!runs.empty() && runs.back().second == duration)
            ++runs.back().first;
        else
            runs.push_back({ 1, duration });
    }
    out.U32(static_cast<uint32_t>(runs.size()));
    for (const auto& [count, duration] : runs) {
        out.U32(count);
        out.U32(duration);
    }
    out.Close();

    if (track.hasSyncTable) {
        out.Open("stss");
        out.U32(0);
        const auto syncs = std::count_if(
            samples.begin(), samples.end(), [](const RecoveredSample* s) { return s->sync; });
        out.U32(static_cast<uint32_t>(syncs));
        for (size_t i = 0; i < samples.size(); ++i) {
            if (samples[i]->sync)
                out.U32(static_cast<uint32_t>(i + 1));
        }
        out.Close();
    }

    out.Open("stsz");
    out.U32(0);
    out.U32(0);
    out.U32(static_cast<uint32_t>(samples.size()));
    for (const RecoveredSample* sample : samples)
        out.U32(sample->size);
    out.Close();

    out.Open("stsc");
    out.U32(0);
    out.U32(samples.empty() ? 0 : 1);
    if (!samples.empty()) {
        out.U32(1); // from the first chunk on,
        out.U32(1); // one sample per chunk,
        out.U32(1); // described by the first sample description
    }
    out.Close();

    out.Open("co64");
    out.U32(0);
    out.U32(static_cast<uint32_t>(samples.size()));
    for (const RecoveredSample* sample : samples)
        out.U64(sample->offset);
    out.Close();

    out.Close();
}

} // namespace

std::vector<std::byte> WriteMovieBox(const ReferenceRecording& reference,
    const std::vector<RecoveredSample>& samples, std::vector<TrackSummary>& summary)
{
    const size_t trackCount = reference.tracks.size();
    std::vector<std::vector<const RecoveredSample*>> byTrack(trackCount);
    for (const RecoveredSample& sample : samples) {
        if (sample.track < trackCount)
            byTrack[sample.track].push_back(&sample);
    }
    std::vector<uint64_t> mediaDurations(trackCount, 0);
    std::vector<uint64_t> movieDurations(trackCount, 0);
    uint64_t longest = 0;
    summary.clear();
    for (size_t t = 0; t < trackCount; ++t) {
        const ReferenceTrack& track = reference.tracks[t];
        for (size_t i = 0; i < byTrack[t].size(); ++i)
            mediaDurations[t] += ReferenceDuration(track, i);
        movieDurations[t] = mediaDurations[t] * reference.movieTimescale / track.timescale;
        longest = std::max(longest, movieDurations[t]);
        summary.push_back({ track.kind, track.codec, byTrack[t].size(),
            mediaDurations[t] * 1000 / track.timescale });
    }

    BoxWriter out;
    out.Open("moov");
    out.Raw(WithDuration(reference.mvhd, longest, 12));
    for (size_t t = 0; t < trackCount; ++t) {
        const ReferenceTrack& track = reference.tracks[t];
        out.Open("trak");
        out.Raw(WithDuration(track.tkhd, movieDurations[t], 16));
        if (const auto elst = WithEditDuration(track.elst, movieDurations[t]); !elst.empty()) {
            out.Open("edts");
            out.Raw(elst);
            out.Close();
        }
        out.Open("mdia");
        out.Raw(WithDuration(track.mdhd, mediaDurations[t], 12));
        out.Raw(track.hdlr);
        out.Open("minf");
        for (const auto& header : track.mediaHeaders)
            out.Raw(header);
        WriteSampleTables(out, track, byTrack[t]);
        out.Close();
        out.Close();
        out.Close();
    }
    out.Close();
    return std::move(out.Bytes());
}

} // namespace velomira::recovery
