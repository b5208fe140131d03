#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QMenu;
class QObject;
class QPoint;
class QWidget;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class FileDialogService;
class Transport;
struct NamedTrack;
struct TransportState;

// The right-click menu of the video views and the list rows: export the recording's
// track, save a snapshot of the picture on screen, cut a clip between two marks, and for a
// recording cut short by a power loss save a repaired copy.
// Every result is a file the user names; each is written whole or not at all.
class ExportCommands {
public:
    ExportCommands(CSamplePlayerDlg& window, CListDlg& list, const TransportState& state,
        const Transport& transport, FileDialogService& dialogs);

    // Gives the video views and the list's rows their menu.
    void ConnectControls(QObject& context);

    // The menu for the list entry `row` (the loaded entry for the video views), in the
    // window's language. Owned by `parent`.
    QMenu* BuildMenu(int row, QWidget* parent);

    // The commands, on list entry `row`. A snapshot is taken at the play position when
    // `row` is the loaded entry, else at its start; the marks belong to the loaded entry.
    void ExportTrack(int row);
    void SaveSnapshot(int row);
    void MarkStart();
    void MarkEnd();
    void SaveClip();
    // Writes a trip's track as GPX or KML, to a file the user names.
    void ExportTrip(const NamedTrack& track);
    // The list rows' menu also opens the trips window.
    void SetOpenTrips(std::function<void()> openTrips) { m_openTrips = std::move(openTrips); }
    // A complete copy of the recording of `row`, cut short by a power loss, in a folder
    // the user picks.
    void SaveRepairedCopy(int row);

    std::optional<std::uint32_t> clipStartMs() const { return m_startMs; }
    std::optional<std::uint32_t> clipEndMs() const { return m_endMs; }

private:
    // The recording of `row` as a file path; empty when there is none.
    std::string RecordingPath(int row) const;
    std::uint32_t PositionFor(int row) const;
    void ShowMenu(int row, QWidget* over, const QPoint& at);
    void ReportSaved(const std::string& what);
    void ReportNotSaved(const std::string& why);
    // Forgets marks made on another recording than the loaded one.
    void DropStaleMarks();

    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    const TransportState& m_state;
    const Transport& m_transport;
    FileDialogService& m_dialogs;
    std::string m_markedPath;
    std::optional<std::uint32_t> m_startMs;
    std::optional<std::uint32_t> m_endMs;
    std::function<void()> m_openTrips;
};

} // namespace velomira
