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
    // A file to write, which may exist (the dialog asks before replacing it); `filters`
    // is ";;"-separated ("JPEG (*.jpg);;PNG (*.png)"), `suggested` the first path shown.
    virtual std::optional<std::string> SaveFile(
        const std::string& title, const std::string& suggested, const std::string& filters)
    {
        (void)title, (void)suggested, (void)filters;
        return std::nullopt;
    }
};

} // namespace velomira
