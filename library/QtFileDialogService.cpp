#include "library/QtFileDialogService.h"

#include <QFileDialog>

namespace velomira {

std::optional<std::vector<std::string>> QtFileDialogService::OpenFiles(
    const std::string& filter, const std::string& initialName)
{
    QFileDialog dialog(m_parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(QString::fromStdString(filter));
    dialog.selectFile(QString::fromStdString(initialName));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    std::vector<std::string> paths;
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(file.toStdString());
    if (paths.empty())
        return std::nullopt;
    return paths;
}

std::optional<std::string> QtFileDialogService::ChooseFolder(const std::string& title)
{
    const QString folder
        = QFileDialog::getExistingDirectory(m_parent, QString::fromStdString(title));
    if (folder.isEmpty())
        return std::nullopt;
    return folder.toStdString();
}

std::optional<std::string> QtFileDialogService::SaveFile(
    const std::string& title, const std::string& suggested, const std::string& filters)
{
    const QString file = QFileDialog::getSaveFileName(m_parent, QString::fromStdString(title),
        QString::fromStdString(suggested), QString::fromStdString(filters));
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

} // namespace velomira
