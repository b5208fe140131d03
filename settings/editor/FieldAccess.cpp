#include "settings/editor/FieldAccess.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "settings/editor/FieldRules.h"
#include "settings/editor/PageTables.h"
#include "settings/editor/SettingsPageModel.h"

namespace velomira {
namespace {

// The pages in the order they serve names: English first (its captions name the values),
// then Korean and Japanese for the fields the English page keeps hidden, then GMT.
std::vector<const PageTable*> ServingPages(PageKind kind)
{
    if (kind == PageKind::Gmt)
        return { FindPageTable(kind, 1) };
    return { FindPageTable(kind, 1), FindPageTable(kind, 2), FindPageTable(kind, 0) };
}

constexpr PageKind kKinds[] = { PageKind::DrivingAssistance, PageKind::Recorder, PageKind::System,
    PageKind::Install, PageKind::Gmt };

std::string Slug(std::string_view caption)
{
    std::string slug;
    for (const char c : caption)
        slug += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return slug;
}

// The visible controls of `page` named `name`.
std::vector<const ControlPlan*> Named(const PageTable& page, std::string_view name)
{
    std::vector<const ControlPlan*> found;
    for (const ControlPlan& plan : page.controls) {
        if (plan.name == name && !plan.hidden)
            found.push_back(&plan);
    }
    return found;
}

std::string Show(const SettingsPageModel& page, const std::vector<const ControlPlan*>& controls)
{
    const ControlPlan& first = *controls.front();
    const ControlState& state = *page.State(first.id);
    switch (first.kind) {
    case ControlKind::CheckBox:
        return state.checked ? "on" : "off";
    case ControlKind::Radio:
        // Values are named by the English captions; other pages' values show as numbers.
        for (const ControlPlan* button : controls) {
            if (page.table().language == 1 && page.State(button->id)->checked)
                return Slug(button->caption);
        }
        return FormatWholeNumber(SettingsWord(*page.record(), first.word).value_or(0));
    case ControlKind::Edit:
        return state.text;
    case ControlKind::Slider:
        return FormatWholeNumber(SettingsWord(*page.record(), first.word).value_or(0));
    case ControlKind::DropDown:
        if (state.index >= 0)
            return SettingsPageModel::ListText(first.list, state.index);
        return FormatWholeNumber(SettingsWord(*page.record(), first.word).value_or(0));
    case ControlKind::Field:
        break;
    }
    return {};
}

// Applies `value` through the page; an empty result on success.
std::string Apply(SettingsPageModel& page, const std::vector<const ControlPlan*>& controls,
    std::string_view value)
{
    const ControlPlan& first = *controls.front();
    switch (first.kind) {
    case ControlKind::CheckBox: {
        if (value != "on" && value != "off")
            return "takes on or off";
        if (page.State(first.id)->checked != (value == "on"))
            page.Click(first.id);
        return {};
    }
    case ControlKind::Radio: {
        const auto number = ParseWholeNumber(value);
        for (const ControlPlan* button : controls) {
            if ((number && *number == button->value) || Slug(button->caption) == value) {
                page.Click(button->id);
                return {};
            }
        }
        return "is not one of its values";
    }
    case ControlKind::Edit:
        if (const auto message = page.EditChanged(first.id, value)) {
            return *message == NumberMessage::WholeNumber ? "takes a whole number"
                                                          : "takes a number";
        }
        return {};
    case ControlKind::Slider: {
        const auto number = ParseWholeNumber(value);
        if (!number || *number < 10 || *number > 190)
            return "takes a position from 10 to 190";
        page.SliderReleased(first.id, *number);
        return {};
    }
    case ControlKind::DropDown: {
        const int count = SettingsPageModel::ListCount(first.list);
        for (int i = 0; i < count; ++i) {
            if (SettingsPageModel::ListText(first.list, i) == value) {
                page.Select(first.id, i);
                return {};
            }
        }
        const auto number = ParseWholeNumber(value);
        if (!number || *number < 0 || *number >= count)
            return "is not one of its entries";
        page.Select(first.id, *number);
        return {};
    }
    case ControlKind::Field:
        break;
    }
    return "cannot be set";
}

} // namespace

std::vector<NamedField> ReadFields(const SettingsRecord& record)
{
    SettingsRecord copy = record;
    std::vector<NamedField> fields;
    std::set<std::string_view> seen;
    for (const PageKind kind : kKinds) {
        for (const PageTable* table : ServingPages(kind)) {
            SettingsPageModel page(*table);
            page.LoadFromRecord(copy);
            for (const ControlPlan& plan : table->controls) {
                if (plan.name.empty() || plan.hidden || seen.count(plan.name))
                    continue;
                seen.insert(plan.name);
                fields.push_back({ std::string(plan.name), Show(page, Named(*table, plan.name)) });
            }
        }
    }
    return fields;
}

std::optional<std::string> ReadField(const SettingsRecord& record, std::string_view name)
{
    for (const NamedField& field : ReadFields(record)) {
        if (field.name == name)
            return field.value;
    }
    return std::nullopt;
}

std::string WriteField(SettingsRecord& record, std::string_view name, std::string_view value)
{
    std::string refusal;
    for (const PageKind kind : kKinds) {
        for (const PageTable* table : ServingPages(kind)) {
            const auto controls = Named(*table, name);
            if (controls.empty())
                continue;
            SettingsRecord edited = record;
            SettingsPageModel page(*table);
            page.LoadFromRecord(edited);
            const std::string result = Apply(page, controls, value);
            if (result.empty()) {
                record = edited;
                return {};
            }
            // A value that one language's page does not offer may be offered by another
            // (the Korean language button is on the Korean page only).
            if (refusal.empty())
                refusal = std::string(name) + " " + result;
        }
    }
    return refusal.empty() ? "no field named " + std::string(name) : refusal;
}

} // namespace velomira
