#pragma once

#include <filesystem>
#include <string>

#include "tools/ChunkedCopy.h"

class QWidget;

namespace velomira {

// CopyInChunks with a modal progress dialog that can be cancelled. The dialog appears
// only when the copy looks like taking longer than `showAfterMs`; it is titled `title` and
// shows the target's file name.
CopyResult CopyWithProgressDialog(QWidget* parent, const std::filesystem::path& source,
    const std::filesystem::path& target, const std::string& title, int showAfterMs = 500);

} // namespace velomira
