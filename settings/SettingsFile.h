#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/DriveRoots.h"
#include "settings/CardFiles.h"
#include "settings/SettingsRecord.h"
#include "texts/MessageBoxService.h"

namespace velomira {

inline constexpr std::string_view kSettingsFileName = "data_setup.cfg";

enum class SettingsPlace { Root, Setup };

// What was read of data_setup.cfg: up to its first 200 bytes (fewer for a short file).
// `readFailed`: the file is there but opening or reading it failed (a card error, not a
// missing or short file); `bytes` is then empty and `error` holds the errno.
struct SettingsFileContent {
    std::vector<std::uint8_t> bytes;
    SettingsPlace place = SettingsPlace::Root;
    bool readFailed = false;
    int error = 0;
};

// Reads the settings file of the card in drive `letter`: from the root, or from SETUP when
// the root has none that opens.
std::optional<SettingsFileContent> ReadSettingsFile(
    char letter, const DriveRoots& drives, const FileOperations& ops = SystemFileOperations());

// Told when a file was written but its folder could not be flushed afterwards (errno).
using FolderNotFlushed = std::function<void(int error)>;

// Sets the checksum and writes the record to the card's root, atomically. False (nothing
// written, nothing shown) when it cannot be written; true once the new file is in place.
bool WriteSettingsFile(char letter, const DriveRoots& drives, SettingsRecord record,
    const FileOperations& ops = SystemFileOperations(), const FolderNotFlushed& folderNotFlushed = {});

enum class SettingsCheck { Proceed, Stop };

// The check before the settings editor opens: a valid file proceeds; a missing, short or
// damaged one raises the restore question in `language`. Yes writes the default record
// and proceeds; No (or a language with no text for the question) shows that the file
// cannot be opened, where there is a text for it, and stops. A file that cannot be read,
// or a restore that cannot be written, also shows that the file cannot be opened and
// stops: a card error never leads to replacing the file with defaults, nor passes for a
// restored file.
SettingsCheck CheckAndRestoreSettings(char letter, const DriveRoots& drives, int language,
    MessageBoxService& messages, const FileOperations& ops = SystemFileOperations(),
    const FolderNotFlushed& folderNotFlushed = {});

} // namespace velomira
