// Printing the window: the picture on a PDF page at the size the scaling rule gives, at
// the top left of the printable area, colours exact; cancel and failure.
#include <gtest/gtest.h>

#include <fstream>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QWidget>

#include "support/ScriptedMessageBoxService.h"
#include "support/TestPaths.h"
#include "tools/CPrintScreen.h"

namespace velomira {
namespace {

namespace fs = std::filesystem;

// Runs before main() creates the application: an offscreen screen of desktop size, unless
// the caller chose a platform.
const bool kDesktopScreen = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VELOMIRA_TEST_SCREEN);
    return true;
}();

// A window of four known colours: red and blue halves with a green band along the top.
class ColourWindow : public QWidget {
public:
    ColourWindow() { setWindowFlags(Qt::FramelessWindowHint); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(0, 0, width() / 2, height()), QColor(255, 0, 0));
        painter.fillRect(QRect(width() / 2, 0, width() - width() / 2, height()), QColor(0, 0, 255));
        painter.fillRect(QRect(0, 0, width(), 40), QColor(0, 255, 0));
    }
};

// Prints into a PDF file whose page is `width` x `height` device units at 72 dpi, with
// no margins, so one device unit is one PDF point.
class PdfChooser : public PrinterChooser {
public:
    PdfChooser(fs::path file, int width, int height, PrinterChoice choice = PrinterChoice::Accepted)
        : m_file(std::move(file))
        , m_width(width)
        , m_height(height)
        , m_choice(choice)
    { }
    PrinterChoice Choose(QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(m_file.string()));
        printer.setResolution(72);
        printer.setPageSize(QPageSize(QSizeF(m_width, m_height), QPageSize::Point));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
        return m_choice;
    }

private:
    fs::path m_file;
    int m_width;
    int m_height;
    PrinterChoice m_choice;
};

// The PDF's page rendered at one tenth of its point size, as RGB rows.
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    QColor At(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return QColor(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
};

Raster RenderPage(const fs::path& pdf, const fs::path& prefix)
{
    QProcess process;
    process.start("pdftoppm",
        { "-r", "7.2", "-singlefile", QString::fromStdString(pdf.string()),
            QString::fromStdString(prefix.string()) });
    process.waitForFinished(-1);
    Raster raster;
    std::ifstream in(prefix.string() + ".ppm", std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> raster.width >> raster.height >> maxValue;
    in.get();
    raster.rgb.resize(static_cast<std::size_t>(raster.width) * raster.height * 3);
    in.read(reinterpret_cast<char*>(raster.rgb.data()),
        static_cast<std::streamsize>(raster.rgb.size()));
    return raster;
}

TEST(PrintWindow, PictureAtTheTopLeftAtTheScaledSize)
{
    const struct {
        const char* name;
        int pageWidth, pageHeight;
        int printedWidth, printedHeight; // 1020 x 720 window
    } cases[] = {
        { "portrait", 4960, 7016, 4940, 3487 },
        { "landscape", 6600, 5100, 6574, 4640 },
        { "wide", 7000, 4000, 5312, 3750 },
    };
    for (const auto& c : cases) {
        test::TempDir dir { "velomira-print" };
        ColourWindow window;
        window.setGeometry(0, 0, 1020, 720);
        window.show();
        ASSERT_GE(window.screen()->geometry().width(), 1020) << "screen too small for the window";
        test::ScriptedMessageBoxService messages;
        PdfChooser chooser(dir / "page.pdf", c.pageWidth, c.pageHeight);
        CPrintScreen("Print Fail", "VELOMIRA6 v.1.0.3").Print(window, chooser, messages);
        EXPECT_TRUE(messages.shown().empty()) << c.name;
        const Raster page = RenderPage(dir / "page.pdf", dir / "page");
        ASSERT_EQ(page.width, (c.pageWidth + 5) / 10) << c.name;
        ASSERT_EQ(page.height, (c.pageHeight + 5) / 10) << c.name;
        // In tenths: the picture ends at printed / 10; sample just inside and outside.
        const int right = c.printedWidth / 10;
        const int bottom = c.printedHeight / 10;
        const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 255, 0), white(255, 255, 255);
        EXPECT_EQ(page.At(1, 1), green) << c.name;
        EXPECT_EQ(page.At(2, bottom - 2), red) << c.name;
        EXPECT_EQ(page.At(right - 2, bottom - 2), blue) << c.name;
        EXPECT_EQ(page.At(right - 2, 1), green) << c.name;
        EXPECT_EQ(page.At(right + 1, bottom / 2), white) << c.name;
        EXPECT_EQ(page.At(right / 4, bottom + 1), white) << c.name;
        EXPECT_EQ(page.At(page.width - 1, page.height - 1), white) << c.name;
    }
}

TEST(PrintWindow, CancelShowsNothingFailureSaysPrintFail)
{
    const struct {
        PrinterChoice choice;
        std::size_t boxes;
    } cases[] = { { PrinterChoice::Cancelled, 0 }, { PrinterChoice::Failed, 1 } };
    for (const auto& c : cases) {
        test::TempDir dir { "velomira-print" };
        ColourWindow window;
        window.setGeometry(0, 0, 200, 100);
        window.show();
        test::ScriptedMessageBoxService messages;
        PdfChooser chooser(dir / "page.pdf", 600, 800, c.choice);
        CPrintScreen("Print Fail", "VELOMIRA6 v.1.0.3").Print(window, chooser, messages);
        ASSERT_EQ(messages.shown().size(), c.boxes);
        EXPECT_FALSE(fs::exists(dir / "page.pdf"));
        if (c.boxes == 1) {
            EXPECT_EQ(messages.shown()[0].text, "Print Fail");
            EXPECT_EQ(messages.shown()[0].title, "VELOMIRA6 v.1.0.3");
            EXPECT_EQ(messages.shown()[0].icon, MessageIcon::Error);
        }
    }
}

TEST(PrintWindow, WindowPartlyOffTheScreenIsCentredFirst)
{
    ColourWindow window;
    window.setGeometry(-50, -30, 200, 100);
    window.show();
    const QImage shot = CPrintScreen::Capture(window);
    const QRect desktop = window.screen()->availableGeometry();
    EXPECT_EQ(window.pos(),
        QPoint(desktop.left() + (desktop.width() - 200) / 2,
            desktop.top() + (desktop.height() - 100) / 2));
    ASSERT_EQ(shot.size(), QSize(200, 100));
    EXPECT_EQ(QColor(shot.pixel(5, 90)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(195, 90)), QColor(0, 0, 255));
}

// Under a window manager the window has a frame and a title bar: the capture is exactly the
// frame's rectangle as the screen shows it, with nothing of what lies beside or below it.
TEST(PrintWindowUnderAWindowManager, CaptureIsTheWholeFrameAsShown)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "runs on X with a window manager (tools_print_under_window_manager)";
    ColourWindow window;
    window.setWindowFlags(Qt::Window);
    window.setGeometry(100, 100, 400, 300);
    window.show();
    // Wait until the window manager has framed the window and the frame is drawn.
    QElapsedTimer waited;
    waited.start();
    while (window.frameGeometry() == window.geometry() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_NE(window.frameGeometry(), window.geometry()) << "no window manager framed the window";
    for (QElapsedTimer settle; !settle.isValid() || settle.elapsed() < 500;) {
        if (!settle.isValid())
            settle.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QRect frame = window.frameGeometry();
    const QImage shot = CPrintScreen::Capture(window);
    const QImage screen = window.screen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), frame.size());
    EXPECT_EQ(shot, screen.copy(frame));
    // The client area's bottom-right corner is where the window drew it.
    const QPoint client = window.geometry().topLeft() - frame.topLeft();
    EXPECT_EQ(QColor(shot.pixel(client.x() + 395, client.y() + 295)), QColor(0, 0, 255));
}

} // namespace
} // namespace velomira
