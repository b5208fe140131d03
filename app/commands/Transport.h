#pragma once

#include <functional>
#include <string>

#include <QPoint>

#include "playback/TransportState.h"

class QObject;

namespace velomira {

class CListDlg;
class CSamplePlayerDlg;
class CTextData;
class DriveRoots;
class MapPosition;
class PlayerPort;

// Loading a recording and the transport commands of the main window: play and pause,
// stop, previous and next, one-second skips, double speed, the position slider and the
// position band under the video, volume and mute. Recordings are addressed through the
// list window's visible list; `currentIndex` names the loaded entry. Every command gives
// the keyboard focus back to the list so the arrow keys keep moving through recordings.
class Transport {
public:
    Transport(PlayerPort& player, CSamplePlayerDlg& window, CListDlg& list, CTextData& store,
        TransportState& state);

    // The map panes to refresh and reset (none: not called).
    void SetMap(MapPosition* map) { m_map = map; }
    // Timer 100: started by Play and resume, stopped before the invalid-file message of
    // the last entry.
    void SetTimerControl(std::function<void()> start, std::function<void()> stop);
    // The drive letters that card paths ("E:\NORMAL\...") are opened through.
    void SetDriveRoots(const DriveRoots* drives) { m_drives = drives; }
    // One tick, run after a skip or seek.
    void SetTick(std::function<void()> tick) { m_tick = std::move(tick); }
    // Connects the window's transport controls to the commands below.
    // Connections live as long as `context`.
    void ConnectControls(QObject& context);

    // Opens `path` in the player and reads its telemetry; true when both succeeded.
    bool LoadRecording(const std::string& path);

    void OnPlay();
    void OnStop();
    void OnPrevious();
    void OnNext();
    void OnSkipBack();
    void OnSkipForward();
    void OnSpeed();
    // The position slider's page steps (seek to the slider) and thumb moves.
    void OnPositionPage();
    void OnPositionThumb();
    // The volume slider moved by the user.
    void OnVolumeSlider();
    // The mute button after its click.
    void OnMute();
    // A left-button press or drag on the window: seeks when inside the position band.
    void OnWindowLeftButton(QPoint clientPoint);

    // Applies the wave-output level of slider value `v`.
    void SetWaveOutFromSlider(int v);

    // The file a list entry's path names: a card path ("E:\NORMAL\...") through the drive
    // letters, an imported file as it is; empty when its drive is not there.
    std::string PlayerPath(const std::string& entryPath) const;

private:
    void ShowPlayLook(bool playing);
    void HidePlaceholders();
    void ResetZoom();
    void ApplyPlayerVolume();
    void ApplyWaveOutVolume();
    void RunTick();
    void FocusListWindow();
    bool MuteChecked() const;
    void StartPlaying();

    PlayerPort& m_player;
    CSamplePlayerDlg& m_window;
    CListDlg& m_list;
    CTextData& m_store;
    TransportState& m_state;
    MapPosition* m_map = nullptr;
    const DriveRoots* m_drives = nullptr;
    std::function<void()> m_startTimer;
    std::function<void()> m_stopTimer;
    std::function<void()> m_tick;
};

} // namespace velomira
