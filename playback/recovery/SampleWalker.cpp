#include "playback/recovery/SampleWalker.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <optional>

#include "playback/recovery/SampleShapes.h"

namespace velomira::recovery {

namespace {

using Bytes = std::span<const std::byte>;

// Most AAC frames that may lie between two other samples.
constexpr size_t kMostFramesInARow = 8;
// How far the walk goes between two reports of where it is.
constexpr size_t kWalkedPastStep = size_t { 4 } << 20;

struct TrackState {
    size_t count = 0;
    bool started = false;
    uint32_t lastFrameNum = 0;
    int lastRefIdc = 0;
};

struct Candidate {
    uint32_t track = 0;
    size_t size = 0;
    bool sync = false;
    uint32_t frameNum = 0;
    int refIdc = 0;
};

class Walker {
public:
    Walker(Bytes data, const ReferenceRecording& reference, const WalkedPast& walkedPast)
        : m_data(data)
        , m_reference(reference)
        , m_walkedPast(walkedPast)
        , m_states(reference.tracks.size())
    {
        for (size_t t = 0; t < reference.tracks.size(); ++t) {
            const ReferenceTrack& track = reference.tracks[t];
            m_rates.push_back(std::max(track.Rate(), 1e-6));
            if (track.kind == TrackKind::Video)
                m_smallNals = m_smallNals && track.h264.nalLengthSize == 4
                    && LargestNal(track) < (size_t { 1 } << 24);
            if (track.kind == TrackKind::Audio) {
                m_audio = static_cast<int>(t);
                m_audioEndElement = track.audioEndElement;
            }
            if (track.kind == TrackKind::Telemetry)
                m_telemetry = static_cast<int>(t);
        }
    }

    WalkResult Run(size_t start)
    {
        WalkResult result;
        size_t pos = start;
        size_t told = pos;
        while (pos < m_data.size()) {
            // Every few megabytes: nothing before the current sample is read again.
            if (m_walkedPast && pos - told >= kWalkedPastStep) {
                m_walkedPast(pos);
                told = pos;
            }
            if (const auto sample = SampleAt(pos)) {
                Take(*sample, pos);
                pos += sample->size;
                continue;
            }
            if (m_audio >= 0 && AudioCanStart(pos)) {
                bool ended = false;
                const size_t next = TakeAudioRun(pos, ended);
                if (next > pos) {
                    pos = next;
                    continue;
                }
                if (ended) {
                    result.reachedEnd = true;
                    break;
                }
            }
            // What is left may be the start of a sample cut off by the end of the data.
            result.reachedEnd = RunsPastTheEnd(pos);
            break;
        }
        if (pos >= m_data.size())
            result.reachedEnd = true;
        result.stoppedAt = pos;
        result.samples = std::move(m_samples);
        return result;
    }

private:
    const ReferenceTrack& Track(int t) const { return m_reference.tracks[static_cast<size_t>(t)]; }

    // The video picture or telemetry sample starting at `pos` that fits the walk so far.
    std::optional<Candidate> SampleAt(size_t pos) const
    {
        // The scan for the end of a sound run asks at the offset the walk goes on from.
        if (m_memo.valid && m_memo.pos == pos && m_memo.version == m_videoVersion)
            return m_memo.result;
        const auto result = FindSampleAt(pos);
        m_memo = { true, pos, m_videoVersion, result };
        return result;
    }

    std::optional<Candidate> FindSampleAt(size_t pos) const
    {
        std::optional<Candidate> best;
        double bestLoad = std::numeric_limits<double>::max();
        for (size_t t = 0; t < m_reference.tracks.size(); ++t) {
            const ReferenceTrack& track = m_reference.tracks[t];
            if (track.kind != TrackKind::Video)
                continue;
            const auto picture = MeasurePicture(m_data, pos, track.h264, LargestNal(track));
            if (!picture || !FitsFrameNumbering(m_states[t], *picture))
                continue;
            // A picture the data ends after counts only when its slices are all there, and
            // no other camera's picture with more slices may have begun the same way.
            if (picture->endUncertain
                && (track.slicesPerPicture == 0 || picture->slices != track.slicesPerPicture
                    || AnotherCameraMayContinue(t, pos, picture->slices)))
                continue;
            if (track.slicesPerPicture > 0 && picture->slices != track.slicesPerPicture)
                continue;
            // Both cameras may share parameter sets and frame numbers: the one that is
            // behind its share of the pictures so far takes this one (front first).
            const double load = static_cast<double>(m_states[t].count) / m_rates[t];
            if (!best || load < bestLoad - 1e-9) {
                best = Candidate { static_cast<uint32_t>(t), picture->size, picture->idr,
                    picture->frameNum, picture->refIdc };
                bestLoad = load;
            }
        }
        if (best || m_telemetry < 0)
            return best;
        const size_t size = MeasureTelemetry(
            m_data, pos, Track(m_telemetry).framing == TelemetryFraming::TimedText);
        if (size == 0)
            return std::nullopt;
        // An empty timed text is two zero bytes: only what follows tells it from others.
        if (size == 2 && !FollowedBySample(pos + size))
            return std::nullopt;
        return Candidate { static_cast<uint32_t>(m_telemetry), size, false, 0, 0 };
    }

    bool FollowedBySample(size_t pos) const
    {
        if (pos >= m_data.size())
            return true;
        for (const ReferenceTrack& track : m_reference.tracks) {
            if (track.kind == TrackKind::Video
                && MeasurePicture(m_data, pos, track.h264, LargestNal(track)))
                return true;
        }
        return (m_audio >= 0 && AudioCanStart(pos)) || MeasureTelemetry(m_data, pos, true) > 2;
    }

    // True when a video track other than `track`, whose pictures have more slices, may
    // have a picture starting at `pos` that the end of the data cut off.
    bool AnotherCameraMayContinue(size_t track, size_t pos, int slices) const
    {
        for (size_t u = 0; u < m_reference.tracks.size(); ++u) {
            const ReferenceTrack& other = m_reference.tracks[u];
            if (u == track || other.kind != TrackKind::Video || other.slicesPerPicture == slices)
                continue;
            const auto picture = MeasurePicture(m_data, pos, other.h264, LargestNal(other));
            if (picture && FitsFrameNumbering(m_states[u], *picture))
                return true;
        }
        return false;
    }

    static size_t LargestNal(const ReferenceTrack& track)
    {
        return static_cast<size_t>(track.largestSize) * 2 + 65536;
    }

    static bool FitsFrameNumbering(const TrackState& state, const PictureShape& picture)
    {
        if (picture.idr)
            return true;
        if (!state.started)
            return false; // a recording's pictures start with a key picture
        const uint32_t expected = state.lastRefIdc != 0
            ? (state.lastFrameNum + 1) % picture.frameNumModulus
            : state.lastFrameNum;
        return picture.frameNum == expected;
    }

    void Take(const Candidate& sample, size_t pos)
    {
        TrackState& state = m_states[sample.track];
        ++state.count;
        if (Track(static_cast<int>(sample.track)).kind == TrackKind::Video) {
            ++m_videoVersion;
            state.started = true;
            state.lastFrameNum = sample.frameNum;
            state.lastRefIdc = sample.refIdc;
        }
        m_samples.push_back({ sample.track, pos, static_cast<uint32_t>(sample.size), sample.sync });
    }

    bool AudioCanStart(size_t pos) const
    {
        const ReferenceTrack& audio = Track(m_audio);
        return pos < m_data.size()
            && (!audio.audioFirstByteMatters
                || audio.audioFirstBytes[std::to_integer<uint8_t>(m_data[pos])])
            && (!audio.audioHeaderChecked || AacFrameCanStart(m_data, pos));
    }

    // True when a frame may end just before `end`.
    bool AudioCanEnd(size_t start, size_t end) const
    {
        if (!m_audioEndElement)
            return true;
        return end >= start + 2
            && AacEndIn(std::to_integer<uint8_t>(m_data[end - 2]),
                std::to_integer<uint8_t>(m_data[end - 1]));
    }

    // A cheap first look: false when no picture or telemetry sample can start at `pos`.
    bool MayStartSample(size_t pos) const
    {
        if (pos + 5 > m_data.size())
            return true; // near the end: let the full check decide
        const auto first = std::to_integer<uint8_t>(m_data[pos]);
        if (m_smallNals && first == 0) {
            const int type = std::to_integer<int>(m_data[pos + 4]) & 0x9f;
            if (type == 1 || type == 5 || (type >= 6 && type <= 9))
                return true;
        }
        if (m_telemetry < 0)
            return false;
        if (Track(m_telemetry).framing == TelemetryFraming::TimedText)
            return first <= 3; // a 16-bit length below 1024
        return first == 'M' || first == 'A' || first == '$';
    }

    size_t SmallestFrame() const { return std::max<size_t>(2, Track(m_audio).audioMinSize / 2); }
    size_t LargestFrame() const { return Track(m_audio).audioMaxSize * 2 + 64; }

    // AAC frames from `pos` up to the next sample of another track, split where frames
    // can end and start so their sizes fit the reference's best. Returns where the run
    // ends (pos when nothing was taken); `ended` when the data ran out inside it.
    size_t TakeAudioRun(size_t pos, bool& ended)
    {
        const size_t limit = std::min(m_data.size(), pos + kMostFramesInARow * LargestFrame());
        size_t next = 0;
        // Where one frame may end and the next begin, gathered on the way.
        m_splits.clear();
        m_splitsGathered = true;
        for (size_t q = pos + SmallestFrame(); q < limit; ++q) {
            if (!AudioCanEnd(pos, q))
                continue;
            if (MayStartSample(q)) {
                if (const auto sample = SampleAt(q); sample && Confirmed(q + sample->size)) {
                    next = q;
                    break;
                }
            }
            if (AudioCanStart(q))
                m_splits.push_back(q);
        }
        bool toTheEnd = next == 0;
        if (toTheEnd && limit < m_data.size())
            return pos;
        if (toTheEnd) {
            // The data ends in this run: up to a sample cut off by the end if one starts,
            // else up to the end, the last frame being the cut one.
            next = m_data.size();
            for (size_t q = pos + SmallestFrame(); q < m_data.size(); ++q) {
                if (AudioCanEnd(pos, q) && CutSampleStartsAt(q)) {
                    next = q;
                    break;
                }
            }
            if (next < m_data.size()) {
                m_splitsGathered = false;
                const auto frames = SplitFrames(pos, next, false);
                ended = true;
                return Emit(pos, frames);
            }
        }
        const auto frames = SplitFrames(pos, next, toTheEnd);
        if (frames.empty()) {
            ended = toTheEnd;
            return pos;
        }
        ended = toTheEnd;
        return Emit(pos, frames);
    }

    size_t Emit(size_t pos, const std::vector<size_t>& frames)
    {
        TrackState& state = m_states[static_cast<size_t>(m_audio)];
        size_t at = pos;
        for (size_t size : frames) {
            m_samples.push_back(
                { static_cast<uint32_t>(m_audio), at, static_cast<uint32_t>(size), false });
            ++state.count;
            at += size;
        }
        return at;
    }

    // True when something can follow a sample that ends at `pos`: the end of the data, a
    // picture, a telemetry sample or an AAC frame.
    bool Confirmed(size_t pos) const
    {
        return pos >= m_data.size() || SampleAt(pos) || (m_audio >= 0 && AudioCanStart(pos))
            || CutSampleStartsAt(pos);
    }

    // True when a picture or telemetry sample starts at `pos` and the data ends inside it.
    bool CutSampleStartsAt(size_t pos) const
    {
        const size_t left = m_data.size() - pos;
        for (size_t t = 0; t < m_reference.tracks.size(); ++t) {
            const ReferenceTrack& track = m_reference.tracks[t];
            if (track.kind != TrackKind::Video)
                continue;
            const auto lengthSize = static_cast<size_t>(track.h264.nalLengthSize);
            if (left < lengthSize + 2)
                continue;
            uint64_t length = 0;
            for (size_t i = 0; i < lengthSize; ++i)
                length = length << 8 | std::to_integer<uint8_t>(m_data[pos + i]);
            if (length == 0 || length > LargestNal(track))
                continue;
            const auto nal = m_data.subspan(pos + lengthSize);
            const int type = std::to_integer<int>(nal[0]) & 0x9f;
            const auto slice = ParseSliceStart(nal, track.h264);
            const bool starts = (type >= 6 && type <= 9) || (slice && slice->firstMb == 0);
            if (!starts)
                continue;
            if (length > left - lengthSize)
                return true;
            const auto picture = MeasurePicture(m_data, pos, track.h264, LargestNal(track));
            if (picture && picture->endUncertain)
                return true;
        }
        if (m_telemetry < 0 || left >= 1024)
            return false;
        size_t text = pos;
        if (Track(m_telemetry).framing == TelemetryFraming::TimedText) {
            if (left < 3)
                return false;
            const size_t length = std::to_integer<size_t>(m_data[pos]) << 8
                | std::to_integer<size_t>(m_data[pos + 1]);
            if (length <= left - 2 || length >= 1024)
                return false;
            text += 2;
        }
        return TelemetryCutOff(m_data, text);
    }

    // The frame sizes that tile [from, to). With `lastIsCut` the final piece is the
    // start of a frame the data ends inside: it is left out.
    std::vector<size_t> SplitFrames(size_t from, size_t to, bool lastIsCut) const
    {
        const ReferenceTrack& audio = Track(m_audio);
        std::vector<size_t> points { from };
        if (m_splitsGathered) {
            for (size_t c : m_splits) {
                if (c < to)
                    points.push_back(c);
            }
        } else {
            for (size_t c = from + SmallestFrame(); c < to; ++c) {
                if (AudioCanEnd(from, c) && AudioCanStart(c))
                    points.push_back(c);
            }
        }
        points.push_back(to);
        const size_t n = points.size();
        constexpr double kNone = std::numeric_limits<double>::infinity();
        std::vector<double> cost(n, kNone);
        std::vector<size_t> back(n, 0), frames(n, 0);
        cost[0] = 0;
        for (size_t i = 1; i < n; ++i) {
            for (size_t j = i; j-- > 0;) {
                const size_t size = points[i] - points[j];
                if (size > LargestFrame())
                    break;
                if (cost[j] == kNone || frames[j] >= kMostFramesInARow)
                    continue;
                const bool cutPiece = lastIsCut && i == n - 1;
                if (!cutPiece && size < SmallestFrame())
                    continue;
                const double z
                    = (static_cast<double>(size) - audio.audioMeanSize) / audio.audioSizeSpread;
                const double total = cost[j] + (cutPiece ? 0.0 : z * z + 1.0);
                if (total < cost[i]) {
                    cost[i] = total;
                    back[i] = j;
                    frames[i] = frames[j] + 1;
                }
            }
        }
        if (cost[n - 1] == kNone)
            return {};
        std::vector<size_t> sizes;
        for (size_t i = n - 1; i > 0; i = back[i])
            sizes.push_back(points[i] - points[back[i]]);
        std::reverse(sizes.begin(), sizes.end());
        if (lastIsCut)
            sizes.pop_back();
        return sizes;
    }

    // True when the bytes at `pos` are the beginning of a sample of some track whose end
    // lies past the end of the data.
    bool RunsPastTheEnd(size_t pos) const
    {
        for (const ReferenceTrack& track : m_reference.tracks) {
            if (track.kind == TrackKind::Video) {
                const int lengthSize = track.h264.nalLengthSize;
                size_t p = pos;
                // Whole NALs of the picture, then one that runs past the end.
                while (m_data.size() - p >= static_cast<size_t>(lengthSize)) {
                    uint64_t length = 0;
                    for (int i = 0; i < lengthSize; ++i)
                        length = length << 8
                            | std::to_integer<uint8_t>(m_data[p + static_cast<size_t>(i)]);
                    if (length == 0 || length > LargestNal(track))
                        break;
                    if (length > m_data.size() - p - lengthSize)
                        return true;
                    p += lengthSize + length;
                }
                if (p < m_data.size() && m_data.size() - p < static_cast<size_t>(lengthSize))
                    return true;
            }
        }
        const size_t left = m_data.size() - pos;
        if (m_telemetry >= 0 && left < 1024)
            return true; // a telemetry sample is short; its start alone does not read
        return m_audio >= 0 && AudioCanStart(pos) && left < LargestFrame();
    }

    Bytes m_data;
    const ReferenceRecording& m_reference;
    const WalkedPast& m_walkedPast;
    std::vector<TrackState> m_states;
    std::vector<double> m_rates; // the reference's samples per second, per track
    bool m_audioEndElement = false;
    // What SampleAt found last; it depends on the video tracks' states alone, which change
    // with m_videoVersion.
    struct Memo {
        bool valid = false;
        size_t pos = 0;
        uint64_t version = 0;
        std::optional<Candidate> result;
    };
    mutable Memo m_memo;
    uint64_t m_videoVersion = 0;
    std::vector<size_t> m_splits; // frame boundaries the last sound scan found
    bool m_splitsGathered = false; // m_splits covers the run being split
    // Every video track's NAL lengths are 4 bytes and below 2^24: a picture starts with 0.
    bool m_smallNals = true;
    std::vector<RecoveredSample> m_samples;
    int m_audio = -1;
    int m_telemetry = -1;
};

} // namespace

WalkResult WalkMediaData(Bytes file, uint64_t dataStart, const ReferenceRecording& reference,
    const WalkedPast& walkedPast)
{
    WalkResult result;
    if (dataStart > file.size()) {
        result.stoppedAt = dataStart;
        return result;
    }
    return Walker(file, reference, walkedPast).Run(static_cast<size_t>(dataStart));
}

} // namespace velomira::recovery
