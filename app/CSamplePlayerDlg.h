#pragma once

#include <QDialog>

namespace velomira {

// The viewer's main window: frameless, 1020 x 720 in the windowed layout.
class CSamplePlayerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSamplePlayerDlg(QWidget* parent = nullptr);
};

} // namespace velomira
