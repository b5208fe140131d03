#include "app/commands/PrintCommand.h"

#include <QAbstractButton>
#include <QApplication>

#include "app/CSamplePlayerDlg.h"
#include "library/CListDlg.h"
#include "skin/CBitmapButton.h"
#include "texts/AppValues.h"
#include "texts/TextCatalogue.h"
#include "tools/CPrintScreen.h"

namespace velomira {

PrintCommand::PrintCommand(CSamplePlayerDlg& window, CListDlg& list, PrinterChooser* chooser)
    : m_window(window)
    , m_list(list)
    , m_ownChooser(chooser == nullptr ? std::make_unique<QtPrinterChooser>() : nullptr)
    , m_chooser(chooser == nullptr ? m_ownChooser.get() : chooser)
{ }

PrintCommand::~PrintCommand() = default;

void PrintCommand::ConnectControls(QObject& context)
{
    if (CBitmapButton* button = m_window.Button(1198))
        QObject::connect(button, &QAbstractButton::clicked, &context, [this] { OnPrint(); });
}

void PrintCommand::OnPrint()
{
    const auto failure = ComposeMessage(MessageUse::PrintFailed, m_window.language());
    auto printScreen = std::make_unique<CPrintScreen>(
        failure ? failure->text : std::string("Print Fail"), VersionText());
    // The window in front is the one whose button was clicked; the main window when the
    // window system names none.
    QWidget* front = QApplication::activeWindow();
    printScreen->Print(front != nullptr ? *front : m_window, *m_chooser, m_window.messages());
    printScreen.reset();
    m_list.FocusList();
}

} // namespace velomira
