// The editor's fields by name, as scripts use them, and velomira-card's get and set.
#include "settings/editor/FieldAccess.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <sys/wait.h>

#include "settings/SettingsRecord.h"
#include "settings/editor/PageTables.h"
#include "support/TestPaths.h"

namespace velomira {
namespace {

TEST(FieldNames, EachNameEditsOneWordOnEveryPage)
{
    std::map<std::string_view, int> wordOf;
    for (const PageTable& table : AllPageTables()) {
        for (const ControlPlan& plan : table.controls) {
            if (plan.name.empty())
                continue;
            const auto [it, added] = wordOf.emplace(plan.name, plan.word);
            EXPECT_EQ(it->second, plan.word) << plan.name << " in " << table.className;
        }
    }
    const SettingsRecord record = DefaultSettingsRecord(1);
    std::size_t listed = 0;
    for (const NamedField& field : ReadFields(record)) {
        EXPECT_TRUE(wordOf.count(field.name)) << field.name;
        EXPECT_FALSE(field.value.empty()) << field.name;
        ++listed;
    }
    EXPECT_EQ(listed, wordOf.size());
}

TEST(FieldNames, WritesGoThroughThePageRules)
{
    struct Case {
        const char* name;
        const char* value;
        std::vector<std::pair<std::size_t, int>> words; // expected afterwards; empty: refused
        const char* shown; // what reading the field gives afterwards
    };
    const Case cases[] = {
        { "fcw", "off", { { 90, 0 } }, "off" },
        { "fcw-speed-kmh", "90", { { 108, 80 }, { 110, 75 } }, "80" },
        { "camera-height-m", "1.25", { { 14, 130 } }, "1.3" },
        { "vehicle-type", "suv", { { 12, 1 }, { 14, 150 }, { 16, 190 } }, "suv" },
        { "impact-level", "2", { { 128, 2 }, { 120, 90 }, { 124, 90 } }, "insensitive" },
        { "impact-x", "75", { { 120, 80 } }, "80" },
        { "speaker", "20", { { 152, 15 } }, "15" },
        { "language", "2", { { 146, 2 }, { 148, 2 } }, "2" },
        { "voltage", "12.3v", { { 160, 8 } }, "12.3v" },
        { "gmt", "9", { { 166, 9 } }, "9:00" },
        { "speaker", "", {}, nullptr },
        { "fcw", "maybe", {}, nullptr },
        { "warning-level", "7", {}, nullptr },
        { "impact-y", "200", {}, nullptr },
        { "nothing", "1", {}, nullptr },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        SettingsRecord record = DefaultSettingsRecord(1);
        const SettingsRecord before = record;
        const std::string refusal = WriteField(record, c.name, c.value);
        if (c.words.empty()) {
            EXPECT_FALSE(refusal.empty());
            EXPECT_EQ(record, before);
            continue;
        }
        EXPECT_EQ(refusal, "");
        for (const auto& [offset, value] : c.words)
            EXPECT_EQ(SettingsWord(record, offset), value) << "word " << offset;
        EXPECT_EQ(ReadField(record, c.name), c.shown);
    }
}

std::string RunCard(const std::string& arguments, int& status)
{
    const std::string command
        = std::string(VELOMIRA_CARD_PROGRAM) + " " + arguments + " 2>/dev/null";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    std::size_t count = 0;
    while (pipe != nullptr && (count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), count);
    const int result = pipe == nullptr ? -1 : ::pclose(pipe);
    status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return out;
}

TEST(CardSettingsByName, GetAndSetMixWithOffsets)
{
    test::TempDir card("velomira-fields");
    const SettingsRecord record = DefaultSettingsRecord(2);
    {
        std::ofstream out(card / "data_setup.cfg", std::ios::binary);
        out.write(reinterpret_cast<const char*>(record.data()), record.size());
    }
    const std::string root = "'" + card.Path().string() + "'";
    int status = -1;
    EXPECT_EQ(
        RunCard("settings set " + root + " fcw-speed-kmh=90 4=7 ldw=off", status), "written\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(RunCard("settings get " + root + " fcw-speed-kmh", status), "80\n");
    EXPECT_NE(RunCard("settings get " + root, status).find("ldw=off\n"), std::string::npos);
    RunCard("settings set " + root + " speaker=loud", status);
    EXPECT_EQ(status, 2);
    RunCard("settings get " + root + " nothing", status);
    EXPECT_EQ(status, 2);

    std::ifstream in(card / "data_setup.cfg", std::ios::binary);
    const std::vector<std::uint8_t> saved { std::istreambuf_iterator<char>(in), {} };
    EXPECT_TRUE(IsSettingsRecordValid(saved));
    EXPECT_EQ(SettingsWord(saved, 110), 75);
    EXPECT_EQ(SettingsWord(saved, 4), 7);
    EXPECT_EQ(SettingsWord(saved, 152), SettingsWord(record, 152));
}

} // namespace
} // namespace velomira
