#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class QObject;
class QWebEngineProfile;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class CTextData;
class CTripsDlg;
class DriveRoots;
class PlayerPort;
class Transport;
struct CardValues;
struct NamedTrack;
struct TransportState;
struct TripSource;

// The trips window's commands: opening it from the list window (its TRIPS button and its
// rows' menu), reading the card again when the card changes, playing the moment the window
// asks for in the main window (the list's selection follows) and moving the window's car
// while a recording plays.
class TripsCommand {
public:
    struct Parts {
        CSamplePlayerDlg& window;
        CListDlg& list;
        Transport& transport;
        PlayerPort& player;
        TransportState& state;
        const CardValues& card;
        const DriveRoots& drives;
        const CTextData& store;
        QWebEngineProfile* profile; // the map panes' profile; null: the window has no map
        std::function<void()> tick; // one refresh of the main window after a seek
        std::function<void(const NamedTrack&)> exportTrip;
    };
    explicit TripsCommand(Parts parts);
    ~TripsCommand();

    // Connects the list window's TRIPS button; connections live as long as `context`.
    void ConnectControls(QObject& context);

    // Shows the window (made on first use) and reads the card anew.
    void OpenTrips();
    // The card was opened or went away: an open window reads it again.
    void OnCardChanged();
    // Plays `source` from `offsetMs` in the main window.
    void PlayAt(const TripSource& source, std::uint32_t offsetMs);
    // The tick: the window's car follows the play position.
    void FollowCar();
    // Gives the TRIPS button its text in the window's language.
    void ApplyLanguage();

    CTripsDlg* tripsWindow() const { return m_trips.get(); }

private:
    int FindRow(const std::string& entryPath) const;

    Parts m_parts;
    std::unique_ptr<CTripsDlg> m_trips;
};

} // namespace velomira
