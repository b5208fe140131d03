#include "devtools/mkcard/TestsetWriter.h"

#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

#include "devtools/mkcard/CardWriter.h"
#include "devtools/mkcard/GSensorSampleWriter.h"
#include "devtools/mkcard/NmeaSentenceWriter.h"
#include "devtools/mkcard/PowerCut.h"
#include "devtools/mkcard/RecordingJob.h"
#include "devtools/mkcard/TelemetrySample.h"

namespace velomira {
namespace {

TelemetrySample TextSample(uint32_t timeMs, const std::string& line)
{
    return { timeMs, std::vector<uint8_t>(line.begin(), line.end()) };
}

// "$" + body + "*" + checksum, for lines written by hand.
std::string Sentence(const std::string& body)
{
    return "$" + body + "*" + NmeaChecksum(body);
}

// Identifies the program file that makes the set: its size and modification time.
std::string GeneratorIdentity()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const auto size = std::filesystem::file_size(exe, ec);
    if (ec)
        return {};
    const auto time = std::filesystem::last_write_time(exe, ec);
    if (ec)
        return {};
    return "velomira-mkcard testset " + std::to_string(size) + " "
        + std::to_string(time.time_since_epoch().count());
}

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct TestRecording {
    std::string name;
    std::string description;
    void (*adjust)(RecordingOptions&);
};

// Recordings cut short by a power loss, per layout: cut/LAYOUT/ holds the cuts and a
// complete recording of the same layout (another seed) to rebuild them from;
// cut-originals/LAYOUT.mp4 is the complete recording they were cut from.
std::string WritePowerLossSet(const std::filesystem::path& root, std::string& manifest)
{
    struct Layout {
        const char* name;
        void (*adjust)(RecordingOptions&);
    };
    const Layout layouts[] = {
        { "two-cameras", nullptr },
        { "front-only", [](RecordingOptions& o) { o.rear.reset(); } },
        { "timed-text", [](RecordingOptions& o) { o.timedTextTelemetry = true; } },
        { "no-audio", [](RecordingOptions& o) { o.audio = AudioKind::None; } },
        // Both cameras with the same parameter sets: only the interleaving tells them apart.
        { "same-size-cameras",
            [](RecordingOptions& o) {
                o.rear = VideoSize { 320, 180 };
            } },
    };
    struct Cut {
        const char* name;
        std::optional<uint64_t> byteOffset; // else the share in per mille
        int perMille;
    };
    std::error_code ec;
    std::filesystem::create_directories(root / "cut-originals", ec);
    for (const auto& layout : layouts) {
        const auto folder = root / "cut" / layout.name;
        std::filesystem::create_directories(folder, ec);
        RecordingOptions options;
        options.durationMs = 4000;
        options.front = { 320, 180 };
        options.rear = VideoSize { 160, 90 };
        if (layout.adjust != nullptr)
            layout.adjust(options);
        const auto original = root / "cut-originals" / (std::string(layout.name) + ".mp4");
        options.out = original;
        options.telemetryOut = original;
        options.telemetryOut += ".telemetry.txt";
        if (auto error = MakeRecording(options); !error.empty())
            return original.string() + ": " + error;
        options.out = folder / "reference.mp4";
        options.telemetryOut.clear();
        options.seed = 2;
        if (auto error = MakeRecording(options); !error.empty())
            return options.out.string() + ": " + error;

        std::vector<TelemetrySample> written;
        std::string error;
        if (!ParseTelemetryText(ReadText(original.string() + ".telemetry.txt"), written, error))
            return original.string() + ": " + error;
        const auto ends = TelemetrySampleEnds(original);
        const auto media = FindMediaData(original);
        if (!ends || ends->size() < 20 || !media)
            return original.string() + ": no telemetry to cut inside";
        const Cut cuts[] = {
            { "first-second", std::nullopt, 150 }, // 0.6 s of 4
            { "mid-sample", static_cast<uint64_t>((*ends)[ends->size() / 3] - 7), 0 },
            { "half", std::nullopt, 500 },
            { "before-index", media->end - 1, 0 },
        };
        for (const auto& cut : cuts) {
            const auto out = folder / (std::string(cut.name) + ".mp4");
            auto telemetryOut = out;
            telemetryOut += ".telemetry.txt";
            PowerCutPoint point;
            if (cut.byteOffset)
                point.byteOffset = cut.byteOffset;
            else
                point.mediaPerMille = cut.perMille;
            if (auto failed = WritePowerLossCut(original, written, out, point, telemetryOut);
                !failed.empty())
                return out.string() + ": " + failed;
        }
        manifest += "cut/" + std::string(layout.name)
            + "/\treference.mp4 and recordings cut short by a power loss: first-second, "
              "mid-sample (inside a telemetry sample), half, before-index; each with its "
              "telemetry wholly before the cut\n";
        manifest += "cut-originals/" + std::string(layout.name) + ".mp4\tthe complete "
            + layout.name + " recording the cuts come from\n";
    }
    return {};
}

} // namespace

std::string ChosenTelemetryText()
{
    std::vector<TelemetrySample> samples;

    GSensorValues zeros; // first triple 2048, 3072, 1024; second 512, -1024, 0; clock unset
    zeros.first = { 2048, 3072, 1024 };
    zeros.second = { 512, -1024, 0 };
    zeros.status[0] = 42;
    samples.push_back({ 40, WriteGSensorSample(zeros) });

    GSensorValues marked;
    marked.marker = 'A';
    marked.first = { 2148, 3072, 1948 };
    marked.clock = { 24, 3, 15, 10, 10, 10 };
    marked.status = { 57, 0, 0, 1, 1, 1, 0, 1, 0, 2, 0 };
    samples.push_back({ 100, WriteGSensorSample(marked) });
    samples.push_back(TextSample(
        100, Sentence("GPRMC,101010.100,A,3733.1234,N,12700.5000,E,10.0,54.7,150324,,,A")));

    samples.push_back(TextSample(
        1000, Sentence("GNRMC,101011.000,A,3733.1300,N,12700.5100,E,12.5,55.0,150324,,,A")));
    samples.push_back(TextSample(
        1500, Sentence("GPGGA,101011.500,3733.1310,N,12700.5110,E,1,08,0.9,45.0,M,19.0,M,,")));
    samples.push_back(TextSample(
        2000, Sentence("gprmc,101012.000,A,3733.1400,N,12700.5200,E,13.0,55.2,150324,,,A")));

    std::vector<uint8_t> big(1100);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<uint8_t>(i * 7 + 3);
    big[0] = 'M';
    samples.push_back({ 2500, big });

    samples.push_back(TextSample(3000, Sentence("GPRMC,101013.000,V,,,,,,,150324,,,N")));
    samples.push_back(TextSample(
        3200, Sentence("GPRMC,101013.200,A,3352.1280,S,15112.5580,W,5.0,180.0,150324,,,A")));

    GSensorValues last;
    last.status[0] = 12;
    last.clock = { 24, 3, 15, 10, 10, 13 };
    samples.push_back({ 3990, WriteGSensorSample(last) });

    return "# Chosen telemetry samples: <ms> <hex bytes> or <ms> $TEXT\n"
        + FormatTelemetryText(samples);
}

std::string WriteTestset(const std::filesystem::path& outDir)
{
    const std::string identity = GeneratorIdentity();
    if (!identity.empty() && ReadText(outDir / "stamp.txt") == identity + "\n")
        return {};

    // A folder of this run's own, so two runs at once never write into the same files.
    std::filesystem::path temp = outDir;
    temp += ".tmp-" + std::to_string(::getpid());
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
    std::filesystem::create_directories(temp / "rec", ec);
    if (ec)
        return "cannot create " + temp.string() + ": " + ec.message();

    std::string manifest = "# velomira-mkcard testset: <path>\t<what it is>\n";
    if (auto error = WriteFileAtomically(temp / "rec" / "chosen.txt", ChosenTelemetryText());
        !error.empty())
        return error;
    manifest += "rec/chosen.txt\tchosen telemetry samples for chosen.mp4 and chosen.avi\n";

    const TestRecording recordings[] = {
        { "default.mp4", "front 320x180, rear 160x90, 30 fps, 4 s, AAC, drive", nullptr },
        { "default.avi", "as default.mp4 in AVI", nullptr },
        { "pcm.mp4", "PCM audio", [](RecordingOptions& o) { o.audio = AudioKind::Pcm; } },
        { "pcm.avi", "PCM audio in AVI", [](RecordingOptions& o) { o.audio = AudioKind::Pcm; } },
        { "front-only.mp4", "one video stream", [](RecordingOptions& o) { o.rear.reset(); } },
        { "no-audio.mp4", "no audio stream",
            [](RecordingOptions& o) { o.audio = AudioKind::None; } },
        { "no-telemetry.mp4", "no telemetry stream",
            [](RecordingOptions& o) { o.telemetry = TelemetrySource::None; } },
        { "truncated.mp4", "default cut at 60% of its bytes",
            [](RecordingOptions& o) { o.cutPercent = 60; } },
        { "truncated-faststart.mp4",
            "default written with its index in front, cut at 60% of its bytes; its telemetry "
            "file lists the samples wholly before the cut",
            [](RecordingOptions& o) {
                o.faststart = true;
                o.cutPercent = 60;
            } },
        { "random.mp4", "20000 random bytes", [](RecordingOptions& o) { o.randomBytes = 20000; } },
        { "long.mp4", "12 s, for seeking", [](RecordingOptions& o) { o.durationMs = 12000; } },
        { "chosen.mp4", "telemetry from chosen.txt",
            [](RecordingOptions& o) { o.telemetry = TelemetrySource::File; } },
        { "chosen.avi", "telemetry from chosen.txt in AVI",
            [](RecordingOptions& o) { o.telemetry = TelemetrySource::File; } },
    };
    for (const auto& rec : recordings) {
        RecordingOptions options;
        options.out = temp / "rec" / rec.name;
        options.durationMs = 4000;
        options.front = { 320, 180 };
        options.rear = VideoSize { 160, 90 };
        options.telemetryFile = temp / "rec" / "chosen.txt";
        if (rec.adjust != nullptr)
            rec.adjust(options);
        if (!options.randomBytes)
            options.telemetryOut = temp / "rec" / (rec.name + ".telemetry.txt");
        if (auto error = MakeRecording(options); !error.empty())
            return rec.name + ": " + error;
        manifest += "rec/" + rec.name + "\t" + rec.description + "\n";
        if (!options.randomBytes)
            manifest += "rec/" + rec.name + ".telemetry.txt\tthe telemetry as written\n";
    }

    if (auto error = WritePowerLossSet(temp, manifest); !error.empty())
        return error;

    CardOptions card;
    card.outDir = temp / "card";
    const auto cardRecordings = StandardCardRecordings(card, false);
    if (auto error = WriteCard(card, cardRecordings, false); !error.empty())
        return "card: " + error;
    for (const auto& rec : cardRecordings)
        manifest += "card/" + rec.relativePath.generic_string() + "\trecording"
            + (rec.telemetry ? "" : " without telemetry") + "\n";
    for (const auto& other : NonRecordingFiles(false))
        manifest += "card/" + other.generic_string() + "\tnot a recording\n";
    manifest += "card/SETUP/data_factory.cfg\t66 bytes, PLK, version 2.0.3\n";
    manifest += "card/data_setup.cfg\tdefault settings, English (language 1), valid checksum\n";

    if (auto error = WriteFileAtomically(temp / "manifest.txt", manifest); !error.empty())
        return error;
    if (auto error = WriteFileAtomically(temp / "stamp.txt", identity + "\n"); !error.empty())
        return error;
    std::filesystem::remove_all(outDir, ec);
    std::filesystem::rename(temp, outDir, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove_all(temp, ignored);
        // Another run finished the same set first: that one serves.
        if (!identity.empty() && ReadText(outDir / "stamp.txt") == identity + "\n")
            return {};
        return "cannot rename " + temp.string() + ": " + ec.message();
    }
    return {};
}

} // namespace velomira
