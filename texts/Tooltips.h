#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velomira {

// One main-window control with a tooltip, in registration order.
struct TooltipRow {
    int controlId;
    std::string_view caption; // the control's template caption (may be empty)
    std::string_view english;
    std::string_view korean;
    std::string_view japanese;
};

std::span<const TooltipRow> TooltipTable();

// The tooltip of `controlId` for `language` (three-way); nothing for a control without a
// tooltip or a language outside 0..2.
std::optional<std::string> TooltipText(int controlId, int language);

// Which tooltips to register when `language` may have changed. `lastTooltipLanguage`
// (starting at -1) remembers the language registered last, also one outside 0..2.
struct TooltipRegistration {
    bool changed = false; // false: nothing to do
    std::vector<std::pair<int, std::string>> tips; // (control id, text), in table order
};
TooltipRegistration TooltipsToRegister(int language, int& lastTooltipLanguage);

} // namespace velomira
