#include "app/commands/ExportCommands.h"

#include <algorithm>
#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTableWidget>

#include "app/CSamplePlayerDlg.h"
#include "app/ClockText.h"
#include "app/commands/Transport.h"
#include "export/SnapshotFile.h"
#include "library/CListDlg.h"
#include "library/FileDialogService.h"
#include "playback/RecordingTelemetry.h"
#include "playback/TransportState.h"
#include "playback/ffmpeg/ClipCutter.h"
#include "playback/ffmpeg/RecordingRepair.h"
#include "playback/views/CPlxVideoView.h"
#include "settings/CardFiles.h"
#include "telemetry/CTextData.h"
#include "telemetry/TrackExport.h"
#include "texts/ExportTexts.h"
#include "texts/RepairTexts.h"
#include "texts/TextCatalogue.h"
#include "texts/TripTexts.h"

namespace velomira {

namespace {

std::string Stem(const std::string& path)
{
    return std::filesystem::path(path).stem().string();
}

// A path in the user's folder of `kind` for a file named `name`.
std::string Suggested(QStandardPaths::StandardLocation kind, const std::string& name)
{
    const QString folder = QStandardPaths::writableLocation(kind);
    return (std::filesystem::path(folder.toStdString()) / name).string();
}

// "name.jpg" -> "name_rear.jpg".
std::string RearName(const std::string& path)
{
    const std::filesystem::path p(path);
    return (p.parent_path() / (p.stem().string() + "_rear" + p.extension().string())).string();
}

} // namespace

ExportCommands::ExportCommands(CSamplePlayerDlg& window, CListDlg& list,
    const TransportState& state, const Transport& transport, FileDialogService& dialogs)
    : m_window(window)
    , m_list(list)
    , m_state(state)
    , m_transport(transport)
    , m_dialogs(dialogs)
{ }

void ExportCommands::ConnectControls(QObject& context)
{
    for (CPlxVideoView* view : { m_window.frontView(), m_window.rearView() }) {
        if (view == nullptr)
            continue;
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(view, &QWidget::customContextMenuRequested, &context,
            [this, view](const QPoint& at) { ShowMenu(m_state.currentIndex, view, at); });
    }
    QTableWidget* rows = m_list.visibleList();
    rows->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        rows, &QWidget::customContextMenuRequested, &context, [this, rows](const QPoint& at) {
            const int row = rows->rowAt(at.y());
            if (row >= 0)
                ShowMenu(row, rows->viewport(), at);
        });
}

void ExportCommands::ShowMenu(int row, QWidget* over, const QPoint& at)
{
    if (RecordingPath(row).empty())
        return;
    QMenu* menu = BuildMenu(row, over);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(over->mapToGlobal(at));
}

QMenu* ExportCommands::BuildMenu(int row, QWidget* parent)
{
    DropStaleMarks();
    const int language = m_window.language();
    const auto label = [language](ExportText text) {
        return QString::fromStdString(ExportLabel(text, language));
    };
    auto* menu = new QMenu(parent);
    // The dark look of the windows it opens over.
    menu->setStyleSheet(QStringLiteral(
        "QMenu { background: #1c2026; color: #dee4ea; border: 1px solid #38414b; padding: 3px; }"
        "QMenu::item { padding: 4px 22px 4px 14px; }"
        "QMenu::item:selected { background: #2f7fc1; color: #ffffff; }"
        "QMenu::item:disabled { color: #6b7580; }"));
    QObject::connect(menu->addAction(label(ExportText::ExportTrack)), &QAction::triggered, menu,
        [this, row] { ExportTrack(row); });
    QObject::connect(menu->addAction(label(ExportText::SaveSnapshot)), &QAction::triggered, menu,
        [this, row] { SaveSnapshot(row); });
    if (LooksCutShort(RecordingPath(row))) {
        QObject::connect(menu->addAction(QString::fromStdString(
                             RepairLabel(RepairText::SaveRepairedCopy, language))),
            &QAction::triggered, menu, [this, row] { SaveRepairedCopy(row); });
    }
    // Marks and clips belong to the loaded recording: they show on its menu only.
    if (row == m_state.currentIndex && !RecordingPath(row).empty()) {
        QMenu* clip = menu->addMenu(label(ExportText::CutClip));
        const auto withTime = [](QString text, const std::optional<std::uint32_t>& ms) {
            return ms ? text + QStringLiteral("  ") + QString::fromStdString(ClockText(*ms)) : text;
        };
        QObject::connect(clip->addAction(withTime(label(ExportText::MarkStart), m_startMs)),
            &QAction::triggered, menu, [this] { MarkStart(); });
        QObject::connect(clip->addAction(withTime(label(ExportText::MarkEnd), m_endMs)),
            &QAction::triggered, menu, [this] { MarkEnd(); });
        QAction* save = clip->addAction(label(ExportText::SaveClip));
        save->setEnabled(m_startMs && m_endMs && *m_endMs > *m_startMs);
        QObject::connect(save, &QAction::triggered, menu, [this] { SaveClip(); });
    }
    if (m_openTrips && parent == m_list.visibleList()->viewport()) {
        menu->addSeparator();
        QObject::connect(
            menu->addAction(QString::fromStdString(TripLabel(TripText::Trips, language))),
            &QAction::triggered, menu, [this] { m_openTrips(); });
    }
    return menu;
}

std::string ExportCommands::RecordingPath(int row) const
{
    if (row < 0 || row >= m_list.ItemCount())
        return {};
    return m_transport.PlayerPath(m_list.ItemText(row, 3).toStdString());
}

std::uint32_t ExportCommands::PositionFor(int row) const
{
    return row == m_state.currentIndex ? m_state.positionMs : 0;
}

void ExportCommands::ExportTrack(int row)
{
    const std::string recording = RecordingPath(row);
    if (recording.empty())
        return;
    const int language = m_window.language();
    const auto chosen = m_dialogs.SaveFile(ExportLabel(ExportText::ExportTrack, language),
        Suggested(QStandardPaths::DocumentsLocation, Stem(recording) + ".gpx"),
        ExportLabel(ExportText::TrackFileTypes, language));
    if (!chosen)
        return;
    std::string path = *chosen;
    // A name without a known type gets GPX, the most widely read.
    if (!TrackFormatOfFileName(path))
        path += ".gpx";
    CTextData store;
    if (!LoadRecordingTelemetry(recording, store)) {
        ReportNotSaved(recording);
        return;
    }
    const std::string text = TrackExportText(store, *TrackFormatOfFileName(path), Stem(recording));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!WriteFileAtomically(path, std::span(bytes, text.size()))) {
        ReportNotSaved(path);
        return;
    }
    ReportSaved(path);
}

void ExportCommands::ExportTrip(const NamedTrack& track)
{
    const int language = m_window.language();
    std::string name = track.name;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == ' ' || c == ':'; }, '-');
    const auto chosen = m_dialogs.SaveFile(TripLabel(TripText::ExportTrip, language),
        Suggested(QStandardPaths::DocumentsLocation, name + ".gpx"),
        TripLabel(TripText::TrackFileTypes, language));
    if (!chosen)
        return;
    std::string path = *chosen;
    auto format = TrackFormatOfFileName(path);
    // Only GPX and KML hold a trip; any other name gets GPX.
    if (!format || *format == TrackFormat::Csv) {
        path += ".gpx";
        format = TrackFormat::Gpx;
    }
    const std::string text = *format == TrackFormat::Kml ? TrackKml(track) : TracksGpx({ track });
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!WriteFileAtomically(path, std::span(bytes, text.size()))) {
        ReportNotSaved(path);
        return;
    }
    ReportSaved(path);
}

void ExportCommands::SaveSnapshot(int row)
{
    const std::string recording = RecordingPath(row);
    if (recording.empty())
        return;
    const std::uint32_t positionMs = PositionFor(row);
    const int language = m_window.language();
    const auto chosen = m_dialogs.SaveFile(ExportLabel(ExportText::SaveSnapshot, language),
        Suggested(QStandardPaths::PicturesLocation,
            Stem(recording) + "_" + std::to_string(positionMs) + "ms.jpg"),
        ExportLabel(ExportText::SnapshotFileTypes, language));
    if (!chosen)
        return;
    std::string path = *chosen;
    const std::string extension = std::filesystem::path(path).extension().string();
    if (QString::fromStdString(extension).compare(".png", Qt::CaseInsensitive) != 0
        && QString::fromStdString(extension).compare(".jpg", Qt::CaseInsensitive) != 0
        && QString::fromStdString(extension).compare(".jpeg", Qt::CaseInsensitive) != 0)
        path += ".jpg";
    std::string error;
    if (!SnapshotRecording(recording, 0, positionMs, path, error)) {
        ReportNotSaved(error);
        return;
    }
    std::string saved = path;
    // The rear picture, where the recording has one, goes beside it.
    const std::string rear = RearName(path);
    if (SnapshotRecording(recording, 1, positionMs, rear, error))
        saved += "\n" + rear;
    ReportSaved(saved);
}

void ExportCommands::DropStaleMarks()
{
    const std::string loaded = RecordingPath(m_state.currentIndex);
    if (loaded != m_markedPath) {
        m_markedPath = loaded;
        m_startMs.reset();
        m_endMs.reset();
    }
}

void ExportCommands::MarkStart()
{
    DropStaleMarks();
    m_startMs = m_state.positionMs;
}

void ExportCommands::MarkEnd()
{
    DropStaleMarks();
    m_endMs = m_state.positionMs;
}

void ExportCommands::SaveClip()
{
    DropStaleMarks();
    if (m_markedPath.empty() || !m_startMs || !m_endMs || *m_endMs <= *m_startMs)
        return;
    const int language = m_window.language();
    const std::string extension = std::filesystem::path(m_markedPath).extension().string();
    const auto chosen = m_dialogs.SaveFile(ExportLabel(ExportText::SaveClip, language),
        Suggested(QStandardPaths::MoviesLocation,
            Stem(m_markedPath) + "_" + std::to_string(*m_startMs / 1000) + "-"
                + std::to_string(*m_endMs / 1000) + extension),
        "(*" + extension + ")");
    if (!chosen)
        return;
    std::string path = *chosen;
    if (std::filesystem::path(path).extension().string() != extension)
        path += extension;

    QProgressDialog progress(QString::fromStdString(ExportLabel(ExportText::Cutting, language)),
        QString::fromStdString(ExportLabel(ExportText::Cancel, language)), 0, 1000, &m_window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const ClipCut cut = CutClip(m_markedPath, *m_startMs, *m_endMs, path, [&progress](double done) {
        progress.setValue(static_cast<int>(done * 1000));
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    if (cut.status == ClipCut::Status::Cancelled)
        return;
    if (cut.status != ClipCut::Status::Written) {
        ReportNotSaved(cut.message);
        return;
    }
    ReportSaved(path);
}

void ExportCommands::SaveRepairedCopy(int row)
{
    const std::string recording = RecordingPath(row);
    if (recording.empty())
        return;
    const int language = m_window.language();
    const auto folder = m_dialogs.ChooseFolder(RepairLabel(RepairText::SaveRepairedCopy, language));
    if (!folder)
        return;
    const std::filesystem::path source(recording);
    std::filesystem::path target = std::filesystem::path(*folder) / source.filename();
    // Never over the recording itself: beside it the copy gets a name of its own.
    std::error_code error;
    if (std::filesystem::equivalent(source.parent_path(), *folder, error))
        target = std::filesystem::path(*folder)
            / (source.stem().string() + "_repaired" + source.extension().string());

    QProgressDialog progress(QString::fromStdString(RepairLabel(RepairText::Repairing, language)),
        QString::fromStdString(ExportLabel(ExportText::Cancel, language)), 0, 1000, &m_window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const RepairResult repair = RepairRecording(
        recording, target.string(), {}, [&progress](std::uint64_t done, std::uint64_t total) {
            progress.setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 0);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.reset();
    if (repair.status == RepairResult::Status::Cancelled)
        return;
    if (repair.status != RepairResult::Status::Written) {
        ReportNotSaved(repair.message);
        return;
    }
    ReportSaved(target.string());
}

void ExportCommands::ReportSaved(const std::string& what)
{
    MessageBoxRequest box;
    box.text = FillPlaceholder(ExportLabel(ExportText::Saved, m_window.language()), what);
    box.icon = MessageIcon::Information;
    m_window.messages().Show(box);
    m_list.FocusList();
}

void ExportCommands::ReportNotSaved(const std::string& why)
{
    MessageBoxRequest box;
    box.text = FillPlaceholder(ExportLabel(ExportText::NotSaved, m_window.language()), why);
    box.icon = MessageIcon::Exclamation;
    m_window.messages().Show(box);
    m_list.FocusList();
}

} // namespace velomira
