#pragma once

#include "library/FileDialogService.h"

class QWidget;

namespace velomira {

// The file and folder dialogs as QFileDialog, modal over `parent`.
class QtFileDialogService final : public FileDialogService {
public:
    explicit QtFileDialogService(QWidget* parent)
        : m_parent(parent)
    { }
    std::optional<std::vector<std::string>> OpenFiles(
        const std::string& filter, const std::string& initialName) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    std::optional<std::string> SaveFile(const std::string& title, const std::string& suggested,
        const std::string& filters) override;

private:
    QWidget* m_parent;
};

} // namespace velomira
