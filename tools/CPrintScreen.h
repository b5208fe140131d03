#pragma once

#include <string>

#include <QImage>

class QPrinter;
class QWidget;

namespace velomira {

class MessageBoxService;

// How the printer was chosen.
enum class PrinterChoice { Accepted, Cancelled, Failed };

// The print dialog behind a seam: the viewer shows QPrintDialog, tests choose a PDF file.
class PrinterChooser {
public:
    virtual ~PrinterChooser() = default;
    virtual PrinterChoice Choose(QPrinter& printer) = 0;
};

// QPrintDialog without an owner window, one copy, page 1 to 1.
class QtPrinterChooser : public PrinterChooser {
public:
    PrinterChoice Choose(QPrinter& printer) override;
};

// Prints a picture of a window as shown on the screen onto one page: captured, placed at
// the top-left corner of the printable area and scaled with its proportions kept against
// the 1024 x 768 reference screen. Created for one print and deleted afterwards.
class CPrintScreen {
public:
    // `failureText`: the failure message; `documentName`: the print job's name and the
    // failure message's title.
    CPrintScreen(std::string failureText, std::string documentName)
        : m_failureText(std::move(failureText))
        , m_documentName(std::move(documentName))
    { }

    // Captures `window` (centred on the desktop first when part of it is off the screen),
    // asks for a printer and prints. Cancelling shows nothing; a dialog failure or a
    // printer that cannot take the page shows the failure message.
    void Print(QWidget& window, PrinterChooser& chooser, MessageBoxService& messages);

    // The capture alone: the window's pixels as shown, clamped to its screen.
    static QImage Capture(QWidget& window);

    // Puts `image` on `printer`'s page. False when the printer cannot be drawn on.
    bool PrintImage(const QImage& image, QPrinter& printer) const;

private:
    void ShowFailure(MessageBoxService& messages) const;

    std::string m_failureText;
    std::string m_documentName;
};

} // namespace velomira
