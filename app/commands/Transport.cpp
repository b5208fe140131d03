// The transport commands: play and pause, stop, previous and next, skips and speed.
#include "app/commands/Transport.h"

#include <QLabel>
#include <QTableWidget>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"
#include "library/CListDlg.h"
#include "map/MapPosition.h"
#include "playback/PlayerPort.h"
#include "playback/PlayerResults.h"
#include "playback/TelemetryPull.h"
#include "playback/views/CPlxVideoView.h"
#include "skin/CBitSlider.h"
#include "skin/CBitmapButton.h"
#include "skin/CSkinButton.h"

namespace velomira {

namespace {

constexpr int kPlayNormalImage = 416;
constexpr int kPlayPressedImage = 417;
constexpr int kPauseNormalImage = 426;
constexpr int kPausePressedImage = 440;

} // namespace

Transport::Transport(PlayerPort& player, CSamplePlayerDlg& window, CListDlg& list, CTextData& store,
    TransportState& state)
    : m_player(player)
    , m_window(window)
    , m_list(list)
    , m_store(store)
    , m_state(state)
{ }

void Transport::SetTimerControl(std::function<void()> start, std::function<void()> stop)
{
    m_startTimer = std::move(start);
    m_stopTimer = std::move(stop);
}

void Transport::ShowPlayLook(bool playing)
{
    if (CBitmapButton* play = m_window.Button(1006)) {
        if (playing)
            play->SetImages(kPauseNormalImage, kPausePressedImage);
        else
            play->SetImages(kPlayNormalImage, kPlayPressedImage);
        play->setText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
        play->update();
    }
}

void Transport::HidePlaceholders()
{
    m_window.frontPlaceholder()->hide();
    m_window.rearPlaceholder()->hide();
}

void Transport::ResetZoom()
{
    m_window.frontView()->ResetZoom();
    m_window.rearView()->ResetZoom();
}

void Transport::ApplyPlayerVolume()
{
    m_window.Slider(1004)->setValue(m_state.volume);
    m_player.SetVolume(m_state.volume);
}

bool Transport::MuteChecked() const
{
    const CSkinButton* mute = m_window.MuteButton();
    return mute != nullptr && mute->GetCheck();
}

void Transport::ApplyWaveOutVolume()
{
    m_player.SetWaveOutVolume(MuteChecked() ? 0 : WaveOutVolumeFor(m_state.volume));
}

void Transport::RunTick()
{
    if (m_tick)
        m_tick();
}

void Transport::FocusListWindow()
{
    m_list.FocusList();
}

void Transport::OnPlay()
{
    const int state = m_player.State();
    ApplyPlayerVolume();
    if (state == kStatePaused && m_list.activateRequest()) {
        // A click in the list while paused: play the clicked entry instead.
        OnStop();
        OnPlay();
        return;
    }
    if (state == kStatePaused) {
        ShowPlayLook(true);
        m_player.Run();
        m_player.SetRate(static_cast<float>(m_state.speed));
        if (m_startTimer)
            m_startTimer();
    } else if (state == kStateRunning && !m_list.activateRequest()) {
        ShowPlayLook(false);
        m_player.Pause();
    } else {
        StartPlaying();
    }
    if (m_window.screenMode() == kWindowed && m_map != nullptr)
        m_map->RefreshVisibleMapPane();
    FocusListWindow();
}

void Transport::StartPlaying()
{
    HidePlaceholders();
    if (m_list.ItemCount() > 0) {
        const int selected = m_list.SelectedRow();
        if (selected < 0)
            return;
        if (selected != m_state.currentIndex || m_state.forceReload) {
            m_state.currentIndex = selected;
            m_state.forceReload = false;
            if (!LoadRecording(m_list.ItemText(selected, 3).toStdString()))
                return;
        }
        ShowPlayLook(true);
        m_player.Run();
        m_player.SetRate(static_cast<float>(m_state.speed));
        if (m_startTimer)
            m_startTimer();
        m_window.Slider(1002)->setRange(
            0, static_cast<int>(static_cast<std::uint32_t>(m_player.DurationMs())));
        m_window.ApplyArrangement();
    }
    m_list.SetActivateRequest(false);
    m_state.listReady = true;
    m_list.FocusList();
}

void Transport::OnStop()
{
    m_player.Stop();
    m_player.SeekMs(0);
    HidePlaceholders();
    m_window.Slider(1002)->setValue(0);
    m_window.Slider(1002)->update();
    for (const int id : { 1014, 1015 }) {
        if (auto* label = qobject_cast<QLabel*>(m_window.Control(id)))
            label->setText(QStringLiteral("00:00:00"));
    }
    m_state.forceReload = true;
    ShowPlayLook(false);
    m_player.Stop();
    m_player.Close();
    m_list.visibleList()->viewport()->update();
    if (m_map != nullptr)
        m_map->ResetMapsToHome();
    FocusListWindow();
}

void Transport::OnPrevious()
{
    ResetZoom();
    if (m_state.currentIndex <= 0 || m_state.currentIndex - 1 >= m_list.ItemCount())
        return;
    --m_state.currentIndex;
    const QString path = m_list.ItemText(m_state.currentIndex, 3);
    if (path.isEmpty())
        return;
    m_list.SelectOnly(m_state.currentIndex);
    if (LoadRecording(path.toStdString()))
        OnPlay();
    FocusListWindow();
}

void Transport::OnNext()
{
    ResetZoom();
    HidePlaceholders();
    if (m_state.currentIndex + 1 >= m_list.ItemCount()) {
        OnStop();
        FocusListWindow();
        return;
    }
    m_state.currentIndex = m_list.SelectionMark() + 1;
    const QString path = m_list.ItemText(m_state.currentIndex, 3);
    if (!path.isEmpty()) {
        m_list.SelectOnly(m_state.currentIndex);
        if (LoadRecording(path.toStdString())) {
            HidePlaceholders();
            OnPlay();
        }
    }
    ResetZoom();
    m_window.ApplyArrangement();
    ApplyPlayerVolume();
    ApplyWaveOutVolume();
    FocusListWindow();
}

void Transport::OnSkipBack()
{
    const int state = m_player.State();
    if (state == kStateRunning || state == kStatePaused) {
        m_player.SkipBack(1.0);
        RunTick();
    }
    FocusListWindow();
}

void Transport::OnSkipForward()
{
    const int state = m_player.State();
    if (state == kStateRunning || state == kStatePaused) {
        m_player.SkipForward(1.0);
        RunTick();
    }
    FocusListWindow();
}

void Transport::OnSpeed()
{
    if (m_player.State() == kStateRunning) {
        CBitmapButton* button = m_window.Button(1206);
        if (m_state.speed == 1) {
            button->SetImages(421, 442);
            m_player.SetRate(2.0f);
            m_state.speed = 2;
        } else {
            button->SetImages(420, 420);
            m_player.SetRate(1.0f);
            m_state.speed = 1;
        }
    }
    FocusListWindow();
}

} // namespace velomira
