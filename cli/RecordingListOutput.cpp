#include "cli/RecordingListOutput.h"

#include "cli/JsonWriter.h"
#include "platform/CardPath.h"

namespace velomira::cli {
namespace {

std::string ShownPath(const RecordingEntry& entry, const DriveRoots* drives)
{
    if (drives != nullptr) {
        if (const auto path = ToLinuxPathAsListed(entry.path, *drives))
            return path->string();
    }
    return entry.path;
}

// Tabs and line breaks inside a column would break the line format.
std::string Column(std::string text)
{
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

} // namespace

std::string RecordingListText(const std::vector<RecordingEntry>& entries, const DriveRoots* drives)
{
    std::string out;
    for (const RecordingEntry& entry : entries) {
        out += Column(entry.date) + "\t" + Column(entry.time) + "\t" + Column(entry.kind) + "\t"
            + Column(ShownPath(entry, drives)) + "\n";
    }
    return out;
}

std::string RecordingListJson(const std::vector<RecordingEntry>& entries, const DriveRoots* drives)
{
    JsonWriter json;
    json.BeginArray();
    for (const RecordingEntry& entry : entries) {
        json.BeginObject();
        json.Key("date").String(entry.date);
        json.Key("time").String(entry.time);
        json.Key("kind").String(entry.kind);
        json.Key("path").String(ShownPath(entry, drives));
        json.Key("key").Integer(StampKey(entry.path));
        json.EndObject();
    }
    json.EndArray();
    return json.Text() + "\n";
}

} // namespace velomira::cli
