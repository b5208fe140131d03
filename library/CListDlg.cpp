#include "library/CListDlg.h"

#include <algorithm>

#include <QCloseEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTableWidget>
#include <QWindow>

#include "library/DroppedPaths.h"
#include "skin/CBitmapButton.h"
#include "skin/SkinImages.h"

namespace velomira {

namespace {

constexpr int kBackgroundImage = 464;
constexpr int kDescendingImage = 476;
constexpr int kAscendingImage = 477;
constexpr int kTripsImage = 478;
constexpr int kTripsPressedImage = 479;
constexpr std::uint32_t kListColourBgr = 0x333333;
constexpr std::uint32_t kTextColourBgr = 0xFFFFFF;

struct ColumnLayout {
    int width;
    Qt::Alignment alignment;
};
// Date, time, kind and the path, which is kept but not shown.
constexpr ColumnLayout kColumns[] = {
    { 80, Qt::AlignLeft | Qt::AlignVCenter },
    { 80, Qt::AlignCenter },
    { 70, Qt::AlignCenter },
    { 0, Qt::AlignLeft | Qt::AlignVCenter },
};

QString Column(const RecordingEntry& entry, int column)
{
    switch (column) {
    case 0:
        return QString::fromStdString(entry.date);
    case 1:
        return QString::fromStdString(entry.time);
    case 2:
        return QString::fromStdString(entry.kind);
    default:
        return QString::fromStdString(entry.path);
    }
}

} // namespace

CListDlg::CListDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("341"));
    setModal(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_background = LoadSkinImage(kBackgroundImage);
    resize(m_background.isNull() ? QSize(256, 720) : m_background.size());
    CreateControls();
    setAcceptDrops(true);
}

void CListDlg::dragEnterEvent(QDragEnterEvent* event)
{
    if (!LocalPathsOf(event->mimeData()).empty())
        event->acceptProposedAction();
}

void CListDlg::dropEvent(QDropEvent* event)
{
    const std::vector<std::string> paths = LocalPathsOf(event->mimeData());
    if (paths.empty())
        return;
    event->acceptProposedAction();
    emit pathsDropped(paths);
}

CBitmapButton* CListDlg::AddButton(int id, const char* caption, QRect rect, int normal, int pressed)
{
    auto* button = new CBitmapButton(this);
    button->setObjectName(QString::number(id));
    button->setText(QString::fromUtf8(caption));
    button->setAccessibleName(button->text());
    button->setGeometry(rect);
    button->SetImages(normal, pressed);
    return button;
}

void CListDlg::CreateControls()
{
    m_list = new QTableWidget(0, 4, this);
    m_list->setObjectName(QStringLiteral("1013"));
    m_list->setGeometry(0, 48, 256, 635);
    m_list->horizontalHeader()->hide();
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(18);
    m_list->setShowGrid(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFrameShape(QFrame::NoFrame);
    for (int c = 0; c < 4; ++c)
        m_list->setColumnWidth(c, kColumns[c].width);
    m_list->setColumnHidden(3, true);
    QPalette palette = m_list->palette();
    for (const auto role : { QPalette::Base, QPalette::Window, QPalette::AlternateBase })
        palette.setColor(role, ColorFromBgr(kListColourBgr));
    palette.setColor(QPalette::Text, ColorFromBgr(kTextColourBgr));
    // The selection shows even while another window has the focus.
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
        palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
        palette.color(QPalette::Active, QPalette::HighlightedText));
    m_list->setPalette(palette);
    m_list->setAutoFillBackground(true);
    connect(m_list, &QTableWidget::clicked, this, [this] { OnListClicked(); });
    connect(m_list, &QTableWidget::doubleClicked, this, [this] { OnListClicked(); });

    m_orderButton = AddButton(
        1331, "Ascending / Descending", { 0, 36, 256, 12 }, kDescendingImage, kDescendingImage);
    auto* close = AddButton(1200, "X", { 230, 0, 25, 25 }, 265, 265);
    m_normalButton = AddButton(1201, "상시녹화", { 5, 695, 60, 15 }, 460, 465);
    m_eventButton = AddButton(1205, "이벤트녹화", { 68, 695, 60, 15 }, 461, 466);
    m_allButton = AddButton(1207, "All", { 134, 695, 60, 15 }, 473, 474);
    // The trips window, beside the filters in the same look; its text follows the language.
    m_tripsButton = AddButton(1208, "TRIPS", { 196, 695, 60, 15 }, kTripsImage, kTripsPressedImage);
    // Motion and manual recordings have buttons of their own that are never shown.
    AddButton(1202, "모션녹화", { 5000, 5000, 60, 15 }, 462, 467)->hide();
    AddButton(1206, "수동녹화", { 197, 695, 60, 15 }, 362, 362)->hide();

    connect(m_orderButton, &QAbstractButton::clicked, this, &CListDlg::OnToggleOrder);
    connect(close, &QAbstractButton::clicked, this, &CListDlg::OnClose);
    connect(m_normalButton, &QAbstractButton::clicked, this, &CListDlg::OnShowNormal);
    connect(m_eventButton, &QAbstractButton::clicked, this, &CListDlg::OnShowEvent);
    connect(m_allButton, &QAbstractButton::clicked, this, &CListDlg::OnShowAll);
    connect(m_tripsButton, &QAbstractButton::clicked, this, &CListDlg::tripsRequested);
    UpdateFilterImages();
}

int CListDlg::FilterAndSortEntries()
{
    const std::size_t shown = velomira::FilterAndSortEntries(m_lists, m_filter);
    ShowVisibleEntries();
    return static_cast<int>(shown);
}

void CListDlg::ShowVisibleEntries()
{
    m_list->clearContents();
    m_list->setRowCount(static_cast<int>(m_lists.visible.size()));
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const RecordingEntry& entry = m_lists.visible[static_cast<std::size_t>(row)];
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(Column(entry, c));
            item->setTextAlignment(kColumns[c].alignment);
            m_list->setItem(row, c, item);
        }
    }
    m_list->setCurrentIndex(QModelIndex());
    m_list->clearSelection();
}

void CListDlg::ClearLists()
{
    m_lists.master.clear();
    m_lists.visible.clear();
    ShowVisibleEntries();
}

int CListDlg::ItemCount() const
{
    return m_list->rowCount();
}

QString CListDlg::ItemText(int row, int column) const
{
    const QTableWidgetItem* item = m_list->item(row, column);
    return item == nullptr ? QString() : item->text();
}

int CListDlg::SelectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows) {
        if (first < 0 || index.row() < first)
            first = index.row();
    }
    return first;
}

int CListDlg::SelectionMark() const
{
    return m_list->currentRow();
}

void CListDlg::SelectOnly(int row)
{
    if (row < 0 || row >= ItemCount())
        return;
    m_list->clearSelection();
    m_list->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollToItem(m_list->item(row, 0));
}

void CListDlg::FocusList()
{
    if (isVisible())
        activateWindow();
    m_list->setFocus(Qt::OtherFocusReason);
}

void CListDlg::PlaceBeside(const QWidget& main)
{
    const QPoint topRight = main.mapToGlobal(QPoint(main.width(), 0));
    const QScreen* screen = main.screen();
    const QPoint place
        = screen != nullptr ? PlacementBeside(topRight, screen->availableGeometry()) : topRight;
    setGeometry(place.x(), place.y(), 256, 720);
}

QPoint CListDlg::PlacementBeside(QPoint mainTopRight, const QRect& available)
{
    if (available.isEmpty())
        return mainTopRight;
    const int right = available.x() + available.width();
    const int bottom = available.y() + available.height();
    const int x = std::max(available.x(), std::min(mainTopRight.x(), right - 256));
    const int y = std::max(available.y(), std::min(mainTopRight.y(), bottom - 720));
    return QPoint(x, y);
}

void CListDlg::UpdateFilterImages()
{
    // A shown kind's button has its images in order, a hidden kind's swapped.
    const auto set = [](CBitmapButton* button, bool shown, int first, int second) {
        if (shown)
            button->SetImages(first, second);
        else
            button->SetImages(second, first);
    };
    set(m_normalButton, m_filter.normalShown, 460, 465);
    set(m_eventButton, m_filter.eventShown, 461, 466);
    set(m_allButton, m_filter.normalShown && m_filter.eventShown, 473, 474);
}

void CListDlg::OnShowNormal()
{
    m_filter.normalShown = true;
    m_filter.eventShown = false;
    UpdateFilterImages();
    FilterAndSortEntries();
}

void CListDlg::OnShowEvent()
{
    m_filter.normalShown = false;
    m_filter.eventShown = true;
    UpdateFilterImages();
    FilterAndSortEntries();
}

void CListDlg::OnShowAll()
{
    m_filter.normalShown = true;
    m_filter.eventShown = true;
    UpdateFilterImages();
    FilterAndSortEntries();
}

void CListDlg::OnToggleOrder()
{
    m_filter.sortDescending = !m_filter.sortDescending;
    const int image = m_filter.sortDescending ? kDescendingImage : kAscendingImage;
    m_orderButton->SetImages(image, image);
    FilterAndSortEntries();
    // The current recording keeps its selection: its row is mirrored. With no
    // recording loaded there is nothing to mirror.
    if (m_currentIndex != nullptr && *m_currentIndex >= 0) {
        *m_currentIndex = ItemCount() - *m_currentIndex - 1;
        SelectOnly(*m_currentIndex);
    }
    FocusList();
}

void CListDlg::OnClose()
{
    m_closeRequest = true;
}

void CListDlg::OnListClicked()
{
    const int mark = SelectionMark();
    m_list->viewport()->update();
    update();
    if (mark >= 0)
        m_list->setCurrentCell(mark, 0, QItemSelectionModel::NoUpdate);
    m_activateRequest = true;
}

void CListDlg::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    if (!m_background.isNull())
        painter.drawImage(QPoint(0, 0), m_background);
}

void CListDlg::mousePressEvent(QMouseEvent* event)
{
    // The background works as a caption bar.
    if (event->button() == Qt::LeftButton) {
        if (QWindow* window = windowHandle())
            window->startSystemMove();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CListDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape would end the dialog; the window hides only by its buttons.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CListDlg::closeEvent(QCloseEvent* event)
{
    // Closed by the window system (a key or a panel): treated as the X button, so the
    // main window's record of whether the list is shown stays true.
    event->ignore();
    m_closeRequest = true;
}

} // namespace velomira
