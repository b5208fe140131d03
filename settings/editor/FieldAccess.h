#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsRecord.h"

namespace velomira {

// The settings editor's fields by name ("fcw", "fcw-speed-kmh", "camera-height-m"), for
// scripts: reading shows a field as the editor's page shows it, writing goes through the
// same page rules (limits, roundings, paired words, presets). A name is served by the
// English page where it shows the field, otherwise by the Korean or Japanese page.
//
// Values: check boxes "on" / "off"; radio groups the value's number or its English caption
// in lower case with '-' for spaces ("normal", "full-hd", "compact-car"); edit fields a
// number as typed; G-sensor sliders the position 10 to 190 (hundredths of g); lists the
// entry's text ("12.0v", "9:00") or its index.

struct NamedField {
    std::string name;
    std::string value;
};

// Every field, in tab and reading order.
std::vector<NamedField> ReadFields(const SettingsRecord& record);
// One field; nothing for an unknown name.
std::optional<std::string> ReadField(const SettingsRecord& record, std::string_view name);

// Sets one field in `record`; an empty result on success, otherwise why it was refused
// (unknown name, a value the field does not take). A refused value leaves the record as
// it was.
std::string WriteField(SettingsRecord& record, std::string_view name, std::string_view value);

} // namespace velomira
