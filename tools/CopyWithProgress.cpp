#include "tools/CopyWithProgress.h"

#include <QProgressDialog>

namespace velomira {

CopyResult CopyWithProgressDialog(QWidget* parent, const std::filesystem::path& source,
    const std::filesystem::path& target, const std::string& title, int showAfterMs)
{
    constexpr int kSteps = 1000;
    QProgressDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setLabelText(QString::fromStdString(target.filename().string()));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setRange(0, kSteps);
    dialog.setMinimumDuration(showAfterMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);
    int shown = 0;
    const auto progress = [&](std::uint64_t done, std::uint64_t total) {
        // The dialog only repaints (and takes the cancel click) when its value moves.
        const int step = total == 0
            ? kSteps
            : static_cast<int>(std::min<std::uint64_t>(done * kSteps / total, kSteps));
        if (step != shown) {
            shown = step;
            dialog.setValue(step);
        }
        return !dialog.wasCanceled();
    };
    const CopyResult result = CopyInChunks(source, target, progress);
    dialog.close();
    return result;
}

} // namespace velomira
