#pragma once

#include <span>
#include <string_view>

namespace velomira {

// The five tabs of the settings window, in tab order.
enum class PageKind { DrivingAssistance, Recorder, System, Install, Gmt };
inline constexpr int kSetupTabs = 5;

enum class ControlKind {
    CheckBox,
    Radio,
    Edit,
    Slider, // a G-sensor slider; `partner` is its read-only field
    Field, // a read-only field showing a word divided by 100
    DropDown,
};

// What a control writes into the record when the user changes it.
enum class StoreRule {
    Flag, // check box: toggles by the page kind's check rule
    Value, // radio: the button's value
    ImpactPreset, // radio: the value, and 50, 70 or 90 into words 120, 122 and 124
    VehicleType, // radio: the value, and the type's preset height and width
    LanguagePair, // radio: the value into words 146 and 148
    Whole, // edit: the number
    WholeMinusFive, // edit: the number, and the number - 5 into the next word
    WholeWrittenBack, // edit: the number limited, the limited value shown in the field
    Metres, // edit: trunc(m x 100)
    MetresRounded, // edit: trunc((m x 100 + 5) / 10) x 10
    Centimetres, // edit: trunc(cm x 10)
    SliderRound, // slider: trunc((position + 5) / 10) x 10 on release
    Index, // drop-down list: the selected index
    None, // read-only
};

// Which texts a drop-down list holds.
enum class ListTexts { None, Voltage, Gmt };

// A titled frame of a page; frames without a caption draw no title. `column` places it
// in the page's two-column layout.
struct GroupPlan {
    std::string_view caption;
    int column = 0;
    bool hidden = false;
};

// One control of a page. Controls of the same group and line sit on one row, after the
// row's `label` (given on its first control) and before its `unit` (given on its last).
struct ControlPlan {
    int id = 0;
    ControlKind kind = ControlKind::CheckBox;
    std::string_view caption;
    int word = -1; // byte offset in the settings record
    int value = 0; // a radio button's value
    StoreRule rule = StoreRule::None;
    int low = 1; // limits applied before storing; none when low > high
    int high = 0;
    bool hidden = false;
    int group = 0;
    int line = 0;
    std::string_view label;
    std::string_view unit;
    std::string_view name; // the field's name for scripts, the same in every language
    int partner = 0; // a slider's read-only field
    ListTexts list = ListTexts::None;
};

struct PageTable {
    PageKind kind;
    int language; // 0 Japanese, 1 English, 2 Korean; -1 for the page shared by all
    int templateId;
    std::string_view className;
    std::span<const GroupPlan> groups;
    std::span<const ControlPlan> controls;
};

// The language whose pages and tabs the window shows for the viewer's `language`: the
// device's Chinese, Spanish and Russian settings (3, 4, 5) get the English ones, as they
// get the English texts everywhere; any other value outside 0..2 gets none (-1).
int EditorLanguage(int language);

// The page of `kind` in `language` (the GMT page for any language); null for a language
// other than 0, 1 and 2.
const PageTable* FindPageTable(PageKind kind, int language);
// All thirteen pages: the three language variants of tabs 0 to 3, then the GMT page.
std::span<const PageTable> AllPageTables();

// The captions of the five tabs in `language`; empty for any other language.
std::span<const std::string_view> TabCaptions(int language);

// Check boxes of the driving-assistance page are checked when their word is not 0; those
// of the other pages only when it is exactly 1.
bool CheckedByNonZero(PageKind kind);

// The preset camera height and vehicle width, in metres, of a vehicle type value.
struct VehiclePreset {
    int type;
    double heightM;
    double widthM;
};
std::span<const VehiclePreset> VehiclePresets();

} // namespace velomira
