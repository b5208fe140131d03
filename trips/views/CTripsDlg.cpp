#include "trips/views/CTripsDlg.h"

#include <thread>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "texts/TripTexts.h"
#include "trips/TripFormat.h"
#include "trips/views/TripsMapView.h"

namespace velomira {

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;

enum Column {
    kStart,
    kEnd,
    kDuration,
    kDistance,
    kMaxSpeed,
    kAverageSpeed,
    kRecordings,
    kEvents,
    kMarks,
    kColumnCount
};
constexpr TripText kColumnTexts[kColumnCount]
    = { TripText::Start, TripText::End, TripText::Duration, TripText::Distance, TripText::MaxSpeed,
          TripText::AverageSpeed, TripText::Recordings, TripText::Events, TripText::Marks };

TripText MarkText(MarkKind kind)
{
    switch (kind) {
    case MarkKind::HardMove:
        return TripText::HardMove;
    case MarkKind::LaneDepartureLeft:
        return TripText::LaneDepartureLeft;
    case MarkKind::LaneDepartureRight:
        return TripText::LaneDepartureRight;
    case MarkKind::ForwardCollision:
        return TripText::ForwardCollision;
    }
    return TripText::HardMove;
}

// "4", or "4 (1 cannot be read)" when some recordings of the trip have no track.
std::string RecordingsText(const TripFigures& f, int language)
{
    std::string text = std::to_string(f.recordingCount);
    if (f.unreadable > 0)
        text += " (" + std::to_string(f.unreadable) + " " + TripLabel(TripText::NoTrack, language)
            + ")";
    return text;
}

QString Text(TripText text, int language)
{
    return QString::fromStdString(TripLabel(text, language));
}

} // namespace

CTripsDlg::CTripsDlg(QWebEngineProfile* profile, Reader reader, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_reader(std::move(reader))
{
    setObjectName(QStringLiteral("CTripsDlg"));
    resize(1200, 800);
    setMinimumSize(640, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    m_list = new QTableWidget(0, kColumnCount, splitter);
    m_list->setObjectName(QStringLiteral("tripList"));
    m_list->verticalHeader()->hide();
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->horizontalHeader()->setStretchLastSection(true);
    splitter->addWidget(m_list);
    if (profile != nullptr) {
        m_map = new TripsMapView(profile, splitter);
        m_map->setObjectName(QStringLiteral("tripsMap"));
        m_map->SetPickHandler(
            [this](const MapPick& pick) { OnMapPick(pick.trip, pick.latitude, pick.longitude); });
        splitter->addWidget(m_map);
        // The map takes most of the height; the list keeps room for a handful of rows.
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 1);
        splitter->setSizes({ 200, 600 });
    }
    layout->addWidget(splitter, 1);

    auto* bottom = new QHBoxLayout;
    m_status = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("tripsProgress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_exportButton = new QPushButton(this);
    m_exportButton->setObjectName(QStringLiteral("exportTrip"));
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_progress, 2);
    bottom->addWidget(m_exportButton);
    layout->addLayout(bottom);

    connect(m_list, &QTableWidget::itemSelectionChanged, this, &CTripsDlg::OnRowSelected);
    connect(m_list, &QTableWidget::itemActivated, this, [this] { OnRowActivated(); });
    connect(m_exportButton, &QPushButton::clicked, this, &CTripsDlg::OnExport);
    ApplyTexts();
}

CTripsDlg::~CTripsDlg()
{
    // The workers end before anything they could wake goes away.
    m_collector.reset();
}

void CTripsDlg::SetLanguage(int language, int speedUnit)
{
    m_language = language;
    m_speedUnit = speedUnit;
    ApplyTexts();
    RebuildRows();
}

void CTripsDlg::ApplyTexts()
{
    setWindowTitle(Text(TripText::Trips, m_language));
    QStringList headers;
    for (const TripText text : kColumnTexts)
        headers << Text(text, m_language);
    m_list->setHorizontalHeaderLabels(headers);
    m_exportButton->setText(Text(TripText::ExportTrip, m_language));
    m_progress->setFormat(Text(TripText::Reading, m_language));
}

void CTripsDlg::ClearCard()
{
    m_collector.reset();
    m_book.reset();
    m_listed.clear();
    m_drawn = 0;
    m_list->setRowCount(0);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_status->clear();
    if (m_map != nullptr)
        m_map->Run(QStringLiteral("dropAll()"));
}

void CTripsDlg::LoadCard(const std::string& cardDrive, const DriveRoots& drives)
{
    ClearCard();
    if (cardDrive.empty()) {
        m_status->setText(Text(TripText::NoCard, m_language));
        return;
    }
    m_book = std::make_unique<TripBook>(CardTripSources(cardDrive, drives));
    const std::size_t count = m_book->sources().size();
    m_progress->setRange(0, static_cast<int>(count));
    if (count == 0) {
        emit loadFinished();
        return;
    }
    m_collector = std::make_unique<TrackCollector>(m_book->FilesNewestFirst(), m_reader,
        std::max(1u, std::thread::hardware_concurrency()), [this] {
            // On a worker: one queued call to this window, dropped if the window is gone.
            QMetaObject::invokeMethod(
                this, [this] { OnResults(); }, Qt::QueuedConnection);
        });
}

void CTripsDlg::OnResults()
{
    if (!m_collector || !m_book)
        return;
    for (auto& [position, track] : m_collector->TakeResults())
        m_book->SetTrack(m_book->SourceOfNewest(position), std::move(track));
    const std::size_t read = m_collector->readCount();
    m_progress->setValue(static_cast<int>(read));
    ShowSettledTrips();
    if (read == m_collector->fileCount() && m_collector->TakeResults().empty()) {
        m_collector.reset();
        emit loadFinished();
    }
}

void CTripsDlg::ShowSettledTrips()
{
    bool added = false;
    for (const Trip& trip : m_book->Regroup()) {
        const std::size_t key = TripBook::KeyOf(trip);
        if (m_listed.contains(key) || !m_book->IsSettled(trip))
            continue;
        m_listed.insert(key);
        added = true;
        if (m_map != nullptr) {
            m_map->Run(
                QStringLiteral("putTrip(%1)").arg(QString::fromStdString(TripPageData(trip))),
                [this](const QVariant&) { emit tripDrawn(++m_drawn); });
        }
    }
    if (added)
        RebuildRows();
}

void CTripsDlg::RebuildRows()
{
    if (!m_book)
        return;
    const auto selected = SelectedTrip();
    const QSignalBlocker block(m_list);
    m_list->setRowCount(0);
    for (const Trip& trip : m_book->trips()) {
        const std::size_t key = TripBook::KeyOf(trip);
        if (!m_listed.contains(key))
            continue;
        const TripFigures f = ComputeTripFigures(m_book->Members(trip));
        const std::string cells[kColumnCount] = { StampText(f.startMs), StampText(f.endMs),
            FormatTripDuration(f.durationMs()), FormatTripDistance(f.distanceMetres, m_speedUnit),
            FormatTripSpeed(f.maxSpeedKmh, m_speedUnit),
            FormatTripSpeed(f.averageMovingKmh, m_speedUnit), RecordingsText(f, m_language),
            std::to_string(f.eventRecordings), std::to_string(f.marks) };
        const int row = m_list->rowCount();
        m_list->insertRow(row);
        for (int c = 0; c < kColumnCount; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[c]));
            item->setData(kKeyRole, static_cast<qulonglong>(key));
            m_list->setItem(row, c, item);
        }
        if (selected == key)
            m_list->selectRow(row);
    }
}

std::optional<std::size_t> CTripsDlg::SelectedTrip() const
{
    const auto rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    const QTableWidgetItem* item = m_list->item(rows.front().row(), 0);
    if (item == nullptr)
        return std::nullopt;
    return static_cast<std::size_t>(item->data(kKeyRole).toULongLong());
}

void CTripsDlg::SelectTrip(std::size_t key)
{
    for (int row = 0; row < m_list->rowCount(); ++row) {
        if (m_list->item(row, 0)->data(kKeyRole).toULongLong() == key) {
            m_list->selectRow(row);
            return;
        }
    }
}

void CTripsDlg::OnRowSelected()
{
    const auto key = SelectedTrip();
    if (key && m_map != nullptr)
        m_map->Run(QStringLiteral("selectTrip(%1)").arg(static_cast<qulonglong>(*key)));
}

void CTripsDlg::OnRowActivated()
{
    const auto key = SelectedTrip();
    const Trip* trip = key && m_book ? m_book->FindTrip(*key) : nullptr;
    if (trip != nullptr && m_play)
        m_play(m_book->sources()[trip->recordings.front()], 0);
}

void CTripsDlg::OnMapPick(std::size_t key, double latitude, double longitude)
{
    const Trip* trip = m_book ? m_book->FindTrip(key) : nullptr;
    if (trip == nullptr)
        return;
    const auto moment = NearestMoment(m_book->Members(*trip), latitude, longitude);
    if (!moment)
        return;
    if (SelectedTrip() != key)
        SelectTrip(key);
    if (m_play)
        m_play(m_book->sources()[trip->recordings[moment->recording]], moment->offsetMs);
}

void CTripsDlg::ShowCarAt(double latitude, double longitude)
{
    if (m_map != nullptr && isVisible())
        m_map->Run(QStringLiteral("follow(%1, %2)")
                       .arg(QString::number(latitude, 'f', 7), QString::number(longitude, 'f', 7)));
}

void CTripsDlg::HideCar()
{
    if (m_map != nullptr && isVisible())
        m_map->Run(QStringLiteral("hideCar()"));
}

void CTripsDlg::OnExport()
{
    const auto key = SelectedTrip();
    const Trip* trip = key && m_book ? m_book->FindTrip(*key) : nullptr;
    if (trip == nullptr || !m_export)
        return;
    NamedTrack track;
    track.name = StampText(m_book->sources()[trip->recordings.front()].stampSeconds * 1000);
    for (const std::size_t index : trip->recordings) {
        const RecordingTrack* recording = m_book->TrackOf(index);
        if (recording == nullptr || recording->fixes.empty())
            continue;
        auto& segment = track.segments.emplace_back();
        for (const TrackFix& fix : recording->fixes)
            segment.push_back({ { fix.latitude, fix.longitude },
                fix.time.empty() ? std::nullopt : std::optional<std::string>(fix.time) });
    }
    m_export(track);
}

QString CTripsDlg::MarkTooltip(const TripSource& source, const TripMark& mark) const
{
    const std::string clock = StampText(source.stampSeconds * 1000 + mark.offsetMs).substr(11);
    return QString::fromStdString(clock + " · " + FormatTripSpeed(mark.speedKmh, m_speedUnit)
        + " · " + TripLabel(MarkText(mark.kind), m_language));
}

std::string CTripsDlg::TripPageData(const Trip& trip) const
{
    const std::vector<TripRecording> members = m_book->Members(trip);
    QJsonArray lines;
    for (const TripLine& line : TripLines(members)) {
        QJsonArray points;
        for (const TrackFix* fix : line.fixes)
            points.append(QJsonArray { fix->latitude, fix->longitude });
        lines.append(QJsonObject { { QStringLiteral("e"), members[line.recording].event },
            { QStringLiteral("p"), points } });
    }
    QJsonArray marks;
    for (std::size_t r = 0; r < members.size(); ++r) {
        const TripSource& source = m_book->sources()[trip.recordings[r]];
        for (const TripMark* mark : TripMarks(members, r)) {
            if (mark->placed)
                marks.append(QJsonArray { mark->latitude, mark->longitude,
                    static_cast<int>(mark->kind), MarkTooltip(source, *mark) });
        }
    }
    const QJsonObject data { { QStringLiteral("id"), static_cast<qint64>(TripBook::KeyOf(trip)) },
        { QStringLiteral("lines"), lines }, { QStringLiteral("marks"), marks } };
    return QJsonDocument(data).toJson(QJsonDocument::Compact).toStdString();
}

void CTripsDlg::closeEvent(QCloseEvent* event)
{
    ClearCard();
    QWidget::closeEvent(event);
}

} // namespace velomira
