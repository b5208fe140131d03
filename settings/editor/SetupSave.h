#pragma once

#include <functional>

#include "settings/SettingsRecord.h"
#include "texts/MessageBoxService.h"

namespace velomira {

// Writes the edited record to the card (sets the checksum); false when nothing could be
// written.
using SettingsWriter = std::function<bool(const SettingsRecord&)>;

enum class SetupSaveResult { Unchanged, Declined, Written, WriteFailed };

// The settings window's closing step: a record that differs from the opening copy in any
// of its 200 bytes raises the save question in the language of the record's own language
// word (an empty question for a word without a text); Yes writes it. A failed write is
// told in `windowLanguage` (English when that has no text), so that a user who answered
// Yes never believes the card changed when it did not.
SetupSaveResult SaveChangedSettings(const SettingsRecord& record, const SettingsRecord& opening,
    int windowLanguage, MessageBoxService& messages, const SettingsWriter& write);

} // namespace velomira
