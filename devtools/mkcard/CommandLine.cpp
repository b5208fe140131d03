#include "devtools/mkcard/CommandLine.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "devtools/mkcard/TelemetrySynthesizer.h"
#include "devtools/mkcard/TestsetWriter.h"

namespace velomira {
namespace {

template<typename T>
bool ParseNumber(const std::string& text, T& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool ParseSize(const std::string& text, VideoSize& size)
{
    const auto x = text.find('x');
    return x != std::string::npos && ParseNumber(text.substr(0, x), size.width)
        && ParseNumber(text.substr(x + 1), size.height) && size.width >= 16 && size.height >= 16
        && size.width % 2 == 0 && size.height % 2 == 0 && size.width <= 4096 && size.height <= 4096;
}

bool ParseDurationMs(const std::string& text, uint32_t& durationMs)
{
    double seconds = 0;
    if (!ParseNumber(text, seconds) || !(seconds > 0) || seconds > 3600)
        return false;
    durationMs = static_cast<uint32_t>(std::lround(seconds * 1000.0));
    return durationMs > 0;
}

bool ParseAudio(const std::string& text, AudioKind& audio)
{
    if (text == "aac")
        audio = AudioKind::Aac;
    else if (text == "pcm")
        audio = AudioKind::Pcm;
    else if (text == "none")
        audio = AudioKind::None;
    else
        return false;
    return true;
}

bool ParseSetup(const std::string& text, SetupFileMode& mode)
{
    static const std::pair<const char*, SetupFileMode> kModes[] = {
        { "default", SetupFileMode::Default },
        { "bad-checksum", SetupFileMode::BadChecksum },
        { "short", SetupFileMode::Short },
        { "setup-only", SetupFileMode::SetupOnly },
        { "none", SetupFileMode::None },
    };
    for (const auto& [name, value] : kModes) {
        if (text == name) {
            mode = value;
            return true;
        }
    }
    return false;
}

// Walks "--name value" pairs and flags; each handler returns false for a bad value.
class OptionWalker {
public:
    OptionWalker(const std::vector<std::string>& args, size_t first)
        : m_args(args)
        , m_pos(first)
    { }
    bool Done() const { return m_pos >= m_args.size(); }
    const std::string& Name() const { return m_args[m_pos]; }
    // The value after the current option; false when it is missing.
    bool TakeValue(std::string& value)
    {
        if (m_pos + 1 >= m_args.size())
            return false;
        value = m_args[m_pos + 1];
        m_pos += 2;
        return true;
    }
    void TakeFlag() { ++m_pos; }

private:
    const std::vector<std::string>& m_args;
    size_t m_pos;
};

// Options both the recording and the card command take (media of the recordings).
// Returns 1 handled, 0 not a media option, -1 bad value.
int TakeMediaOption(OptionWalker& walker, uint32_t& durationMs, VideoSize& front,
    std::optional<VideoSize>& rear, int& fps, AudioKind& audio)
{
    const std::string name = walker.Name();
    std::string value;
    if (name != "--duration" && name != "--front" && name != "--rear" && name != "--fps"
        && name != "--audio")
        return 0;
    if (!walker.TakeValue(value))
        return -1;
    if (name == "--duration")
        return ParseDurationMs(value, durationMs) ? 1 : -1;
    if (name == "--front")
        return ParseSize(value, front) ? 1 : -1;
    if (name == "--rear") {
        if (value == "none") {
            rear.reset();
            return 1;
        }
        VideoSize size;
        if (!ParseSize(value, size))
            return -1;
        rear = size;
        return 1;
    }
    if (name == "--fps")
        return ParseNumber(value, fps) && fps >= 1 && fps <= 240 ? 1 : -1;
    return ParseAudio(value, audio) ? 1 : -1;
}

std::string ParseRecording(const std::vector<std::string>& args, RecordingOptions& o)
{
    o.out = args[1];
    OptionWalker walker(args, 2);
    while (!walker.Done()) {
        const std::string name = walker.Name();
        const int media = TakeMediaOption(walker, o.durationMs, o.front, o.rear, o.fps, o.audio);
        if (media < 0)
            return "bad value for " + name;
        if (media > 0)
            continue;
        if (name == "--gnrmc") {
            o.gnrmc = true;
            walker.TakeFlag();
            continue;
        }
        if (name == "--faststart") {
            o.faststart = true;
            walker.TakeFlag();
            continue;
        }
        std::string value;
        if (!walker.TakeValue(value))
            return "unknown option or missing value: " + name;
        bool ok = true;
        if (name == "--telemetry") {
            if (value == "drive") {
                o.telemetry = TelemetrySource::Drive;
            } else if (value == "none") {
                o.telemetry = TelemetrySource::None;
            } else {
                o.telemetry = TelemetrySource::File;
                o.telemetryFile = value;
            }
        } else if (name == "--gsensor-rate") {
            ok = ParseNumber(value, o.gSensorRateHz) && o.gSensorRateHz >= 0
                && o.gSensorRateHz <= 1000;
        } else if (name == "--route") {
            ok = FindDriveRoute(value) != nullptr;
            o.route = value;
        } else if (name == "--cut") {
            int percent = 0;
            ok = ParseNumber(value, percent) && percent >= 0 && percent <= 100;
            o.cutPercent = percent;
        } else if (name == "--power-cut") {
            o.powerCut = ParsePowerCutPoint(value);
            ok = o.powerCut.has_value();
        } else if (name == "--telemetry-track") {
            ok = value == "data" || value == "text";
            o.timedTextTelemetry = value == "text";
        } else if (name == "--random-bytes") {
            uint64_t count = 0;
            ok = ParseNumber(value, count) && count <= (1ull << 30);
            o.randomBytes = count;
        } else if (name == "--seed") {
            ok = ParseNumber(value, o.seed);
        } else if (name == "--telemetry-out") {
            o.telemetryOut = value;
        } else {
            return "unknown option: " + name;
        }
        if (!ok)
            return "bad value for " + name + ": " + value;
    }
    if (!o.randomBytes && !ContainerForPath(o.out))
        return "the recording's name must end in .mp4 or .avi";
    return {};
}

std::string ParseCard(const std::vector<std::string>& args, CardOptions& o)
{
    o.outDir = args[1];
    OptionWalker walker(args, 2);
    while (!walker.Done()) {
        const std::string name = walker.Name();
        const int media = TakeMediaOption(walker, o.durationMs, o.front, o.rear, o.fps, o.audio);
        if (media < 0)
            return "bad value for " + name;
        if (media > 0)
            continue;
        if (name == "--no-mark" || name == "--empty-recordings") {
            (name == "--no-mark" ? o.factory.mark : o.emptyRecordings) = name != "--no-mark";
            walker.TakeFlag();
            continue;
        }
        std::string value;
        if (!walker.TakeValue(value))
            return "unknown option or missing value: " + name;
        bool ok = true;
        if (name == "--seed") {
            ok = ParseNumber(value, o.seed);
        } else if (name == "--factory-length") {
            ok = ParseNumber(value, o.factory.length) && o.factory.length <= 65536;
        } else if (name == "--version") {
            ok = ValidFactoryVersion(value);
            o.factory.version = value;
        } else if (name == "--setup") {
            ok = ParseSetup(value, o.setup);
        } else if (name == "--language") {
            ok = ParseNumber(value, o.language) && o.language >= 0 && o.language <= 65535;
        } else if (name == "--recordings") {
            int count = 0;
            ok = ParseNumber(value, count) && count >= 0 && count <= 1000000;
            o.recordings = count;
        } else if (name == "--image") {
            o.image = value;
        } else {
            return "unknown option: " + name;
        }
        if (!ok)
            return "bad value for " + name + ": " + value;
    }
    return {};
}

} // namespace

Command ParseCommandLine(const std::vector<std::string>& args)
{
    Command command;
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        command.kind = CommandKind::Help;
        if (args.empty())
            command.error = "no command given";
        return command;
    }
    const std::string& verb = args[0];
    if (args.size() < 2) {
        command.error = verb + " needs an output path";
        return command;
    }
    if (verb == "recording") {
        command.kind = CommandKind::Recording;
        command.error = ParseRecording(args, command.recording);
    } else if (verb == "card") {
        command.kind = CommandKind::Card;
        command.error = ParseCard(args, command.card);
    } else if (verb == "demo" || verb == "testset") {
        command.kind = verb == "demo" ? CommandKind::Demo : CommandKind::Testset;
        command.outDir = args[1];
        if (args.size() > 2)
            command.error = "unexpected argument: " + args[2];
    } else if (verb == "trips") {
        command.kind = CommandKind::Trips;
        command.trips.outDir = args[1];
        for (std::size_t i = 2; i < args.size() && command.error.empty(); i += 2) {
            int* value = args[i] == "--trips" ? &command.trips.trips
                : args[i] == "--per-trip"     ? &command.trips.recordingsPerTrip
                                              : nullptr;
            if (value == nullptr || i + 1 >= args.size()
                || std::sscanf(args[i + 1].c_str(), "%d", value) != 1 || *value < 1)
                command.error = "trips takes --trips N and --per-trip N";
        }
    } else {
        command.error = "unknown command: " + verb;
    }
    return command;
}

std::string UsageText()
{
    return R"(velomira-mkcard: writes dashcam recordings and SD cards for tests and demos.

  velomira-mkcard recording OUT.(mp4|avi) [--duration S] [--front WxH] [--rear WxH|none]
      [--fps N] [--audio aac|pcm|none] [--telemetry drive|none|FILE.txt]
      [--gsensor-rate N] [--gnrmc] [--route NAME] [--cut PERCENT] [--random-bytes N]
      [--seed N] [--telemetry-out FILE] [--faststart] [--power-cut BYTES|PERCENT%]
      [--telemetry-track data|text]
  velomira-mkcard card OUTDIR [--seed N] [--factory-length N] [--version DDD[S]]
      [--no-mark] [--setup default|bad-checksum|short|setup-only|none] [--language N]
      [--recordings N] [--empty-recordings] [--image FILE.img]
      [--duration S] [--front WxH] [--rear WxH|none] [--fps N] [--audio aac|pcm|none]
  velomira-mkcard demo OUTDIR
  velomira-mkcard testset OUTDIR
  velomira-mkcard trips OUTDIR [--trips N] [--per-trip N]   (one-minute recordings, 40 x 25)
  velomira-mkcard --help

Routes: seoul, tokyo (north, east), newyork (north, west), sydney (south, east),
saopaulo (south, west). Telemetry files hold one sample a line: "<ms> <hex bytes>" or
"<ms> $TEXT"; --telemetry-out writes the samples in that form as they were stored.
--faststart (MP4) writes the index in front of the media data, so a file cut with --cut
still opens; --telemetry-out then lists only the samples wholly before the cut.
--power-cut (MP4) leaves what a power loss leaves: the bytes up to an offset or a share of
the media data, no index, the media data's size at the writer's placeholder 0;
--telemetry-out then lists the samples wholly before the cut. --telemetry-track text
writes the telemetry as a timed-text track.
)";
}

int RunCommand(const Command& command)
{
    if (!command.error.empty()) {
        std::cerr << "velomira-mkcard: " << command.error << "\n\n" << UsageText();
        return 2;
    }
    std::string error;
    switch (command.kind) {
    case CommandKind::Help:
        std::cout << UsageText();
        return 0;
    case CommandKind::Recording:
        error = MakeRecording(command.recording);
        break;
    case CommandKind::Card:
        error = WriteCard(command.card,
            StandardCardRecordings(command.card, !command.card.image.empty()),
            !command.card.image.empty());
        break;
    case CommandKind::Demo:
        error = WriteDemoCard(command.outDir);
        break;
    case CommandKind::Testset:
        error = WriteTestset(command.outDir);
        break;
    case CommandKind::Trips:
        error = WriteTripsCard(command.trips);
        break;
    }
    if (!error.empty()) {
        std::cerr << "velomira-mkcard: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace velomira
