#pragma once

#include <QWidget>

#include "settings/editor/SettingsPageModel.h"

namespace velomira {

class MessageBoxService;

// One settings page as a window: builds its frames and controls by walking its table
// (every control's objectName is its id), hands each user action to the page model and
// shows the model's state again. Enter and Escape do nothing on a page.
class CSettingsPage : public QWidget {
    Q_OBJECT
public:
    CSettingsPage(const PageTable& table, MessageBoxService& messages, QWidget* parent = nullptr);

    void LoadFromRecord(SettingsRecord& record);
    const SettingsPageModel& model() const { return m_model; }
    const PageTable& table() const { return m_model.table(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Build();
    QWidget* MakeControl(const ControlPlan& plan);
    void Connect(const ControlPlan& plan, QWidget* widget);
    void ShowEditMessage(NumberMessage message);
    // Shows the model's state in every control without raising their change signals.
    void Refresh();

    SettingsPageModel m_model;
    MessageBoxService& m_messages;
    bool m_refreshing = false;
};

// The page classes, one per page kind; each walks its kind's table for a language.
class CTabTwoDlg : public CSettingsPage { // driving assistance
public:
    CTabTwoDlg(int language, MessageBoxService& messages, QWidget* parent = nullptr);
};
class CTabThreeDlg : public CSettingsPage { // recorder
public:
    CTabThreeDlg(int language, MessageBoxService& messages, QWidget* parent = nullptr);
};
class CTabFourDlg : public CSettingsPage { // system
public:
    CTabFourDlg(int language, MessageBoxService& messages, QWidget* parent = nullptr);
};
class CTabOneDlg : public CSettingsPage { // install
public:
    CTabOneDlg(int language, MessageBoxService& messages, QWidget* parent = nullptr);
};
class CTabFiveDlg : public CSettingsPage { // GMT, one page for every language
public:
    CTabFiveDlg(MessageBoxService& messages, QWidget* parent = nullptr);
};

} // namespace velomira
