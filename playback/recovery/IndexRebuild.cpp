#include "playback/recovery/IndexRebuild.h"

#include <algorithm>

#include "playback/recovery/Mp4Boxes.h"

namespace velomira::recovery {

namespace {

// A track of the reference is in the cut recording when it has at least this share of the
// samples its rate gives for the recovered span (less a couple for interleaving).
constexpr double kLeastShareOfRate = 0.5;

std::string CheckLayout(const ReferenceRecording& reference, const WalkResult& walk,
    const std::vector<TrackSummary>& tracks)
{
    if (walk.samples.empty())
        return "no recognisable sample";
    if (!walk.reachedEnd)
        return "the media data does not read as the reference's layout";
    uint64_t spanMs = 0;
    for (size_t t = 0; t < tracks.size(); ++t) {
        if (tracks[t].kind == TrackKind::Video)
            spanMs = std::max(spanMs, tracks[t].durationMs);
    }
    for (size_t t = 0; t < tracks.size(); ++t) {
        const double expected = reference.tracks[t].Rate() * static_cast<double>(spanMs) / 1000.0;
        if (static_cast<double>(tracks[t].samples) < expected * kLeastShareOfRate - 2.0)
            return "the reference has a track the recording lacks";
    }
    return {};
}

} // namespace

FileShape ReadFileShape(std::span<const std::byte> file)
{
    FileShape shape;
    for (const Box& box : ReadBoxes(file)) {
        if (box.Is("moov") && !box.openEnded)
            shape.hasIndex = true;
        if (box.Is("mdat") && !shape.hasMediaData) {
            shape.hasMediaData = true;
            shape.mediaDataBox = box.offset;
            shape.mediaDataStart = box.offset + box.headerSize;
            shape.mediaDataEnd = box.offset + box.size;
        }
    }
    return shape;
}

RebuiltIndex RebuildIndex(std::span<const std::byte> cut, std::span<const std::byte> reference,
    const WalkedPast& walkedPast)
{
    RebuiltIndex rebuilt;
    const FileShape shape = ReadFileShape(cut);
    if (shape.hasIndex) {
        rebuilt.failure = "the recording has its index";
        return rebuilt;
    }
    if (!shape.hasMediaData) {
        rebuilt.failure = "no media data";
        return rebuilt;
    }
    std::string why;
    const auto layout = ReadReferenceRecording(reference, why);
    if (!layout) {
        rebuilt.failure = "the reference is not usable: " + why;
        return rebuilt;
    }
    const WalkResult walk
        = WalkMediaData(cut.first(shape.mediaDataEnd), shape.mediaDataStart, *layout, walkedPast);
    rebuilt.movieBox = WriteMovieBox(*layout, walk.samples, rebuilt.tracks);
    rebuilt.failure = CheckLayout(*layout, walk, rebuilt.tracks);
    if (!rebuilt.Ok()) {
        rebuilt.movieBox.clear();
        return rebuilt;
    }

    uint64_t dataEnd = shape.mediaDataStart;
    for (const RecoveredSample& sample : walk.samples)
        dataEnd = std::max(dataEnd, sample.offset + sample.size);
    rebuilt.dataEnd = dataEnd;
    rebuilt.mediaDataBox = shape.mediaDataBox;
    const uint64_t boxSize = dataEnd - shape.mediaDataBox;
    const uint64_t headerSize = shape.mediaDataStart - shape.mediaDataBox;
    if (headerSize == 8 && boxSize > UINT32_MAX) {
        rebuilt.failure = "the media data is too large for its box header";
        return rebuilt;
    }
    rebuilt.mediaDataHeader.assign(cut.begin() + static_cast<std::ptrdiff_t>(shape.mediaDataBox),
        cut.begin() + static_cast<std::ptrdiff_t>(shape.mediaDataStart));
    const size_t sizeAt = headerSize == 16 ? 8 : 0;
    const int sizeBytes = headerSize == 16 ? 8 : 4;
    for (int i = 0; i < sizeBytes; ++i)
        rebuilt.mediaDataHeader[sizeAt + static_cast<size_t>(i)]
            = static_cast<std::byte>(boxSize >> (8 * (sizeBytes - 1 - i)));
    rebuilt.samples = walk.samples;
    return rebuilt;
}

} // namespace velomira::recovery
