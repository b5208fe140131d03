#pragma once

#include <filesystem>
#include <string>

#include "tools/ChunkedCopy.h"

class QWidget;

namespace velomira {

// CopyInChunks with a modal progress dialog that can be cancelled. The dialog appears
// only when the copy takes longer than half a second; it is titled `title` and shows the
// target's file name.
CopyResult CopyWithProgressDialog(QWidget* parent, const std::filesystem::path& source,
    const std::filesystem::path& target, const std::string& title);

} // namespace velomira
