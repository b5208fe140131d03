#include "devtools/mkcard/CardWriter.h"

#include <cstdio>
#include <system_error>

#include "devtools/mkcard/FatImageWriter.h"
#include "devtools/mkcard/RecordingJob.h"
#include "devtools/mkcard/TelemetrySynthesizer.h"

namespace velomira {
namespace {

// The clock of a recording from the stamp at the start of its name (YYYYMMDD_HHMMSS).
CivilTime StartFromName(const std::filesystem::path& path)
{
    const std::string name = path.filename().string();
    CivilTime time;
    if (name.size() >= 15
        && std::sscanf(name.c_str(), "%4d%2d%2d_%2d%2d%2d", &time.year, &time.month, &time.day,
               &time.hour, &time.minute, &time.second)
            == 6)
        return time;
    return CivilTime { 2024, 3, 15, 10, 10, 10, 0 };
}

std::string Stamp(const CivilTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour,
        t.minute, t.second);
    return text;
}

std::string WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    return WriteFileAtomically(path, std::string(bytes.begin(), bytes.end()));
}

std::string MakeFolders(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return ec ? "cannot create " + folder.string() + ": " + ec.message() : std::string();
}

// Paths for a card of many recordings, spread over the kind folders.
std::vector<CardRecording> GeneratedRecordings(const CardOptions& options, bool fatSafe)
{
    static const char* const kMixed[] = { "Normal", "NORMAL", "Event", "EVENT", "Parking" };
    static const char* const kFatSafe[] = { "NORMAL", "EVENT", "PARKING" };
    const int kinds = fatSafe ? 3 : 5;
    std::vector<CardRecording> out;
    const CivilTime base { 2024, 1, 1, 0, 0, 0, 0 };
    for (int i = 0; i < *options.recordings; ++i) {
        const std::string kind = fatSafe ? kFatSafe[i % kinds] : kMixed[i % kinds];
        const CivilTime time = AddMilliseconds(base, static_cast<int64_t>(i) * 60000);
        char dateFolder[16];
        std::snprintf(dateFolder, sizeof dateFolder, "%02d%02d", time.month, time.day);
        std::filesystem::path folder = kind;
        if (kind == "NORMAL")
            folder = folder / std::to_string(time.year) / dateFolder;
        const std::string tail = std::string("_") + kind[0] + "F.mp4";
        CardRecording rec;
        rec.relativePath = folder / (Stamp(time) + tail);
        rec.durationMs = options.durationMs;
        rec.seed = options.seed + static_cast<uint64_t>(i);
        out.push_back(rec);
    }
    return out;
}

} // namespace

std::vector<CardRecording> StandardCardRecordings(const CardOptions& options, bool fatSafe)
{
    if (options.recordings)
        return GeneratedRecordings(options, fatSafe);
    const std::string normal = fatSafe ? "NORMAL" : "Normal";
    const std::string event = fatSafe ? "EVENT" : "Event";
    const std::string parking = fatSafe ? "PARKING" : "Parking";
    std::vector<CardRecording> out {
        { "NORMAL/2024/0315/20240315_101010_NF.mp4", true, "seoul", 0, 0, 0 },
        { std::filesystem::path(normal) / "20240315_101110_NF.mp4", true, "tokyo", 0, 0, 0 },
        { std::filesystem::path(normal) / "20240315_101210_NF.mp4", false, "seoul", 0, 0, 0 },
        { std::filesystem::path(event) / "20240315_101300_EF.avi", true, "newyork", 0, 0, 0 },
        { "EVENT/20240315_101400_EF.mp4", true, "sydney", 0, 0, 0 },
        { std::filesystem::path(parking) / "20240315_020000_PF.mp4", true, "saopaulo", 0, 0, 0 },
    };
    for (size_t i = 0; i < out.size(); ++i) {
        out[i].durationMs = options.durationMs;
        out[i].seed = options.seed + i;
    }
    return out;
}

std::vector<std::filesystem::path> NonRecordingFiles(bool fatSafe)
{
    std::vector<std::filesystem::path> out {
        "20240315_090000_NF.mp4", // in the root
        "DCIM/20240315_090100_NF.mp4", // not a kind folder
        "Events/20240315_090200_EF.mp4", // a name close to a kind
        "NORMAL/20240315_090300_NF.txt", // another extension
        "NORMAL/2024/0315/20240315_090400_NF.jpg",
    };
    if (!fatSafe)
        out.emplace_back("normal/20240315_090500_NF.mp4"); // lower-case kind folder
    return out;
}

std::vector<uint8_t> SetupFileBytes(SetupFileMode mode, int language)
{
    std::vector<uint8_t> bytes = DefaultSettingsFile(language);
    switch (mode) {
    case SetupFileMode::BadChecksum:
        bytes[3] = static_cast<uint8_t>(bytes[3] ^ 0x5a);
        break;
    case SetupFileMode::Short:
        bytes.resize(150);
        break;
    case SetupFileMode::None:
        bytes.clear();
        break;
    case SetupFileMode::Default:
    case SetupFileMode::SetupOnly:
        break;
    }
    return bytes;
}

std::string WriteCard(
    const CardOptions& options, const std::vector<CardRecording>& recordings, bool fatSafe)
{
    const auto& root = options.outDir;
    if (auto error = MakeFolders(root / "EVENT"); !error.empty())
        return error;
    if (auto error = MakeFolders(root / "SETUP"); !error.empty())
        return error;

    for (const auto& rec : recordings) {
        const auto path = root / rec.relativePath;
        if (auto error = MakeFolders(path.parent_path()); !error.empty())
            return error;
        if (options.emptyRecordings) {
            if (auto error = WriteFileAtomically(path, "VELOMIRA-EMPTY\n"); !error.empty())
                return error;
            continue;
        }
        RecordingOptions rec_options;
        rec_options.out = path;
        rec_options.durationMs = rec.durationMs;
        rec_options.front = options.front;
        rec_options.rear = options.rear;
        rec_options.fps = options.fps;
        rec_options.audio = options.audio;
        rec_options.telemetry = rec.telemetry ? TelemetrySource::Drive : TelemetrySource::None;
        rec_options.route = rec.route;
        rec_options.seed = rec.seed;
        rec_options.start = StartFromName(rec.relativePath);
        rec_options.driveOffsetMs = rec.driveOffsetMs;
        if (auto error = MakeRecording(rec_options); !error.empty())
            return rec.relativePath.string() + ": " + error;
    }

    for (const auto& relative : NonRecordingFiles(fatSafe)) {
        const auto path = root / relative;
        if (auto error = MakeFolders(path.parent_path()); !error.empty())
            return error;
        if (auto error = WriteFileAtomically(path, "not a recording\n"); !error.empty())
            return error;
    }

    if (auto error = WriteBytes(root / "SETUP" / "data_factory.cfg", FactoryFile(options.factory));
        !error.empty())
        return error;
    if (options.setup != SetupFileMode::None) {
        const auto folder = options.setup == SetupFileMode::SetupOnly ? root / "SETUP" : root;
        if (auto error = WriteBytes(
                folder / "data_setup.cfg", SetupFileBytes(options.setup, options.language));
            !error.empty())
            return error;
    }

    if (!options.image.empty())
        return WriteFatImage(root, options.image);
    return {};
}

std::string WriteDemoCard(const std::filesystem::path& outDir)
{
    CardOptions options;
    options.outDir = outDir;
    options.durationMs = 20000;
    options.front = { 1920, 1080 };
    options.rear = VideoSize { 1280, 720 };
    const std::vector<CardRecording> recordings {
        { "Normal/20240315_101010_NF.mp4", true, "seoul", 20000, 11, 0 },
        { "Normal/20240315_101030_NF.mp4", true, "seoul", 20000, 11, 20000 },
        { "NORMAL/2024/0315/20240315_101050_NF.mp4", true, "seoul", 20000, 11, 40000 },
        { "Event/20240315_101110_EF.mp4", true, "seoul", 20000, 11, 60000 },
        { "Normal/20240316_083000_NF.mp4", true, "tokyo", 20000, 15, 0 },
        { "EVENT/20240316_083020_EF.mp4", true, "tokyo", 20000, 15, 20000 },
    };
    if (auto error = WriteCard(options, recordings, false); !error.empty())
        return error;
    RecordingOptions cut;
    const std::filesystem::path name = "Event/20240315_101130_EF.mp4";
    cut.out = outDir / name;
    cut.durationMs = 20000;
    cut.front = options.front;
    cut.rear = options.rear;
    cut.seed = 11;
    cut.start = StartFromName(name);
    cut.driveOffsetMs = 80000;
    cut.powerCut = PowerCutPoint { std::nullopt, 700 };
    return MakeRecording(cut);
}

} // namespace velomira
