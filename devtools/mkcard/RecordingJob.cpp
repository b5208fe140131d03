#include "devtools/mkcard/RecordingJob.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "devtools/mkcard/TelemetrySynthesizer.h"

namespace velomira {
namespace {

std::string ReadWholeFile(const std::filesystem::path& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ok = static_cast<bool>(in) || in.eof();
    return text.str();
}

std::string RandomBytes(uint64_t count, uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::string bytes(count, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(random() & 0xff);
    return bytes;
}

} // namespace

std::optional<Container> ContainerForPath(const std::filesystem::path& path)
{
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".mp4")
        return Container::Mp4;
    if (ext == ".avi")
        return Container::Avi;
    return std::nullopt;
}

std::string WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes)
{
    std::filesystem::path temp = path;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out)
            return "cannot write " + temp.string();
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec)
        return "cannot rename " + temp.string() + ": " + ec.message();
    return {};
}

std::string WritePowerLossCut(const std::filesystem::path& complete,
    const std::vector<TelemetrySample>& written, const std::filesystem::path& out,
    const PowerCutPoint& point, const std::filesystem::path& telemetryOut)
{
    const auto ends = TelemetrySampleEnds(complete);
    std::string error;
    const auto cut = WritePowerCut(complete, out, point, error);
    if (!cut)
        return error;
    if (telemetryOut.empty())
        return {};
    // A reader of the rebuilt recording gets the samples wholly before the cut.
    std::vector<TelemetrySample> telemetry = written;
    if (ends && ends->size() == telemetry.size()) {
        size_t whole = 0;
        while (whole < ends->size() && (*ends)[whole] <= static_cast<int64_t>(*cut))
            ++whole;
        telemetry.resize(whole);
    }
    return WriteFileAtomically(telemetryOut, FormatTelemetryText(telemetry));
}

std::string MakeRecording(const RecordingOptions& options)
{
    const auto container = ContainerForPath(options.out);
    if (options.randomBytes)
        return WriteFileAtomically(options.out, RandomBytes(*options.randomBytes, options.seed));
    if (!container)
        return "the recording's name must end in .mp4 or .avi: " + options.out.string();

    RecordingPlan plan;
    plan.container = *container;
    plan.durationMs = options.durationMs;
    plan.front = options.front;
    plan.rear = options.rear;
    plan.fps = options.fps;
    plan.audio = options.audio;
    plan.seed = options.seed;
    plan.faststart = options.faststart;
    plan.timedTextTelemetry = options.timedTextTelemetry;
    plan.telemetryStream = options.telemetry != TelemetrySource::None;
    if (options.telemetry == TelemetrySource::Drive) {
        DriveOptions drive;
        drive.durationMs = options.durationMs;
        drive.gSensorRateHz = options.gSensorRateHz;
        drive.gnrmc = options.gnrmc;
        drive.route = options.route;
        drive.seed = options.seed;
        drive.start = options.start;
        drive.driveOffsetMs = options.driveOffsetMs;
        plan.telemetry = SynthesizeDrive(drive);
    } else if (options.telemetry == TelemetrySource::File) {
        bool ok = false;
        const std::string text = ReadWholeFile(options.telemetryFile, ok);
        if (!ok)
            return "cannot read " + options.telemetryFile.string();
        std::string error;
        if (!ParseTelemetryText(text, plan.telemetry, error))
            return options.telemetryFile.string() + ": " + error;
    }

    // Encode into a temporary name so an interrupted run leaves no half file behind.
    std::filesystem::path temp = options.out;
    temp += ".part";
    const RecordingResult result = WriteRecording(temp, plan);
    std::error_code ec;
    if (!result.error.empty()) {
        std::filesystem::remove(temp, ec);
        return result.error;
    }
    std::vector<TelemetrySample> telemetry = result.writtenTelemetry;
    if (options.cutPercent) {
        const auto size = std::filesystem::file_size(temp, ec);
        if (ec)
            return "cannot cut " + temp.string() + ": " + ec.message();
        const auto kept
            = size * static_cast<uintmax_t>(std::clamp(*options.cutPercent, 0, 100)) / 100;
        // With the index in front, a reader gets the samples whose bytes lie wholly
        // before the cut; the telemetry file lists those. (A cut file whose index was at
        // the end opens nowhere; its telemetry file lists what was written.)
        if (options.faststart && *container == Container::Mp4 && !telemetry.empty()) {
            const auto ends = TelemetrySampleEnds(temp);
            if (!ends || ends->size() != telemetry.size())
                return "cannot find the telemetry samples in " + temp.string();
            size_t whole = 0;
            while (whole < ends->size() && (*ends)[whole] <= static_cast<int64_t>(kept))
                ++whole;
            telemetry.resize(whole);
        }
        std::filesystem::resize_file(temp, kept, ec);
        if (ec)
            return "cannot cut " + temp.string() + ": " + ec.message();
    }
    if (options.powerCut && *container == Container::Mp4) {
        const std::string error = WritePowerLossCut(
            temp, telemetry, options.out, *options.powerCut, options.telemetryOut);
        std::filesystem::remove(temp, ec);
        return error;
    } else {
        std::filesystem::rename(temp, options.out, ec);
        if (ec)
            return "cannot rename " + temp.string() + ": " + ec.message();
    }
    if (!options.telemetryOut.empty()) {
        if (auto error = WriteFileAtomically(options.telemetryOut, FormatTelemetryText(telemetry));
            !error.empty())
            return error;
    }
    return {};
}

} // namespace velomira
