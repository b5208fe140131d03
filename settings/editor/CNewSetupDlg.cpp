#include "settings/editor/CNewSetupDlg.h"

#include <algorithm>

#include <QKeyEvent>
#include <QPalette>
#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/SettingsFile.h"
#include "settings/editor/CSettingsPage.h"
#include "texts/MessageBoxService.h"

namespace velomira {
namespace {

// The dark look of the main window and its list.
constexpr const char* kStyle
    = "QDialog, QTabWidget > QWidget, QWidget#pages { background: #16191e; color: #dee4ea; }"
      "QLabel, QCheckBox, QRadioButton { color: #dee4ea; }"
      "QGroupBox { color: #9fb3c8; border: 1px solid #3a434d; border-radius: 4px;"
      " margin-top: 10px; padding: 8px 6px 4px 6px; font-weight: bold; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 4px; }"
      "QLineEdit, QComboBox { background: #252b33; color: #ffffff; border: 1px solid #4a5562;"
      " border-radius: 3px; padding: 2px 4px; }"
      "QLineEdit:focus, QComboBox:focus { border: 1px solid #6fa8dc; }"
      "QLineEdit[readOnly=\"true\"] { background: #1d2228; color: #c8d0d8; }"
      "QComboBox QAbstractItemView { background: #252b33; color: #ffffff;"
      " selection-background-color: #3d6a94; }"
      "QTabWidget::pane { border: 1px solid #3a434d; top: -1px; }"
      "QTabBar::tab { background: #22272e; color: #c8d0d8; padding: 6px 14px;"
      " border: 1px solid #3a434d; border-bottom: none; }"
      "QTabBar::tab:selected { background: #16191e; color: #ffffff; }"
      "QCheckBox:focus, QRadioButton:focus { color: #ffffff; }";

} // namespace

CNewSetupDlg::CNewSetupDlg(const std::string& cardDrive, int language,
    const std::optional<SettingsFileContent>& content, MessageBoxService& messages,
    QWidget* parent)
    : QDialog(parent)
    , m_driveLetter(cardDrive.empty() ? '\0' : cardDrive[0])
    , m_language(language)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("386"));
    setWindowTitle(QStringLiteral("Setup"));
    // Check and radio marks are drawn from the palette: light marks on dark boxes.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, QColor(0x16, 0x19, 0x1e));
    dark.setColor(QPalette::WindowText, QColor(0xde, 0xe4, 0xea));
    dark.setColor(QPalette::Base, QColor(0x25, 0x2b, 0x33));
    dark.setColor(QPalette::Text, QColor(0xff, 0xff, 0xff));
    dark.setColor(QPalette::Button, QColor(0x2a, 0x30, 0x38));
    dark.setColor(QPalette::ButtonText, QColor(0xff, 0xff, 0xff));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x6a, 0x94));
    setPalette(dark);
    setStyleSheet(QString::fromLatin1(kStyle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("1211"));
    layout->addWidget(m_tabs);

    // Pages whose language the window does not show still exist, in a hidden holder.
    auto* holder = new QWidget(this);
    holder->setObjectName(QStringLiteral("pages"));
    holder->hide();

    const int shown = EditorLanguage(language);
    const auto captions = TabCaptions(shown);
    const PageKind kinds[kSetupTabs] = { PageKind::DrivingAssistance, PageKind::Recorder,
        PageKind::System, PageKind::Install, PageKind::Gmt };
    std::size_t next = 0;
    for (int tab = 0; tab < kSetupTabs; ++tab) {
        auto* container = new QWidget;
        auto* stack = new QVBoxLayout(container);
        stack->setContentsMargins(0, 0, 0, 0);
        const int variants = kinds[tab] == PageKind::Gmt ? 1 : 3;
        for (int variant = 0; variant < variants; ++variant) {
            // Korean, English, Japanese: the order the window creates them in.
            const int pageLanguage = kinds[tab] == PageKind::Gmt ? shown : 2 - variant;
            CSettingsPage* page = nullptr;
            switch (kinds[tab]) {
            case PageKind::DrivingAssistance:
                page = new CTabTwoDlg(pageLanguage, messages, container);
                break;
            case PageKind::Recorder:
                page = new CTabThreeDlg(pageLanguage, messages, container);
                break;
            case PageKind::System:
                page = new CTabFourDlg(pageLanguage, messages, container);
                break;
            case PageKind::Install:
                page = new CTabOneDlg(pageLanguage, messages, container);
                break;
            case PageKind::Gmt:
                page = new CTabFiveDlg(messages, container);
                break;
            }
            stack->addWidget(page);
            page->setVisible(kinds[tab] == PageKind::Gmt || pageLanguage == shown);
            m_pages[next++] = page;
        }
        if (captions.empty())
            container->setParent(holder);
        else
            m_tabs->addTab(container,
                QString::fromUtf8(captions[static_cast<std::size_t>(tab)].data(),
                    static_cast<qsizetype>(captions[static_cast<std::size_t>(tab)].size())));
    }

    TakeRecord(content);
    for (CSettingsPage* page : m_pages)
        page->LoadFromRecord(m_record);
    if (m_tabs->count() > 0)
        m_tabs->setCurrentIndex(0);
}

CNewSetupDlg::~CNewSetupDlg() = default;

void CNewSetupDlg::TakeRecord(const std::optional<SettingsFileContent>& content)
{
    if (m_driveLetter == '\0')
        return;
    // A file shorter than the record leaves the rest of the record zero; no file leaves it
    // all zero.
    if (content) {
        const std::size_t length = std::min(content->bytes.size(), m_record.size());
        std::copy_n(content->bytes.begin(), length, m_record.begin());
        m_opening = m_record;
    }
}

SetupSaveResult CNewSetupDlg::FinishEditing(const SettingsWriter& write)
{
    return SaveChangedSettings(m_record, m_opening, m_language, m_messages, write);
}

CSettingsPage* CNewSetupDlg::Page(PageKind kind, int language) const
{
    for (CSettingsPage* page : m_pages) {
        if (page->table().kind == kind
            && (kind == PageKind::Gmt || page->table().language == language))
            return page;
    }
    return nullptr;
}

void CNewSetupDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace velomira
