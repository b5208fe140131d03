#pragma once

#include <array>
#include <string>

#include <QDialog>

#include <optional>

#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"
#include "settings/editor/PageTables.h"
#include "settings/editor/SetupSave.h"

class QTabWidget;

namespace velomira {

class CSettingsPage;
class MessageBoxService;

// The settings window: five tabs over the thirteen pages (three languages of four page
// kinds, and the GMT page), which all edit one 200-byte record in place. It starts from
// the settings file as the caller read it; FinishEditing, run after it closes, compares the
// record with what was read and saves it after a question. Enter and Escape never close it.
// The device's Chinese, Spanish and Russian settings show the English tabs and pages; any
// other language outside 0..2 shows none, and the window can only be closed.
class CNewSetupDlg : public QDialog {
    Q_OBJECT
public:
    // `cardDrive`: "E:"; `language`: the viewer's language when the window is made;
    // `content`: the card's settings file as read (nothing when there is none). A read that
    // failed is never edited: the caller stops before making the window.
    CNewSetupDlg(const std::string& cardDrive, int language,
        const std::optional<SettingsFileContent>& content, MessageBoxService& messages,
        QWidget* parent = nullptr);
    ~CNewSetupDlg() override;

    // The closing step: compare, ask, write through `write`.
    SetupSaveResult FinishEditing(const SettingsWriter& write);

    const SettingsRecord& record() const { return m_record; }
    const SettingsRecord& openingCopy() const { return m_opening; }
    int language() const { return m_language; }
    QTabWidget* tabs() const { return m_tabs; }
    // The page of `kind` in `language` (any language for the GMT page); null when none.
    CSettingsPage* Page(PageKind kind, int language) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TakeRecord(const std::optional<SettingsFileContent>& content);

    char m_driveLetter = 0;
    SettingsRecord m_record {};
    SettingsRecord m_opening {};
    int m_language = 0;
    MessageBoxService& m_messages;
    QTabWidget* m_tabs = nullptr;
    std::array<CSettingsPage*, 13> m_pages {};
};

} // namespace velomira
