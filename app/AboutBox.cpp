#include "app/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "texts/AppValues.h"

namespace velomira {

std::optional<AboutVariant> AboutVariantFor(int language)
{
    if (language == 2)
        return AboutVariant::Korean;
    if (language >= 0 && language <= 5)
        return AboutVariant::International;
    return std::nullopt;
}

AboutBox::AboutBox(AboutVariant variant, QWidget* parent)
    : QDialog(parent)
    , m_variant(variant)
{
    const bool korean = variant == AboutVariant::Korean;
    setObjectName(QString::number(static_cast<int>(variant)));
    setWindowTitle(korean ? QStringLiteral("루미엘 정보") : QStringLiteral("About VELOMIRA6"));
    setStyleSheet(QStringLiteral(
        "QDialog { background: #16191e; } QLabel { color: #dee4ea; }"
        "QLabel#name { font: bold 18px 'Arial'; color: #ffffff; }"
        "QLabel#release { color: #8a96a3; }"
        "QPushButton { background: #2a3038; color: #ffffff; border: 1px solid #3a434d;"
        " border-radius: 4px; padding: 4px 22px; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 18);
    layout->setSpacing(8);
    auto* name = new QLabel(
        korean ? QStringLiteral("루미엘 뷰어") : QStringLiteral("VELOMIRA6 Viewer"), this);
    name->setObjectName(QStringLiteral("name"));
    auto* version = new QLabel(QString::fromStdString(VersionText()), this);
    version->setObjectName(QStringLiteral("version"));
    auto* release
        = new QLabel(korean ? QStringLiteral("VELOMIRA 6 블랙박스 SD 카드 뷰어 · 릴리스 %1")
                                  .arg(QString::fromStdString(VersionNumber()))
                            : QStringLiteral("SD card viewer for VELOMIRA 6 dashcams · release %1")
                                  .arg(QString::fromStdString(VersionNumber())),
            this);
    release->setObjectName(QStringLiteral("release"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/skin/472.png")).pixmap(48, 48));
    header->addWidget(icon);
    header->addWidget(name, 1);
    layout->addLayout(header);
    layout->addWidget(version);
    layout->addWidget(release);
    layout->addSpacing(6);
    layout->addWidget(buttons);
}

} // namespace velomira
