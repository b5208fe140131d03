#include "tools/CPrintScreen.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QWidget>

#include "texts/MessageBoxService.h"
#include "tools/PrintLayout.h"

namespace velomira {

namespace {

ScreenRect ToScreenRect(const QRect& rect)
{
    return { rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height() };
}

} // namespace

PrinterChoice QtPrinterChooser::Choose(QPrinter& printer)
{
    printer.setCopyCount(1);
    printer.setFromTo(1, 1);
    QPrintDialog dialog(&printer, nullptr);
    dialog.setMinMax(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted)
        return PrinterChoice::Cancelled;
    return printer.isValid() ? PrinterChoice::Accepted : PrinterChoice::Failed;
}

QImage CPrintScreen::Capture(QWidget& window)
{
    QScreen* screen = window.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    // Screen coordinates here are relative to the screen the window is on.
    const QRect screenArea = screen->geometry();
    const int width = screenArea.width();
    const int height = screenArea.height();
    const QRect frame = window.frameGeometry().translated(-screenArea.topLeft());
    const QRect desktop = screen->availableGeometry().translated(-screenArea.topLeft());
    CapturePlan plan = PlanCapture(ToScreenRect(frame), width, height, ToScreenRect(desktop));
    if (plan.move) {
        window.move(screenArea.topLeft() + QPoint(plan.moveLeft, plan.moveTop));
        window.repaint();
        QCoreApplication::processEvents();
        ClampCapture(ToScreenRect(window.frameGeometry().translated(-screenArea.topLeft())), width,
            height, plan);
    }
    if (plan.width <= 0 || plan.height <= 0)
        return {};
    // What the screen shows of the window, frame and title bar included, from the very
    // rectangle whose size was planned (video and map views included); the window's own
    // drawing of its client area when the window system cannot hand the screen out.
    // Without a window manager the frame is the window itself, which is grabbed directly.
    const QRect shown = window.frameGeometry().translated(-screenArea.topLeft());
    QPixmap shot = window.frameGeometry() == window.geometry()
        ? screen->grabWindow(window.winId(), 0, 0, plan.width, plan.height)
        : screen->grabWindow(
            0, std::max(0, shown.left()), std::max(0, shown.top()), plan.width, plan.height);
    if (shot.isNull() || shot.width() < plan.width || shot.height() < plan.height)
        shot = window.grab(QRect(
            0, 0, std::min(plan.width, window.width()), std::min(plan.height, window.height())));
    return shot.toImage().convertToFormat(QImage::Format_RGB32);
}

bool CPrintScreen::PrintImage(const QImage& image, QPrinter& printer) const
{
    printer.setDocName(QString::fromStdString(m_documentName));
    QPainter painter;
    if (image.isNull() || !painter.begin(&printer))
        return false;
    // Without this the PDF engine stores the picture as JPEG and its colours shift.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.fillRect(QRect(0, 0, page.width(), page.height()), Qt::white);
    const PrintedSize size
        = PrintedSizeOnPage(image.width(), image.height(), page.width(), page.height());
    if (size.width > 0 && size.height > 0)
        painter.drawImage(QRect(0, 0, size.width, size.height), image);
    painter.end();
    return true;
}

void CPrintScreen::ShowFailure(MessageBoxService& messages) const
{
    messages.Show({ m_failureText, m_documentName, MessageIcon::Error, MessageButtons::Ok });
}

void CPrintScreen::Print(QWidget& window, PrinterChooser& chooser, MessageBoxService& messages)
{
    const QImage image = Capture(window);
    QPrinter printer(QPrinter::HighResolution);
    switch (chooser.Choose(printer)) {
    case PrinterChoice::Cancelled:
        return;
    case PrinterChoice::Failed:
        ShowFailure(messages);
        return;
    case PrinterChoice::Accepted:
        break;
    }
    if (!PrintImage(image, printer))
        ShowFailure(messages);
}

} // namespace velomira
