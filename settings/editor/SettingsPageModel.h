#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsRecord.h"
#include "settings/editor/PageTables.h"

namespace velomira {

// The message a page shows when an edit field holds no number.
enum class NumberMessage { WholeNumber, DecimalNumber };

// What one control shows.
struct ControlState {
    bool checked = false; // check boxes and radio buttons
    std::string text; // edit and read-only fields
    int position = 0; // sliders
    int index = -1; // drop-down lists; -1 selects nothing
};

// One settings page without its window: walks the page's table to show the record in its
// controls and writes every user change into the record at once. The record belongs to
// the settings window and must outlive the model's use of it. A page keeps only the
// values of its edit fields (the numbers last read from them) and what its controls show.
class SettingsPageModel {
public:
    explicit SettingsPageModel(const PageTable& table);

    const PageTable& table() const { return m_table; }
    // The record the page was loaded from; null before.
    const SettingsRecord* record() const { return m_record; }

    // Keeps the record and sets every control from it.
    void LoadFromRecord(SettingsRecord& record);

    // A click on a check box or radio button; false for any other id.
    bool Click(int id);
    // The text of edit field `id` became `text`: every edit field of the page is read in
    // table order until one holds no number (whose message is returned; it and the fields
    // after it keep their numbers), then the changed field's number is stored.
    std::optional<NumberMessage> EditChanged(int id, std::string_view text);
    // A slider let go at `position`.
    void SliderReleased(int id, int position);
    // A drop-down list's new selection.
    void Select(int id, int index);

    // What control `id` shows; null for an id the page does not have.
    const ControlState* State(int id) const;
    const ControlPlan* Plan(int id) const;

    // The number of texts of a drop-down list.
    static int ListCount(ListTexts texts);
    static std::string ListText(ListTexts texts, int index);
    static bool IsDecimal(StoreRule rule);

private:
    int IndexOf(int id) const;
    std::uint16_t Word(int offset) const;
    void SetWord(int offset, std::uint16_t value);
    void ShowChecks();
    void ShowWordInControls(int offset);
    void StoreEdit(std::size_t index);
    void StoreRadio(const ControlPlan& plan);

    const PageTable& m_table;
    SettingsRecord* m_record = nullptr;
    std::vector<ControlState> m_states; // one per table row
    std::vector<double> m_numbers; // the edit fields' numbers, one per table row
};

} // namespace velomira
