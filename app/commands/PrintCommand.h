#pragma once

#include <memory>

class QObject;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class PrinterChooser;

// The print button (1198): prints the window in front (normally the main window) as the
// screen shows it, on one page.
class PrintCommand {
public:
    // `chooser`: the print dialog (QPrintDialog when null).
    PrintCommand(CSamplePlayerDlg& window, CListDlg& list, PrinterChooser* chooser = nullptr);
    ~PrintCommand();

    void ConnectControls(QObject& context);
    void OnPrint();

private:
    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    std::unique_ptr<PrinterChooser> m_ownChooser;
    PrinterChooser* m_chooser;
};

} // namespace velomira
