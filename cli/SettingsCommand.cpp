// velomira-card settings show ROOT [--json]
// velomira-card settings check ROOT
// velomira-card settings restore ROOT --language N
// velomira-card settings set ROOT OFFSET=VALUE|NAME=VALUE... [--force]
// velomira-card settings get ROOT [NAME]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "settings/SettingsFile.h"
#include "settings/editor/FieldAccess.h"

namespace velomira::cli {
namespace {

constexpr std::string_view kUsage
    = "usage: settings show ROOT [--json] | check ROOT | restore ROOT --language N | "
      "set ROOT OFFSET=VALUE|NAME=VALUE... [--force] | get ROOT [NAME]";

const char* PlaceName(SettingsPlace place)
{
    return place == SettingsPlace::Root ? "root" : "SETUP";
}

int Show(const DriveRoots& drives, bool json)
{
    const auto content = ReadSettingsFile(kCardLetter, drives);
    if (!content)
        return Negative("no data_setup.cfg in the card's root or SETUP folder");
    const auto& bytes = content->bytes;
    const int stored = bytes.size() > kSettingsChecksumOffset ? bytes[kSettingsChecksumOffset] : -1;
    const int computed = SettingsChecksum(bytes);
    const bool valid = IsSettingsRecordValid(bytes);
    std::string out;
    if (json) {
        JsonWriter writer;
        writer.BeginObject();
        writer.Key("place").String(PlaceName(content->place));
        writer.Key("checksumStored");
        if (stored < 0)
            writer.Null();
        else
            writer.Integer(stored);
        writer.Key("checksumComputed").Integer(computed);
        writer.Key("valid").Bool(valid);
        writer.Key("words").BeginObject();
        for (std::size_t offset = kFirstSettingsWord; offset + 1 < kSettingsRecordBytes;
             offset += 2) {
            if (const auto word = SettingsWord(bytes, offset))
                writer.Key(std::to_string(offset)).Integer(*word);
        }
        writer.EndObject().EndObject();
        out = writer.Text() + "\n";
    } else {
        char line[128];
        out += std::string("place: ") + PlaceName(content->place) + "\n";
        std::snprintf(line, sizeof line, "length: %zu\n", bytes.size());
        out += line;
        if (stored >= 0)
            std::snprintf(line, sizeof line, "checksumStored: 0x%02X\n", stored);
        else
            std::snprintf(line, sizeof line, "checksumStored: none\n");
        out += line;
        std::snprintf(line, sizeof line, "checksumComputed: 0x%02X\n", computed);
        out += line;
        out += std::string("valid: ") + (valid ? "yes" : "no") + "\n";
        for (std::size_t offset = kFirstSettingsWord; offset + 1 < kSettingsRecordBytes;
             offset += 2) {
            const auto word = SettingsWord(bytes, offset);
            if (!word)
                break;
            const std::string_view name = SettingsWordName(offset);
            std::snprintf(line, sizeof line, "%3zu %5u%s%.*s\n", offset,
                static_cast<unsigned>(*word), name.empty() ? "" : "  ",
                static_cast<int>(name.size()), name.data());
            out += line;
        }
    }
    WriteOut(out);
    return kExitSuccess;
}

int Check(const DriveRoots& drives)
{
    const auto content = ReadSettingsFile(kCardLetter, drives);
    const bool valid = content && IsSettingsRecordValid(content->bytes);
    WriteOut(valid ? "valid\n" : "damaged\n");
    return valid ? kExitSuccess : kExitNegative;
}

// The file is on the card; only its folder could not be flushed afterwards.
void WarnFolderNotFlushed(int error)
{
    std::fprintf(stderr, "warning: data_setup.cfg is written, but its folder could not be flushed: %s\n",
        std::strerror(error));
}

int Restore(const DriveRoots& drives, std::span<char* const> options)
{
    if (options.size() != 2 || std::string_view(options[0]) != "--language")
        return BadInput("usage: settings restore ROOT --language N");
    const auto language = ParseInteger(options[1]);
    if (!language || *language < 0 || *language > 2)
        return BadInput("--language must be 0 (Japanese), 1 (English) or 2 (Korean)");
    if (!WriteSettingsFile(kCardLetter, drives, DefaultSettingsRecord(static_cast<int>(*language)),
            SystemFileOperations(), WarnFolderNotFlushed))
        return Negative("cannot write data_setup.cfg in the card's root");
    WriteOut("restored\n");
    return kExitSuccess;
}

// The record of the card's settings file, zero beyond the end of a short file, or why
// there is none.
std::optional<SettingsRecord> ReadRecord(const DriveRoots& drives, std::string& why)
{
    const auto content = ReadSettingsFile(kCardLetter, drives);
    if (!content) {
        why = "no data_setup.cfg in the card's root or SETUP folder";
        return std::nullopt;
    }
    if (content->readFailed) {
        why = "cannot read data_setup.cfg: the card reports an error";
        return std::nullopt;
    }
    SettingsRecord record {};
    std::copy_n(
        content->bytes.begin(), std::min(content->bytes.size(), record.size()), record.begin());
    return record;
}

int Get(const DriveRoots& drives, std::span<char* const> names)
{
    if (names.size() > 1)
        return BadInput("usage: settings get ROOT [NAME]");
    std::string why;
    const auto record = ReadRecord(drives, why);
    if (!record)
        return Negative(why);
    if (names.empty()) {
        std::string out;
        for (const NamedField& field : ReadFields(*record))
            out += field.name + "=" + field.value + "\n";
        WriteOut(out);
        return kExitSuccess;
    }
    const auto value = ReadField(*record, names[0]);
    if (!value)
        return BadInput("no field named " + std::string(names[0]));
    WriteOut(*value + "\n");
    return kExitSuccess;
}

bool LooksNumeric(std::string_view text)
{
    return !text.empty()
        && ((text.front() >= '0' && text.front() <= '9') || text.front() == '-'
            || text.front() == '+');
}

int Set(const DriveRoots& drives, std::span<char* const> arguments)
{
    // A word by its offset, or an editor field by its name with its value as text.
    struct Change {
        std::size_t offset = 0;
        std::uint16_t word = 0;
        std::string name;
        std::string value;
    };
    std::vector<Change> changes;
    bool force = false;
    for (const char* text : arguments) {
        const std::string_view assignment = text;
        if (assignment == "--force") {
            force = true;
            continue;
        }
        const auto equals = assignment.find('=');
        const std::string_view left = assignment.substr(0, equals);
        if (equals != std::string_view::npos && !left.empty() && !LooksNumeric(left)) {
            changes.push_back(
                { 0, 0, std::string(left), std::string(assignment.substr(equals + 1)) });
            continue;
        }
        const auto offset = ParseInteger(left);
        const auto value = equals == std::string_view::npos
            ? std::nullopt
            : ParseInteger(assignment.substr(equals + 1));
        if (!offset || !value)
            return BadInput(
                "expected OFFSET=VALUE or NAME=VALUE, got '" + std::string(assignment) + "'");
        if (*offset < static_cast<std::int64_t>(kFirstSettingsWord) || *offset > 198
            || *offset % 2 != 0)
            return BadInput(
                "offset " + std::to_string(*offset) + " is not a word: even offsets 4 to 198");
        if (*value < 0 || *value > 0xFFFF)
            return BadInput("value " + std::to_string(*value) + " does not fit 16 bits");
        changes.push_back(
            { static_cast<std::size_t>(*offset), static_cast<std::uint16_t>(*value), {}, {} });
    }
    if (changes.empty())
        return BadInput("usage: settings set ROOT OFFSET=VALUE|NAME=VALUE... [--force]");
    const auto content = ReadSettingsFile(kCardLetter, drives);
    if (!content)
        return Negative("no data_setup.cfg to change (settings restore writes one)");
    if (content->readFailed)
        return Negative("cannot read data_setup.cfg: the card reports an error");
    // A fresh checksum over a damaged record would make its corruption look valid.
    if (!IsSettingsRecordValid(content->bytes) && !force)
        return Negative("data_setup.cfg is damaged (" + std::to_string(content->bytes.size())
            + " bytes, checksum does not match); 'settings restore' writes the defaults, "
              "or --force writes these words over what is there");
    SettingsRecord record {};
    std::copy(content->bytes.begin(), content->bytes.end(), record.begin());
    for (const Change& change : changes) {
        if (change.name.empty()) {
            // Companion words (52 with 50, 110 with 108, 148 with 146) follow the word set last.
            SetSettingsWordWithCompanion(record, change.offset, change.word);
            continue;
        }
        // Named fields go through the editor's page rules, paired words included.
        if (const std::string refusal = WriteField(record, change.name, change.value);
            !refusal.empty())
            return BadInput(refusal);
    }
    if (!WriteSettingsFile(kCardLetter, drives, record, SystemFileOperations(), WarnFolderNotFlushed))
        return Negative("cannot write data_setup.cfg in the card's root");
    WriteOut("written\n");
    return kExitSuccess;
}

} // namespace

int RunSettingsCommand(std::span<char* const> args)
{
    if (args.size() < 2)
        return BadInput(kUsage);
    const std::string_view action = args[0];
    const auto drives = CardDrive(args[1]);
    if (!drives)
        return kExitBadInput;
    const auto rest = args.subspan(2);
    if (action == "show") {
        if (rest.size() > 1 || (rest.size() == 1 && std::string_view(rest[0]) != "--json"))
            return BadInput(kUsage);
        return Show(*drives, rest.size() == 1);
    }
    if (action == "check")
        return rest.empty() ? Check(*drives) : BadInput(kUsage);
    if (action == "restore")
        return Restore(*drives, rest);
    if (action == "set")
        return Set(*drives, rest);
    if (action == "get")
        return Get(*drives, rest);
    return BadInput(kUsage);
}

} // namespace velomira::cli
