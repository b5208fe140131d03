#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velomira {

// The file and folder dialogs of the viewer behind one seam: the window shows
// QFileDialog, tests give scripted answers. Paths are UTF-8; nothing means cancelled.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // Several existing files; `filter` is the dialog's filter text ("mp4 files (*.mp4
    // *.avi)"), `initialName` the name field's first text.
    virtual std::optional<std::vector<std::string>> OpenFiles(
        const std::string& filter, const std::string& initialName)
        = 0;
    // One existing folder.
    virtual std::optional<std::string> ChooseFolder(const std::string& title) = 0;
};

} // namespace velomira
