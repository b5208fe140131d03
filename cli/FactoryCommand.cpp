// velomira-card factory ROOT [--json]
#include <string>

#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "settings/FactoryFile.h"

namespace velomira::cli {

int RunFactoryCommand(std::span<char* const> args)
{
    bool json = false;
    std::string root;
    for (const char* arg : args) {
        if (std::string_view(arg) == "--json")
            json = true;
        else if (root.empty())
            root = arg;
        else
            return BadInput("usage: factory ROOT [--json]");
    }
    if (root.empty())
        return BadInput("usage: factory ROOT [--json]");
    const auto drives = CardDrive(root);
    if (!drives)
        return kExitBadInput;
    const auto info = ReadFactoryFileInfo(kCardLetter, *drives);
    if (!info)
        return Negative("no readable SETUP/data_factory.cfg on the card");

    if (json) {
        JsonWriter writer;
        writer.BeginObject();
        writer.Key("length").Integer(static_cast<std::int64_t>(info->length));
        writer.Key("compatible").Bool(info->compatible);
        writer.Key("version").Integer(info->version.number);
        writer.Key("suffix").Integer(info->version.suffix);
        writer.Key("newFirmware").Bool(info->newFirmware);
        writer.Key("settingsMark").Bool(info->settingsMark);
        writer.EndObject();
        WriteOut(writer.Text() + "\n");
    } else {
        WriteOut("length: " + std::to_string(info->length) + "\n"
            + "compatible: " + (info->compatible ? "yes" : "no") + "\n"
            + "version: " + std::to_string(info->version.number) + "\n"
            + "suffix: " + std::to_string(info->version.suffix) + "\n"
            + "newFirmware: " + (info->newFirmware ? "yes" : "no") + "\n"
            + "settingsMark: " + (info->settingsMark ? "yes" : "no") + "\n");
    }
    return kExitSuccess;
}

} // namespace velomira::cli
