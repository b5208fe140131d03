#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include <QWidget>

#include "telemetry/TrackExport.h"
#include "trips/TrackCollector.h"
#include "trips/TripBook.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWebEngineProfile;

namespace velomira {

class TripsMapView;

// The trips window: every trip of the card in a list (newest first, with its figures) and
// on one map. The card's tracks are read in the background while the window is open; trips
// appear as they become complete. A click on a track or mark asks for the nearest moment to
// be played; the window itself plays nothing. Keeps nothing between openings.
class CTripsDlg : public QWidget {
    Q_OBJECT
public:
    using Reader = TrackCollector::Reader;

    // `profile` serves the map page (no map without one); `reader` reads one file's track.
    CTripsDlg(QWebEngineProfile* profile, Reader reader, QWidget* parent = nullptr);
    ~CTripsDlg() override;

    void SetLanguage(int language, int speedUnit);
    // Asked to play `source` from `offsetMs` (the map was clicked, a row double-clicked).
    void SetPlayHandler(std::function<void(const TripSource& source, std::uint32_t offsetMs)> play)
    {
        m_play = std::move(play);
    }
    // Asked to save a trip's track (the export button).
    void SetExportHandler(std::function<void(const NamedTrack& track)> exportTrip)
    {
        m_export = std::move(exportTrip);
    }

    // Forgets what was shown and reads the card of `cardDrive` ("E:"); an empty drive
    // leaves the window empty, saying there is no card.
    void LoadCard(const std::string& cardDrive, const DriveRoots& drives);
    // Stops reading at once and empties the window.
    void ClearCard();

    // The car's place while a recording plays; HideCar when nothing plays.
    void ShowCarAt(double latitude, double longitude);
    void HideCar();

    // What the page reported: a click at a point of trip `key`.
    void OnMapPick(std::size_t key, double latitude, double longitude);

    QTableWidget* tripList() const { return m_list; }
    QProgressBar* progress() const { return m_progress; }
    TripsMapView* mapView() const { return m_map; }
    const TripBook* book() const { return m_book.get(); }
    bool loading() const { return m_collector != nullptr; }
    // The key of the selected row's trip, or nothing.
    std::optional<std::size_t> SelectedTrip() const;
    void SelectTrip(std::size_t key);

signals:
    // A trip has been drawn on the map (its script ran); `drawn` counts them.
    void tripDrawn(int drawn);
    // Every track of the card has been read and every trip listed.
    void loadFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnResults();
    void ShowSettledTrips();
    void RebuildRows();
    void OnRowSelected();
    void OnRowActivated();
    void OnExport();
    void ApplyTexts();
    QString MarkTooltip(const TripSource& source, const TripMark& mark) const;
    std::string TripPageData(const Trip& trip) const;

    Reader m_reader;
    std::function<void(const TripSource&, std::uint32_t)> m_play;
    std::function<void(const NamedTrack&)> m_export;
    int m_language = 1;
    int m_speedUnit = 0;
    QTableWidget* m_list = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_exportButton = nullptr;
    TripsMapView* m_map = nullptr;
    std::unique_ptr<TripBook> m_book;
    std::unique_ptr<TrackCollector> m_collector;
    std::set<std::size_t> m_listed; // keys of the trips in the list and on the map
    int m_drawn = 0;
};

} // namespace velomira
