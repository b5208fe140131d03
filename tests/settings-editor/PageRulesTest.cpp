#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "settings/SettingsRecord.h"
#include "settings/editor/FieldRules.h"
#include "settings/editor/PageTables.h"
#include "settings/editor/SettingsPageModel.h"

namespace velomira {
namespace {

std::uint16_t W(const SettingsRecord& r, int offset)
{
    return static_cast<std::uint16_t>(r[offset] | (r[offset + 1] << 8));
}
void SetW(SettingsRecord& r, int offset, int value)
{
    r[offset] = static_cast<std::uint8_t>(value & 0xFF);
    r[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
std::set<int> ChangedWords(const SettingsRecord& before, const SettingsRecord& after)
{
    std::set<int> words;
    for (int offset = 4; offset < 200; offset += 2) {
        if (W(before, offset) != W(after, offset))
            words.insert(offset);
    }
    return words;
}

TEST(FieldNumbers, WholeAndDecimalTextsAreReadOrRefused)
{
    struct Case {
        const char* text;
        std::optional<int> whole;
        std::optional<double> decimal;
    };
    const Case cases[] = {
        { "90", 90, 90.0 },
        { " -3 ", -3, -3.0 },
        { "+7", 7, 7.0 },
        { "1.25", std::nullopt, 1.25 },
        { "", std::nullopt, std::nullopt },
        { "  ", std::nullopt, std::nullopt },
        { "12abc", std::nullopt, std::nullopt },
        { "1,5", std::nullopt, std::nullopt },
        { "inf", std::nullopt, std::nullopt },
        { "nan", std::nullopt, std::nullopt },
        { "0x10", std::nullopt, std::nullopt },
        { "99999999999", std::nullopt, 99999999999.0 },
        { "1e400", std::nullopt, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseWholeNumber(c.text), c.whole);
        EXPECT_EQ(ParseDecimalNumber(c.text), c.decimal);
    }
}

TEST(FieldNumbers, RoundingsWordsAndTextsAreSafeForAnyValue)
{
    EXPECT_EQ(FormatDecimalNumber(1.3), "1.3");
    EXPECT_EQ(FormatDecimalNumber(70 / 100.0), "0.7");
    EXPECT_EQ(FormatDecimalNumber(15), "15");
    EXPECT_EQ(LowWord(-1), 65535);
    EXPECT_EQ(LowWord(70000), 70000 - 65536);
    EXPECT_EQ(MinusFive(3), 65534);
    EXPECT_EQ(TruncatedLowWord(1e300), 0);
    EXPECT_EQ(TruncatedLowWord(-1.5), 65535);
    EXPECT_EQ(MetresToWord(1.25), 125);
    EXPECT_EQ(MetresToRoundedWord(1.25), 130);
    EXPECT_EQ(MetresToRoundedWord(1.24), 120);
    EXPECT_EQ(CentimetresToWord(2.5), 25);
    EXPECT_EQ(SliderReleaseWord(73), 70);
    EXPECT_EQ(SliderReleaseWord(75), 80);
    EXPECT_EQ(VoltageText(0), "11.5v");
    EXPECT_EQ(VoltageText(kVoltageEntries - 1), "13.5v");
    EXPECT_EQ(GmtText(23), "23:00");
}

// Every control of every page shows its own word and writes only the words its rule names.
TEST(PageTables, EveryControlLoadsFromAndStoresToItsWords)
{
    ASSERT_EQ(AllPageTables().size(), 13u);
    for (const PageTable& table : AllPageTables()) {
        SCOPED_TRACE(std::string(table.className));
        std::set<int> ids;
        for (const ControlPlan& plan : table.controls) {
            SCOPED_TRACE(plan.id);
            EXPECT_TRUE(ids.insert(plan.id).second) << "id used twice";
            SettingsRecord record {};
            SetW(record, 146, 1);
            SettingsPageModel page(table);
            std::set<int> expected { plan.word };
            switch (plan.kind) {
            case ControlKind::CheckBox: {
                page.LoadFromRecord(record);
                EXPECT_FALSE(page.State(plan.id)->checked);
                const SettingsRecord before = record;
                ASSERT_TRUE(page.Click(plan.id));
                EXPECT_EQ(W(record, plan.word), 1);
                EXPECT_TRUE(page.State(plan.id)->checked);
                EXPECT_EQ(ChangedWords(before, record), expected);
                break;
            }
            case ControlKind::Radio: {
                SetW(record, plan.word, plan.value);
                page.LoadFromRecord(record);
                EXPECT_TRUE(page.State(plan.id)->checked);
                SetW(record, plan.word, 77);
                if (plan.word == 146)
                    SetW(record, 148, 77);
                const SettingsRecord before = record;
                ASSERT_TRUE(page.Click(plan.id));
                EXPECT_EQ(W(record, plan.word), plan.value);
                if (plan.rule == StoreRule::LanguagePair)
                    expected.insert(148);
                if (plan.rule == StoreRule::ImpactPreset)
                    expected.insert({ 120, 122, 124 });
                if (plan.rule == StoreRule::VehicleType)
                    expected.insert({ 14, 16 });
                EXPECT_EQ(ChangedWords(before, record), expected);
                break;
            }
            case ControlKind::Edit: {
                const bool decimal = SettingsPageModel::IsDecimal(plan.rule);
                SetW(record, plan.word, plan.rule == StoreRule::Centimetres ? 20 : 200);
                page.LoadFromRecord(record);
                EXPECT_EQ(page.State(plan.id)->text, decimal ? "2" : "200");
                const SettingsRecord before = record;
                EXPECT_FALSE(page.EditChanged(plan.id, "1"));
                if (plan.rule == StoreRule::WholeMinusFive)
                    expected.insert(plan.word + 2);
                EXPECT_EQ(ChangedWords(before, record), expected);
                break;
            }
            case ControlKind::Slider: {
                SetW(record, plan.word, 130);
                page.LoadFromRecord(record);
                EXPECT_EQ(page.State(plan.id)->position, 130);
                EXPECT_EQ(page.State(plan.partner)->text, "1.3");
                const SettingsRecord before = record;
                page.SliderReleased(plan.id, 42);
                EXPECT_EQ(ChangedWords(before, record), expected);
                break;
            }
            case ControlKind::Field:
                EXPECT_EQ(plan.rule, StoreRule::None);
                break;
            case ControlKind::DropDown: {
                SetW(record, plan.word, 3);
                page.LoadFromRecord(record);
                EXPECT_EQ(page.State(plan.id)->index, 3);
                const SettingsRecord before = record;
                page.Select(plan.id, 5);
                EXPECT_EQ(W(record, plan.word), 5);
                EXPECT_EQ(ChangedWords(before, record), expected);
                break;
            }
            }
        }
    }
}

// The three variants of a page edit the same words under the same names with the same
// values, so scripts and users see one page in three languages.
TEST(PageTables, LanguageVariantsEditTheSameWordsWithTheSameValues)
{
    for (const PageKind kind :
        { PageKind::DrivingAssistance, PageKind::Recorder, PageKind::System, PageKind::Install }) {
        const PageTable* korean = FindPageTable(kind, 2);
        ASSERT_NE(korean, nullptr);
        std::set<std::tuple<std::string, int, int>> koreanRadios;
        for (const ControlPlan& c : korean->controls) {
            if (c.kind == ControlKind::Radio && !c.hidden)
                koreanRadios.insert({ std::string(c.name), c.word, c.value });
        }
        for (const int language : { 0, 1 }) {
            const PageTable* other = FindPageTable(kind, language);
            ASSERT_NE(other, nullptr);
            EXPECT_EQ(other->language, language);
            for (const ControlPlan& c : other->controls) {
                if (c.kind != ControlKind::Radio || c.hidden || c.word == 146)
                    continue;
                EXPECT_TRUE(koreanRadios.count({ std::string(c.name), c.word, c.value }))
                    << other->className << " " << c.id;
            }
        }
    }
    EXPECT_EQ(FindPageTable(PageKind::Gmt, 0), FindPageTable(PageKind::Gmt, 2));
    EXPECT_EQ(FindPageTable(PageKind::System, 3), nullptr);
    EXPECT_TRUE(TabCaptions(5).empty());
    EXPECT_EQ(TabCaptions(1)[2], "Setup");
}

enum class Act { Edit, Click, Release, Select };
struct Example {
    const char* name;
    PageKind kind;
    int language;
    Act act;
    int id;
    std::string text; // typed text, or the slider position / list index
    std::vector<std::pair<int, int>> words; // expected words after the action
    std::vector<std::pair<int, std::string>> shown; // expected field texts
    int position = -1; // expected slider position of control `id`
};

TEST(PageRules, WorkedExamples)
{
    const Example examples[] = {
        { "korean height keeps hundredths", PageKind::Install, 2, Act::Edit, 1268, "1.25",
            { { 14, 125 } }, { { 1268, "1.25" } } },
        { "english height rounds to tenths", PageKind::Install, 1, Act::Edit, 1268, "1.25",
            { { 14, 130 } }, {} },
        { "english height limited to 3 m", PageKind::Install, 1, Act::Edit, 1279, "3.4",
            { { 16, 300 } }, { { 1279, "3.4" } } },
        { "japanese height limited to 1 m", PageKind::Install, 0, Act::Edit, 1399, "0.2",
            { { 14, 100 } }, {} },
        { "centimetres in tenths", PageKind::Install, 2, Act::Edit, 1230, "45.67", { { 10, 456 } },
            {} },
        { "english centimetres limited", PageKind::Install, 1, Act::Edit, 1280, "45",
            { { 10, 300 } }, {} },
        { "suv preset", PageKind::Install, 1, Act::Click, 1272, "",
            { { 12, 1 }, { 14, 150 }, { 16, 190 } }, { { 1268, "1.5" }, { 1279, "1.9" } } },
        { "truck preset korean", PageKind::Install, 2, Act::Click, 1224, "",
            { { 12, 5 }, { 14, 250 }, { 16, 250 } }, { { 1268, "2.5" }, { 1229, "2.5" } } },
        { "slider 73 stores 70", PageKind::Recorder, 1, Act::Release, 1410, "73", { { 120, 70 } },
            { { 1096, "0.7" } }, 73 },
        { "slider 75 stores 80", PageKind::Recorder, 0, Act::Release, 1114, "75", { { 124, 80 } },
            { { 1099, "0.8" } }, 75 },
        { "normal impact level", PageKind::Recorder, 1, Act::Click, 1298, "",
            { { 128, 1 }, { 120, 70 }, { 122, 70 }, { 124, 70 } },
            { { 1096, "0.7" }, { 1097, "0.7" }, { 1099, "0.7" } } },
        { "korean impact level has no preset", PageKind::Recorder, 2, Act::Click, 1243, "",
            { { 128, 2 }, { 120, 0 } }, {} },
        { "speaker limited and written back", PageKind::System, 1, Act::Edit, 1303, "20",
            { { 152, 15 } }, { { 1303, "15" } } },
        { "negative mic limited to 0", PageKind::System, 2, Act::Edit, 1097, "-4", { { 154, 0 } },
            { { 1097, "0" } } },
        { "english speed 90 stores 80 and 75", PageKind::DrivingAssistance, 1, Act::Edit, 1284,
            "90", { { 108, 80 }, { 110, 75 } }, { { 1284, "90" } } },
        { "korean speed unlimited", PageKind::DrivingAssistance, 2, Act::Edit, 1234, "90",
            { { 108, 90 }, { 110, 85 } }, {} },
        { "minus five wraps", PageKind::DrivingAssistance, 2, Act::Edit, 1238, "3",
            { { 50, 3 }, { 52, 65534 } }, {} },
        { "negative number keeps low bits", PageKind::DrivingAssistance, 2, Act::Edit, 1098, "-1",
            { { 54, 65535 } }, {} },
        { "japanese warning level limited", PageKind::DrivingAssistance, 0, Act::Edit, 1389, "12",
            { { 56, 9 } }, { { 1389, "12" } } },
        { "english language into both words", PageKind::System, 2, Act::Click, 1213, "",
            { { 146, 1 }, { 148, 1 } }, {} },
        { "voltage entry", PageKind::Recorder, 2, Act::Select, 1339, "20", { { 160, 20 } }, {} },
        { "gmt entry", PageKind::Gmt, 1, Act::Select, 1335, "9", { { 166, 9 } }, {} },
    };
    for (const Example& e : examples) {
        SCOPED_TRACE(e.name);
        SettingsRecord record {};
        SettingsPageModel page(*FindPageTable(e.kind, e.language));
        page.LoadFromRecord(record);
        switch (e.act) {
        case Act::Edit:
            EXPECT_FALSE(page.EditChanged(e.id, e.text));
            break;
        case Act::Click:
            EXPECT_TRUE(page.Click(e.id));
            EXPECT_TRUE(page.State(e.id)->checked);
            break;
        case Act::Release:
            page.SliderReleased(e.id, std::stoi(e.text));
            break;
        case Act::Select:
            page.Select(e.id, std::stoi(e.text));
            EXPECT_EQ(page.State(e.id)->index, std::stoi(e.text));
            break;
        }
        for (const auto& [offset, value] : e.words)
            EXPECT_EQ(W(record, offset), value) << "word " << offset;
        for (const auto& [id, text] : e.shown)
            EXPECT_EQ(page.State(id)->text, text) << "field " << id;
        if (e.position >= 0) {
            EXPECT_EQ(page.State(e.id)->position, e.position);
        }
    }
}

TEST(PageRules, FieldWithoutNumberShowsItsKindAndKeepsWordsFromThereOn)
{
    SettingsRecord record {};
    SetW(record, 14, 150);
    SetW(record, 16, 190);
    SetW(record, 10, 20);
    SettingsPageModel install(*FindPageTable(PageKind::Install, 2));
    install.LoadFromRecord(record);
    EXPECT_EQ(install.EditChanged(1268, ""), NumberMessage::DecimalNumber);
    EXPECT_EQ(W(record, 14), 150);
    // The emptied first field stops the reading: the width typed next is not read either,
    // and its handler stores the number it had.
    EXPECT_EQ(install.EditChanged(1229, "2.2"), NumberMessage::DecimalNumber);
    EXPECT_EQ(W(record, 16), 190);
    EXPECT_FALSE(install.EditChanged(1268, "1.7"));
    EXPECT_EQ(install.EditChanged(1229, "2.2"), std::nullopt);
    EXPECT_EQ(W(record, 16), 220);

    SettingsPageModel assist(*FindPageTable(PageKind::DrivingAssistance, 1));
    SetW(record, 108, 60);
    SetW(record, 110, 55);
    assist.LoadFromRecord(record);
    EXPECT_EQ(assist.EditChanged(1284, "6x"), NumberMessage::WholeNumber);
    EXPECT_EQ(W(record, 108), 60);
    EXPECT_EQ(W(record, 110), 55);
}

TEST(PageRules, CheckBoxRulesDifferByPageKind)
{
    struct Case {
        PageKind kind;
        int language;
        int id;
        int word;
        bool shownChecked; // with 2 in the word
        int afterClick;
    };
    const Case cases[] = {
        { PageKind::DrivingAssistance, 2, 1231, 90, true, 0 },
        { PageKind::DrivingAssistance, 0, 1382, 58, true, 0 },
        { PageKind::Recorder, 1, 1291, 116, false, 1 },
        { PageKind::System, 0, 1353, 144, false, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        SettingsRecord record {};
        SetW(record, c.word, 2);
        SettingsPageModel page(*FindPageTable(c.kind, c.language));
        page.LoadFromRecord(record);
        EXPECT_EQ(page.State(c.id)->checked, c.shownChecked);
        page.Click(c.id);
        EXPECT_EQ(W(record, c.word), c.afterClick);
        EXPECT_EQ(page.State(c.id)->checked, c.afterClick != 0);
    }
}

TEST(PageRules, StoredValuesWithoutAButtonCheckNoneButTheInstallPageChecksItsFirst)
{
    SettingsRecord record {};
    SetW(record, 12, 9);
    SetW(record, 114, 9);
    SetW(record, 166, 40);
    SettingsPageModel install(*FindPageTable(PageKind::Install, 1));
    install.LoadFromRecord(record);
    EXPECT_TRUE(install.State(1259)->checked);
    EXPECT_FALSE(install.State(1272)->checked);
    SettingsPageModel assist(*FindPageTable(PageKind::DrivingAssistance, 1));
    assist.LoadFromRecord(record);
    for (const int id : { 1288, 1289, 1290 })
        EXPECT_FALSE(assist.State(id)->checked);
    SettingsPageModel gmt(*FindPageTable(PageKind::Gmt, 1));
    gmt.LoadFromRecord(record);
    EXPECT_EQ(gmt.State(1335)->index, -1);
    EXPECT_EQ(W(record, 12), 9);
}

} // namespace
} // namespace velomira
