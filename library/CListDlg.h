#pragma once

#include <string>
#include <vector>

#include <QDialog>
#include <QImage>

#include "library/RecordingEntry.h"
#include "library/RecordingFilter.h"

class QTableWidget;

namespace velomira {

class CBitmapButton;

// The recording-list window: a frameless modeless window beside the main window. It
// keeps every entry in the master list and shows those that pass the kind filter, in
// stamp order, in the visible list (control 1013; columns date, time, kind and the
// hidden path). A click in the list and its close button only leave requests, which the
// main window's tick serves.
class CListDlg : public QDialog {
    Q_OBJECT
public:
    explicit CListDlg(QWidget* parent = nullptr);

    // The entries as data; after changing them, ShowVisibleEntries() puts the visible
    // ones on screen.
    RecordingLists& lists() { return m_lists; }
    const RecordingLists& lists() const { return m_lists; }
    const ListFilter& filter() const { return m_filter; }

    // Rebuilds the visible list from the master list with the current filter and order
    // and shows it. Returns the number of entries shown.
    int FilterAndSortEntries();
    // Puts lists().visible on screen as it stands.
    void ShowVisibleEntries();
    // Empties both lists.
    void ClearLists();

    QTableWidget* visibleList() const { return m_list; }
    int ItemCount() const;
    // Column 0 date, 1 time, 2 kind, 3 path; empty outside the list.
    QString ItemText(int row, int column) const;
    // The first selected row, or -1.
    int SelectedRow() const;
    // The row that has the selection mark (the list's current row), or -1.
    int SelectionMark() const;
    // Selects `row` alone and gives it the selection mark; nothing outside the list.
    void SelectOnly(int row);
    // Gives the visible list the keyboard focus.
    void FocusList();

    // Requests left for the main window's tick.
    bool activateRequest() const { return m_activateRequest; }
    void SetActivateRequest(bool on) { m_activateRequest = on; }
    bool closeRequest() const { return m_closeRequest; }
    void SetCloseRequest(bool on) { m_closeRequest = on; }

    // Where the main window keeps `currentIndex`, so that the order toggle keeps the
    // current recording selected.
    void SetCurrentIndexField(int* currentIndex) { m_currentIndex = currentIndex; }

    // Moves the window so that its top left corner is the top right corner of `main`,
    // 256 by 720, kept on the screen that shows `main`.
    void PlaceBeside(const QWidget& main);

    // Top left corner for a 256 x 720 list window beside a main window whose top right
    // corner is `mainTopRight`, on a screen whose free area is `available`. Beside the
    // main window when it fits there; otherwise the window is moved into the free area
    // (over the main window's right edge) rather than left partly off the screen.
    static QPoint PlacementBeside(QPoint mainTopRight, const QRect& available);

    // The buttons' commands.
    void OnShowNormal();
    void OnShowEvent();
    void OnShowAll();
    void OnToggleOrder();
    void OnClose();

    // The TRIPS button (1208).
    CBitmapButton* tripsButton() const { return m_tripsButton; }

signals:
    // Files or folders from the file manager were dropped on the window.
    void pathsDropped(const std::vector<std::string>& paths);
    // The TRIPS button was pressed: the trips window is wanted.
    void tripsRequested();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void UpdateFilterImages();
    void OnListClicked();
    CBitmapButton* AddButton(int id, const char* caption, QRect rect, int normal, int pressed);

    QImage m_background;
    RecordingLists m_lists;
    ListFilter m_filter;
    QTableWidget* m_list = nullptr;
    CBitmapButton* m_orderButton = nullptr;
    CBitmapButton* m_normalButton = nullptr;
    CBitmapButton* m_eventButton = nullptr;
    CBitmapButton* m_allButton = nullptr;
    CBitmapButton* m_tripsButton = nullptr;
    bool m_activateRequest = false;
    bool m_closeRequest = false;
    int* m_currentIndex = nullptr;
};

} // namespace velomira
