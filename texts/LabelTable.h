#pragma once

#include <span>
#include <string>

#include "texts/TextCatalogue.h"

namespace velomira {

// One label of a menu or window in the three languages, found by its id.
template <typename Id>
struct LabelRow {
    Id id;
    const char* korean;
    const char* english;
    const char* japanese;
};

// The label `id` in `language` (the English one for a language without its own); empty
// when the table has no such row.
template <typename Id>
std::string LabelFrom(std::span<const LabelRow<Id>> rows, Id id, int language)
{
    for (const LabelRow<Id>& row : rows) {
        if (row.id == id)
            return ChooseForm(TextChoice::ThreeWay, row.korean, row.english, row.japanese, language)
                .value_or(row.english);
    }
    return {};
}

} // namespace velomira
