#include "playback/recovery/ReferenceRecording.h"

#include <algorithm>
#include <cmath>

#include "playback/recovery/ByteReading.h"
#include "playback/recovery/Mp4Boxes.h"
#include "playback/recovery/SampleShapes.h"

namespace velomira::recovery {

namespace {

using Bytes = std::span<const std::byte>;

std::vector<std::byte> Copy(Bytes bytes)
{
    return { bytes.begin(), bytes.end() };
}

// Largest number of samples a reference track may list: far beyond any recording.
constexpr uint32_t kMostSamples = 10'000'000;
// AAC frames of the reference whose shapes are learned.
constexpr size_t kFramesLearned = 400;

bool ReadSampleTables(Bytes stbl, ReferenceTrack& track)
{
    const auto stts = ChildPayload(stbl, "stts");
    const auto stsz = ChildPayload(stbl, "stsz");
    const auto stsc = ChildPayload(stbl, "stsc");
    auto stco = ChildPayload(stbl, "stco");
    const bool wide = !stco;
    if (wide)
        stco = ChildPayload(stbl, "co64");
    if (!stts || !stsz || !stsc || !stco)
        return false;
    track.hasSyncTable = ChildPayload(stbl, "stss").has_value();

    ByteReader sizes(*stsz, 4);
    const uint32_t fixedSize = sizes.U32();
    const uint32_t count = sizes.U32();
    if (sizes.Failed() || count > kMostSamples || (fixedSize == 0 && count > sizes.Left() / 4))
        return false;
    track.sizes.resize(count);
    for (auto& size : track.sizes)
        size = fixedSize != 0 ? fixedSize : sizes.U32();

    ByteReader times(*stts, 4);
    const uint32_t runs = times.U32();
    if (runs > times.Left() / 8)
        return false;
    for (uint32_t i = 0; i < runs && track.durations.size() < count; ++i) {
        const uint32_t n = times.U32();
        const uint32_t delta = times.U32();
        track.durations.insert(
            track.durations.end(), std::min<size_t>(n, count - track.durations.size()), delta);
    }
    track.durations.resize(count, track.durations.empty() ? 1 : track.durations.back());

    ByteReader chunks(*stco, 4);
    const uint32_t chunkCount = chunks.U32();
    if (chunkCount > chunks.Left() / (wide ? 8 : 4))
        return false;
    std::vector<uint64_t> chunkOffsets(chunkCount);
    for (auto& offset : chunkOffsets)
        offset = wide ? chunks.U64() : chunks.U32();

    ByteReader map(*stsc, 4);
    const uint32_t mapCount = map.U32();
    if (mapCount > map.Left() / 12)
        return false;
    struct Entry {
        uint32_t firstChunk, samples;
    };
    std::vector<Entry> entries(mapCount);
    for (auto& entry : entries) {
        entry.firstChunk = map.U32();
        entry.samples = map.U32();
        map.U32();
    }
    track.offsets.reserve(count);
    for (size_t e = 0; e < entries.size() && track.offsets.size() < count; ++e) {
        const uint64_t first = std::max<uint32_t>(entries[e].firstChunk, 1) - 1;
        const uint64_t last = e + 1 < entries.size()
            ? std::max<uint32_t>(entries[e + 1].firstChunk, 1) - 1
            : chunkOffsets.size();
        for (uint64_t c = first; c < last && c < chunkOffsets.size(); ++c) {
            uint64_t offset = chunkOffsets[c];
            for (uint32_t s = 0; s < entries[e].samples && track.offsets.size() < count; ++s) {
                track.offsets.push_back(offset);
                offset += track.sizes[track.offsets.size() - 1];
            }
        }
    }
    if (track.offsets.size() != count)
        return false;
    for (uint32_t size : track.sizes)
        track.largestSize = std::max(track.largestSize, size);
    return true;
}

// The format of the first sample description and, for H.264, its parameter sets.
bool ReadDescription(Bytes stsd, ReferenceTrack& track)
{
    const auto entries = ReadBoxes(stsd.size() >= 8 ? stsd.subspan(8) : Bytes {});
    if (entries.empty() || entries.front().openEnded)
        return false;
    const Box& entry = entries.front();
    track.codec.assign(entry.type, 4);
    if (track.codec == "avc1" || track.codec == "avc3") {
        // Visual sample entry: 78 bytes of fixed fields before its child boxes.
        const Bytes payload = entry.Payload(stsd.subspan(8));
        if (payload.size() < 78)
            return false;
        const auto avcC = ChildPayload(payload.subspan(78), "avcC");
        if (!avcC)
            return false;
        auto parameters = ParseAvcConfiguration(*avcC);
        if (!parameters)
            return false;
        track.h264 = *parameters;
    }
    return true;
}

// What the walker learns from the reference's own samples.
void LearnFromSamples(Bytes file, ReferenceTrack& track)
{
    const auto sampleBytes = [&](size_t i) -> Bytes {
        if (track.offsets[i] > file.size() || track.sizes[i] > file.size() - track.offsets[i])
            return {};
        return file.subspan(track.offsets[i], track.sizes[i]);
    };
    if (track.kind == TrackKind::Video) {
        int slices = -1;
        for (size_t i = 0; i < track.sizes.size() && i < 90; ++i) {
            const int count = CountSlices(sampleBytes(i), track.h264);
            if (count <= 0)
                continue;
            slices = slices < 0 || slices == count ? count : 0;
        }
        track.slicesPerPicture = std::max(slices, 0);
    } else if (track.kind == TrackKind::Audio && !track.sizes.empty()) {
        // Sizes from the index; the first bytes and the ends from the first few hundred
        // frames, which tell enough, so the rest of the file stays unread.
        const size_t count = track.sizes.size();
        double sum = 0, squares = 0;
        track.audioMinSize = UINT32_MAX;
        for (size_t i = 0; i < count; ++i) {
            // The encoder's first and last frames (start-up, flush) may be tiny.
            if (i >= 2 && i + 2 < count)
                track.audioMinSize = std::min(track.audioMinSize, track.sizes[i]);
            track.audioMaxSize = std::max(track.audioMaxSize, track.sizes[i]);
            sum += track.sizes[i];
            squares += double(track.sizes[i]) * track.sizes[i];
        }
        const double n = static_cast<double>(count);
        track.audioMeanSize = sum / n;
        track.audioSizeSpread = std::max(
            { std::sqrt(std::max(0.0, squares / n - track.audioMeanSize * track.audioMeanSize)),
                track.audioMeanSize * 0.08, 8.0 });
        if (track.audioMinSize == UINT32_MAX)
            track.audioMinSize = 1;

        size_t ends = 0, headers = 0;
        int distinct = 0;
        const size_t learned = std::min<size_t>(count, kFramesLearned);
        for (size_t i = 0; i < learned; ++i) {
            const Bytes sample = sampleBytes(i);
            if (sample.empty())
                continue;
            const auto first = std::to_integer<uint8_t>(sample[0]);
            if (!track.audioFirstBytes[first]) {
                track.audioFirstBytes[first] = true;
                ++distinct;
            }
            ends += EndsWithAacEnd(sample) ? 1 : 0;
            headers += AacFrameCanStart(sample, 0) ? 1 : 0;
        }
        track.audioFirstByteMatters = distinct <= 16;
        track.audioEndElement = ends * 100 >= learned * 98;
        track.audioHeaderChecked = headers * 100 >= learned * 98;
    }
}

std::optional<ReferenceTrack> ReadTrack(Bytes file, Bytes trak, std::string& why)
{
    ReferenceTrack track;
    const auto tkhd = ChildBox(trak, "tkhd");
    const auto mdia = ChildPayload(trak, "mdia");
    if (!tkhd || !mdia) {
        why = "a track without its header";
        return std::nullopt;
    }
    track.tkhd = Copy(*tkhd);
    if (const auto edts = ChildPayload(trak, "edts"))
        if (const auto elst = ChildBox(*edts, "elst"))
            track.elst = Copy(*elst);
    const auto mdhd = ChildBox(*mdia, "mdhd");
    const auto hdlr = ChildBox(*mdia, "hdlr");
    const auto minf = ChildPayload(*mdia, "minf");
    if (!mdhd || !hdlr || !minf) {
        why = "a track without its media header";
        return std::nullopt;
    }
    track.mdhd = Copy(*mdhd);
    track.hdlr = Copy(*hdlr);
    ByteReader header(*mdhd, 8);
    const int version = std::to_integer<int>((*mdhd)[8]);
    header.Skip(version == 1 ? 20 : 12);
    track.timescale = header.U32();
    if (header.Failed() || track.timescale == 0) {
        why = "a track without a timescale";
        return std::nullopt;
    }
    std::optional<Bytes> stbl;
    for (const Box& box : ReadBoxes(*minf)) {
        if (box.Is("stbl"))
            stbl = box.Payload(*minf);
        else if (!box.openEnded)
            track.mediaHeaders.push_back(Copy(box.Whole(*minf)));
    }
    const auto stsd = stbl ? ChildBox(*stbl, "stsd") : std::nullopt;
    if (!stsd || !ReadDescription(stsd->subspan(8), track)) {
        why = "a track without a usable sample description";
        return std::nullopt;
    }
    track.stsd = Copy(*stsd);
    if (!ReadSampleTables(*stbl, track)) {
        why = "a track with damaged sample tables";
        return std::nullopt;
    }
    const std::string handler(reinterpret_cast<const char*>(hdlr->data()) + 16,
        std::min<size_t>(4, hdlr->size() > 16 ? hdlr->size() - 16 : 0));
    if (handler == "vide") {
        if (track.codec != "avc1" && track.codec != "avc3") {
            why = "video that is not H.264";
            return std::nullopt;
        }
        track.kind = TrackKind::Video;
    } else if (handler == "soun") {
        if (track.codec != "mp4a") {
            why = "sound that is not AAC";
            return std::nullopt;
        }
        track.kind = TrackKind::Audio;
    } else {
        track.kind = TrackKind::Telemetry;
        track.framing = track.codec == "tx3g" ? TelemetryFraming::TimedText : TelemetryFraming::Raw;
    }
    LearnFromSamples(file, track);
    return track;
}

} // namespace

double ReferenceTrack::Rate() const
{
    double total = 0;
    for (uint32_t d : durations)
        total += d;
    return total > 0 ? static_cast<double>(durations.size()) * timescale / total : 0;
}

uint32_t ReferenceDuration(const ReferenceTrack& track, size_t index)
{
    if (track.durations.empty())
        return 1;
    return track.durations[std::min(index, track.durations.size() - 1)];
}

std::optional<ReferenceRecording> ReadReferenceRecording(Bytes file, std::string& why)
{
    std::optional<Bytes> moov;
    for (const Box& box : ReadBoxes(file)) {
        if (box.Is("moov") && !box.openEnded)
            moov = box.Payload(file);
    }
    if (!moov) {
        why = "no index";
        return std::nullopt;
    }
    ReferenceRecording reference;
    const auto mvhd = ChildBox(*moov, "mvhd");
    if (!mvhd || mvhd->size() < 32) {
        why = "no movie header";
        return std::nullopt;
    }
    reference.mvhd = Copy(*mvhd);
    ByteReader header(*mvhd, 8);
    const int version = std::to_integer<int>((*mvhd)[8]);
    header.Skip(version == 1 ? 20 : 12);
    reference.movieTimescale = header.U32();
    if (header.Failed() || reference.movieTimescale == 0) {
        why = "no movie timescale";
        return std::nullopt;
    }
    int videos = 0, audios = 0, telemetry = 0;
    for (const Box& box : ReadBoxes(*moov)) {
        if (!box.Is("trak") || box.openEnded)
            continue;
        auto track = ReadTrack(file, box.Payload(*moov), why);
        if (!track)
            return std::nullopt;
        videos += track->kind == TrackKind::Video;
        audios += track->kind == TrackKind::Audio;
        telemetry += track->kind == TrackKind::Telemetry;
        reference.tracks.push_back(std::move(*track));
    }
    if (videos == 0 || videos > 2 || audios > 1 || telemetry > 1) {
        why = "a layout other than one or two H.264 videos, sound and telemetry";
        return std::nullopt;
    }
    return reference;
}

} // namespace velomira::recovery
