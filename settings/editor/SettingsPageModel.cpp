#include "settings/editor/SettingsPageModel.h"

#include <algorithm>
#include <array>

#include "settings/editor/FieldRules.h"

namespace velomira {
namespace {

constexpr int kSliderLow = 10;
constexpr int kSliderHigh = 190;
constexpr std::array<int, 3> kImpactWords { 120, 122, 124 };

bool HasLimits(const ControlPlan& plan)
{
    return plan.low <= plan.high;
}

} // namespace

SettingsPageModel::SettingsPageModel(const PageTable& table)
    : m_table(table)
    , m_states(table.controls.size())
    , m_numbers(table.controls.size(), 0.0)
{ }

bool SettingsPageModel::IsDecimal(StoreRule rule)
{
    return rule == StoreRule::Metres || rule == StoreRule::MetresRounded
        || rule == StoreRule::Centimetres;
}

int SettingsPageModel::ListCount(ListTexts texts)
{
    switch (texts) {
    case ListTexts::Voltage:
        return kVoltageEntries;
    case ListTexts::Gmt:
        return kGmtEntries;
    case ListTexts::None:
        break;
    }
    return 0;
}

std::string SettingsPageModel::ListText(ListTexts texts, int index)
{
    if (index < 0 || index >= ListCount(texts))
        return {};
    return texts == ListTexts::Voltage ? VoltageText(index) : GmtText(index);
}

int SettingsPageModel::IndexOf(int id) const
{
    for (std::size_t i = 0; i < m_table.controls.size(); ++i) {
        if (m_table.controls[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

const ControlState* SettingsPageModel::State(int id) const
{
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &m_states[static_cast<std::size_t>(index)];
}

const ControlPlan* SettingsPageModel::Plan(int id) const
{
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &m_table.controls[static_cast<std::size_t>(index)];
}

std::uint16_t SettingsPageModel::Word(int offset) const
{
    if (m_record == nullptr || offset < 0)
        return 0;
    return SettingsWord(*m_record, static_cast<std::size_t>(offset)).value_or(0);
}

void SettingsPageModel::SetWord(int offset, std::uint16_t value)
{
    if (m_record != nullptr && offset >= 0)
        SetSettingsWord(*m_record, static_cast<std::size_t>(offset), value);
}

void SettingsPageModel::ShowChecks()
{
    const bool nonZero = CheckedByNonZero(m_table.kind);
    for (std::size_t i = 0; i < m_table.controls.size(); ++i) {
        const ControlPlan& plan = m_table.controls[i];
        const std::uint16_t word = Word(plan.word);
        if (plan.kind == ControlKind::CheckBox)
            m_states[i].checked = nonZero ? word != 0 : word == 1;
        else if (plan.kind == ControlKind::Radio)
            m_states[i].checked = word == plan.value;
    }
    // A vehicle type without a button checks the first type button.
    int firstType = -1;
    bool typeChecked = false;
    for (std::size_t i = 0; i < m_table.controls.size(); ++i) {
        if (m_table.controls[i].rule != StoreRule::VehicleType)
            continue;
        if (firstType < 0)
            firstType = static_cast<int>(i);
        typeChecked = typeChecked || m_states[i].checked;
    }
    if (firstType >= 0 && !typeChecked)
        m_states[static_cast<std::size_t>(firstType)].checked = true;
}

// Shows the word at `offset` in the page's edit fields, sliders, read-only fields and
// lists, as loading the page does.
void SettingsPageModel::ShowWordInControls(int offset)
{
    for (std::size_t i = 0; i < m_table.controls.size(); ++i) {
        const ControlPlan& plan = m_table.controls[i];
        if (plan.word != offset)
            continue;
        const std::uint16_t word = Word(offset);
        ControlState& state = m_states[i];
        switch (plan.kind) {
        case ControlKind::Edit:
            if (plan.rule == StoreRule::Metres || plan.rule == StoreRule::MetresRounded)
                m_numbers[i] = word / 100.0;
            else if (plan.rule == StoreRule::Centimetres)
                m_numbers[i] = word / 10.0;
            else
                m_numbers[i] = word;
            state.text = IsDecimal(plan.rule) ? FormatDecimalNumber(m_numbers[i])
                                              : FormatWholeNumber(word);
            break;
        case ControlKind::Slider:
            state.position = std::clamp(static_cast<int>(word), kSliderLow, kSliderHigh);
            break;
        case ControlKind::Field:
            state.text = FormatDecimalNumber(word / 100.0);
            break;
        case ControlKind::DropDown:
            state.index = word < ListCount(plan.list) ? word : -1;
            break;
        case ControlKind::CheckBox:
        case ControlKind::Radio:
            break;
        }
    }
}

void SettingsPageModel::LoadFromRecord(SettingsRecord& record)
{
    m_record = &record;
    ShowChecks();
    for (const ControlPlan& plan : m_table.controls) {
        if (plan.kind != ControlKind::CheckBox && plan.kind != ControlKind::Radio)
            ShowWordInControls(plan.word);
    }
}

void SettingsPageModel::StoreRadio(const ControlPlan& plan)
{
    SetWord(plan.word, LowWord(plan.value));
    switch (plan.rule) {
    case StoreRule::ImpactPreset:
        for (const int word : kImpactWords) {
            SetWord(word, LowWord(50 + 20 * static_cast<long long>(plan.value)));
            ShowWordInControls(word);
        }
        break;
    case StoreRule::VehicleType:
        for (const VehiclePreset& preset : VehiclePresets()) {
            if (preset.type != plan.value)
                continue;
            SetWord(14, TruncatedLowWord(preset.heightM * 100));
            SetWord(16, TruncatedLowWord(preset.widthM * 100));
            for (std::size_t i = 0; i < m_table.controls.size(); ++i) {
                const ControlPlan& edit = m_table.controls[i];
                if (edit.kind != ControlKind::Edit || (edit.word != 14 && edit.word != 16))
                    continue;
                m_numbers[i] = edit.word == 14 ? preset.heightM : preset.widthM;
                m_states[i].text = FormatDecimalNumber(m_numbers[i]);
            }
        }
        break;
    case StoreRule::LanguagePair:
        SetWord(148, LowWord(plan.value));
        break;
    default:
        break;
    }
}

bool SettingsPageModel::Click(int id)
{
    const ControlPlan* plan = Plan(id);
    if (plan == nullptr || m_record == nullptr)
        return false;
    if (plan->kind == ControlKind::CheckBox) {
        const std::uint16_t word = Word(plan->word);
        const bool set = CheckedByNonZero(m_table.kind) ? word == 0 : word != 1;
        SetWord(plan->word, set ? 1 : 0);
    } else if (plan->kind == ControlKind::Radio) {
        StoreRadio(*plan);
    } else {
        return false;
    }
    ShowChecks();
    return true;
}

void SettingsPageModel::StoreEdit(std::size_t index)
{
    const ControlPlan& plan = m_table.controls[index];
    double number = m_numbers[index];
    if (HasLimits(plan))
        number = ClampDecimal(number, plan.low, plan.high);
    switch (plan.rule) {
    case StoreRule::Whole:
        SetWord(plan.word, LowWord(static_cast<long long>(number)));
        break;
    case StoreRule::WholeMinusFive: {
        const std::uint16_t word = LowWord(static_cast<long long>(number));
        SetWord(plan.word, word);
        SetWord(plan.word + 2, MinusFive(word));
        break;
    }
    case StoreRule::WholeWrittenBack:
        m_numbers[index] = number;
        m_states[index].text = FormatWholeNumber(static_cast<long long>(number));
        SetWord(plan.word, LowWord(static_cast<long long>(number)));
        break;
    case StoreRule::Metres:
        SetWord(plan.word, MetresToWord(number));
        break;
    case StoreRule::MetresRounded:
        SetWord(plan.word, MetresToRoundedWord(number));
        break;
    case StoreRule::Centimetres:
        SetWord(plan.word, CentimetresToWord(number));
        break;
    default:
        break;
    }
}

std::optional<NumberMessage> SettingsPageModel::EditChanged(int id, std::string_view text)
{
    const int changed = IndexOf(id);
    if (changed < 0
        || m_table.controls[static_cast<std::size_t>(changed)].kind != ControlKind::Edit)
        return std::nullopt;
    m_states[static_cast<std::size_t>(changed)].text = std::string(text);
    std::optional<NumberMessage> message;
    for (std::size_t i = 0; i < m_table.controls.size(); ++i) {
        const ControlPlan& plan = m_table.controls[i];
        if (plan.kind != ControlKind::Edit)
            continue;
        if (IsDecimal(plan.rule)) {
            const auto number = ParseDecimalNumber(m_states[i].text);
            if (!number) {
                message = NumberMessage::DecimalNumber;
                break;
            }
            m_numbers[i] = *number;
        } else {
            const auto number = ParseWholeNumber(m_states[i].text);
            if (!number) {
                message = NumberMessage::WholeNumber;
                break;
            }
            m_numbers[i] = *number;
        }
    }
    if (m_record != nullptr)
        StoreEdit(static_cast<std::size_t>(changed));
    return message;
}

void SettingsPageModel::SliderReleased(int id, int position)
{
    const int index = IndexOf(id);
    if (index < 0 || m_record == nullptr)
        return;
    const ControlPlan& plan = m_table.controls[static_cast<std::size_t>(index)];
    if (plan.kind != ControlKind::Slider)
        return;
    position = std::clamp(position, kSliderLow, kSliderHigh);
    SetWord(plan.word, SliderReleaseWord(position));
    ShowWordInControls(plan.word);
    // The slider stays where it was let go.
    m_states[static_cast<std::size_t>(index)].position = position;
}

void SettingsPageModel::Select(int id, int index)
{
    const int row = IndexOf(id);
    if (row < 0 || m_record == nullptr)
        return;
    const ControlPlan& plan = m_table.controls[static_cast<std::size_t>(row)];
    if (plan.kind != ControlKind::DropDown || index < 0 || index >= ListCount(plan.list))
        return;
    SetWord(plan.word, LowWord(index));
    m_states[static_cast<std::size_t>(row)].index = index;
}

} // namespace velomira
