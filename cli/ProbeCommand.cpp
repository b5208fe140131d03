// velomira-card probe REC [--json]: the source's outputs for one recording.
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/RecordingCommands.h"
#include "playback/ffmpeg/RecordingProbe.h"

namespace velomira::cli {

namespace {

const char* AudioKindName(AudioKind kind)
{
    switch (kind) {
    case AudioKind::Pcm:
        return "PCM";
    case AudioKind::Compressed:
        return "compressed";
    case AudioKind::None:
        break;
    }
    return "none";
}

std::string SizeText(const RecordingInfo::Size& size)
{
    return std::to_string(size.width) + "x" + std::to_string(size.height);
}

} // namespace

int RunProbeCommand(std::span<char* const> args)
{
    constexpr std::string_view kUsage = "usage: probe REC [--json]";
    std::string path;
    bool json = false;
    for (const char* arg : args) {
        const std::string_view text = arg;
        if (text == "--json")
            json = true;
        else if (path.empty() && !text.starts_with("--"))
            path = text;
        else
            return BadInput(kUsage);
    }
    if (path.empty())
        return BadInput(kUsage);
    const std::optional<RecordingInfo> info = ProbeRecording(path);
    if (!info)
        return BadInput(path + ": not a recording (MP4 or AVI) that the player opens");
    const auto samples = ReadTelemetrySamples(path, 1024);
    const size_t sampleCount = samples ? samples->size() : 0;

    if (json) {
        JsonWriter out;
        out.BeginObject().Key("file").String(path).Key("container").String(info->container);
        out.Key("outputs").BeginArray();
        for (const std::string& name : info->outputNames)
            out.String(name);
        out.EndArray().Key("durationMs").Integer(info->durationMs);
        out.Key("video").BeginArray();
        for (const RecordingInfo::Size& size : info->videoSizes)
            out.BeginObject()
                .Key("width")
                .Integer(size.width)
                .Key("height")
                .Integer(size.height)
                .EndObject();
        out.EndArray().Key("audio").String(AudioKindName(info->audioKind));
        out.Key("telemetrySamples").Integer(static_cast<int64_t>(sampleCount)).EndObject();
        WriteOut(out.Text() + "\n");
        return kExitSuccess;
    }
    std::string text = "file: " + path + "\ncontainer: " + info->container + "\noutputs:";
    for (size_t i = 0; i < info->outputNames.size(); ++i)
        text += (i == 0 ? " " : ", ") + info->outputNames[i];
    text += "\nduration-ms: " + std::to_string(info->durationMs) + "\nvideo:";
    for (size_t i = 0; i < info->videoSizes.size(); ++i)
        text += (i == 0 ? " " : ", ") + SizeText(info->videoSizes[i]);
    if (info->videoSizes.empty())
        text += " none";
    text += std::string("\naudio: ") + AudioKindName(info->audioKind)
        + "\ntelemetry-samples: " + std::to_string(sampleCount) + "\n";
    WriteOut(text);
    return kExitSuccess;
}

} // namespace velomira::cli
