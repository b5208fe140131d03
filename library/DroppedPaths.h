#pragma once

#include <string>
#include <vector>

class QMimeData;

namespace velomira {

// The local files and folders of a drag (file-manager drops carry them as file: URLs),
// in the order given, as file-system paths; remote URLs and plain text are left out.
std::vector<std::string> LocalPathsOf(const QMimeData* data);

} // namespace velomira
