#include "app/CSamplePlayerDlg.h"

#include <QPalette>

namespace velomira {

CSamplePlayerDlg::CSamplePlayerDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName("102");
    setFixedSize(1020, 720);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    setAutoFillBackground(true);
}

} // namespace velomira
