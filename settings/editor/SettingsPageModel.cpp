#include "settings/editor/SettingsPageModel.h"

#include <algorithm>
#include <array>

#include "settings/editor/FieldRules.h"

namespace velomira {
namespace {

constexpr int kSliderLow = 10;
constexpr int kSliderHigh = 190;
constexpr std::array<int, 3> kImpactWords { 120, 122, 124 };

bool HasLimits(const ControlSpec& spec)
{
    return spec.low <= spec.high;
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

const ControlSpec* SettingsPageModel::Spec(int id) const
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
        const ControlSpec& spec = m_table.controls[i];
        const std::uint16_t word = Word(spec.word);
        if (spec.kind == ControlKind::CheckBox)
            m_states[i].checked = nonZero ? word != 0 : word == 1;
        else if (spec.kind == ControlKind::Radio)
            m_states[i].checked = word == spec.value;
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
        const ControlSpec& spec = m_table.controls[i];
        if (spec.word != offset)
            continue;
        const std::uint16_t word = Word(offset);
        ControlState& state = m_states[i];
        switch (spec.kind) {
        case ControlKind::Edit:
            if (spec.rule == StoreRule::Metres || spec.rule == StoreRule::MetresRounded)
                m_numbers[i] = word / 100.0;
            else if (spec.rule == StoreRule::Centimetres)
                m_numbers[i] = word / 10.0;
            else
                m_numbers[i] = word;
            state.text = IsDecimal(spec.rule) ? FormatDecimalNumber(m_numbers[i])
                                              : FormatWholeNumber(word);
            break;
        case ControlKind::Slider:
            state.position = std::clamp(static_cast<int>(word), kSliderLow, kSliderHigh);
            break;
        case ControlKind::Field:
            state.text = FormatDecimalNumber(word / 100.0);
            break;
        case ControlKind::DropDown:
            state.index = word < ListCount(spec.list) ? word : -1;
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
    for (const ControlSpec& spec : m_table.controls) {
        if (spec.kind != ControlKind::CheckBox && spec.kind != ControlKind::Radio)
            ShowWordInControls(spec.word);
    }
}

void SettingsPageModel::StoreRadio(const ControlSpec& spec)
{
    SetWord(spec.word, LowWord(spec.value));
    switch (spec.rule) {
    case StoreRule::ImpactPreset:
        for (const int word : kImpactWords) {
            SetWord(word, LowWord(50 + 20 * static_cast<long long>(spec.value)));
            ShowWordInControls(word);
        }
        break;
    case StoreRule::VehicleType:
        for (const VehiclePreset& preset : VehiclePresets()) {
            if (preset.type != spec.value)
                continue;
            SetWord(14, TruncatedLowWord(preset.heightM * 100));
            SetWord(16, TruncatedLowWord(preset.widthM * 100));
            for (std::size_t i = 0; i < m_table.controls.size(); ++i) {
                const ControlSpec& edit = m_table.controls[i];
                if (edit.kind != ControlKind::Edit || (edit.word != 14 && edit.word != 16))
                    continue;
                m_numbers[i] = edit.word == 14 ? preset.heightM : preset.widthM;
                m_states[i].text = FormatDecimalNumber(m_numbers[i]);
            }
        }
        break;
    case StoreRule::LanguagePair:
        SetWord(148, LowWord(spec.value));
        break;
    default:
        break;
    }
}

bool SettingsPageModel::Click(int id)
{
    const ControlSpec* spec = Spec(id);
    if (spec == nullptr || m_record == nullptr)
        return false;
    if (spec->kind == ControlKind::CheckBox) {
        const std::uint16_t word = Word(spec->word);
        const bool set = CheckedByNonZero(m_table.kind) ? word == 0 : word != 1;
        SetWord(spec->word, set ? 1 : 0);
    } else if (spec->kind == ControlKind::Radio) {
        StoreRadio(*spec);
    } else {
        return false;
    }
    ShowChecks();
    return true;
}

void SettingsPageModel::StoreEdit(std::size_t index)
{
    const ControlSpec& spec = m_table.controls[index];
    double number = m_numbers[index];
    if (HasLimits(spec))
        number = ClampDecimal(number, spec.low, spec.high);
    switch (spec.rule) {
    case StoreRule::Whole:
        SetWord(spec.word, LowWord(static_cast<long long>(number)));
        break;
    case StoreRule::WholeMinusFive: {
        const std::uint16_t word = LowWord(static_cast<long long>(number));
        SetWord(spec.word, word);
        SetWord(spec.word + 2, MinusFive(word));
        break;
    }
    case StoreRule::WholeWrittenBack:
        m_numbers[index] = number;
        m_states[index].text = FormatWholeNumber(static_cast<long long>(number));
        SetWord(spec.word, LowWord(static_cast<long long>(number)));
        break;
    case StoreRule::Metres:
        SetWord(spec.word, MetresToWord(number));
        break;
    case StoreRule::MetresRounded:
        SetWord(spec.word, MetresToRoundedWord(number));
        break;
    case StoreRule::Centimetres:
        SetWord(spec.word, CentimetresToWord(number));
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
        const ControlSpec& spec = m_table.controls[i];
        if (spec.kind != ControlKind::Edit)
            continue;
        if (IsDecimal(spec.rule)) {
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
    const ControlSpec& spec = m_table.controls[static_cast<std::size_t>(index)];
    if (spec.kind != ControlKind::Slider)
        return;
    position = std::clamp(position, kSliderLow, kSliderHigh);
    SetWord(spec.word, SliderReleaseWord(position));
    ShowWordInControls(spec.word);
    // The slider stays where it was let go.
    m_states[static_cast<std::size_t>(index)].position = position;
}

void SettingsPageModel::Select(int id, int index)
{
    const int row = IndexOf(id);
    if (row < 0 || m_record == nullptr)
        return;
    const ControlSpec& spec = m_table.controls[static_cast<std::size_t>(row)];
    if (spec.kind != ControlKind::DropDown || index < 0 || index >= ListCount(spec.list))
        return;
    SetWord(spec.word, LowWord(index));
    m_states[static_cast<std::size_t>(row)].index = index;
}

} // namespace velomira
