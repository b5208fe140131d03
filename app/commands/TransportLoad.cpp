// Loading a recording, and the sliders, the position band and the mute button.
#include <algorithm>

#include <QAbstractSlider>
#include <QLabel>
#include <QTableWidget>

#include "app/CSamplePlayerDlg.h"
#include "app/ClockText.h"
#include "app/ScreenLayout.h"
#include "app/commands/Transport.h"
#include "library/CListDlg.h"
#include "platform/CardPath.h"
#include "playback/PlayerPort.h"
#include "playback/PlayerResults.h"
#include "playback/TelemetryPull.h"
#include "playback/views/CPlxVideoView.h"
#include "skin/CBitSlider.h"
#include "skin/CBitmapButton.h"
#include "skin/CSkinButton.h"
#include "telemetry/CTextData.h"
#include "texts/RepairTexts.h"
#include "texts/TextCatalogue.h"

namespace velomira {

namespace {

// The position band under the video: a press or drag there seeks. Its width is the
// same in both layouts.
constexpr int kBandWidth = 537;

QRect PositionBand(int screenMode, QSize client)
{
    if (screenMode == kWindowed)
        return QRect(QPoint(105, 415), QPoint(642, 445));
    return QRect(QPoint(25, client.height() - 70), QPoint(562, client.height() - 50));
}

} // namespace

std::string Transport::PlayerPath(const std::string& entryPath) const
{
    // A scanned entry names its file as a card path; an imported one by its own path.
    const bool cardPath = entryPath.size() >= 2 && entryPath[1] == ':';
    if (!cardPath)
        return entryPath;
    if (m_drives == nullptr)
        return {};
    const auto linuxPath = ToLinuxPathAsListed(entryPath, *m_drives);
    return linuxPath ? linuxPath->string() : std::string();
}

bool Transport::LoadRecording(const std::string& path)
{
    m_player.SetSourceOption(0);
    m_state.forceReload = false;
    const std::string file = PlayerPath(path);
    if (file.empty() || !m_player.Open(file))
        return false;
    m_state.positionMs = static_cast<std::uint32_t>(m_player.PositionMs());
    m_state.durationMs = static_cast<std::uint32_t>(m_player.DurationMs());
    // The slider's range is an int: a duration beyond it is held at the top.
    m_window.Slider(1002)->setRange(
        0, static_cast<int>(std::min<std::uint32_t>(m_state.durationMs, 0x7FFFFFFF)));
    // A recording cut short by a power loss says so, quietly, where its length shows
    // and on its list row.
    const QString note = m_player.WasRebuilt()
        ? QString::fromStdString(RepairLabel(RepairText::RebuiltNote, m_window.language()))
        : QString();
    if (auto* end = qobject_cast<QLabel*>(m_window.Control(1015))) {
        end->setText(QString::fromStdString(ClockText(m_state.durationMs)));
        end->setToolTip(note);
    }
    if (QTableWidget* rows = m_list.visibleList(); rows != nullptr) {
        const int row = m_list.SelectedRow();
        for (int column = 0; row >= 0 && column < rows->columnCount(); ++column) {
            if (QTableWidgetItem* item = rows->item(row, column))
                item->setToolTip(note);
        }
    }
    ApplyPlayerVolume();
    ApplyWaveOutVolume();
    if (m_player.VideoStreamCount() > 1 && m_window.rearPlace() == kHidden)
        m_window.SetPlaces(m_window.frontPlace(), kSmall);
    m_window.ApplyArrangement();

    const TelemetryPullResult pulled = PullTelemetry(m_player, m_store);
    if (pulled.samples > 0) {
        m_store.BuildTimeline(m_state.durationMs);
        m_window.update();
        if (m_player.VideoStreamCount() == 1)
            m_window.SetPlaces(kLarge, kHidden);
        FocusListWindow();
        ResetZoom();
        m_window.ApplyArrangement();
        m_window.OnZoomIn();
        m_window.OnZoomOut();
        const int selected = m_list.SelectedRow();
        m_state.currentDateText = m_list.ItemText(selected, 0).toStdString();
        return true;
    }

    // The source opened the file but gave no telemetry: play on with the next entry,
    // then say which file could not be played. The timer stops only when nothing follows
    // the failing entry: when the next one was started (even the last), it plays on.
    const int count = m_list.ItemCount();
    if (m_state.currentIndex + 1 < count)
        OnNext();
    else if (m_stopTimer)
        m_stopTimer();
    if (const auto request = ComposeMessage(MessageUse::InvalidFile, m_window.language(), path))
        m_window.messages().Show(*request);
    m_list.FocusList();
    return false;
}

void Transport::OnPositionPage()
{
    CBitSlider* slider = m_window.Slider(1002);
    const int p = slider->sliderPosition();
    slider->setValue(p);
    m_player.SeekMs(p);
    RunTick();
}

void Transport::OnPositionThumb()
{
    const int p = m_window.Slider(1002)->sliderPosition();
    m_player.SeekMs(p);
    RunTick();
}

void Transport::OnVolumeSlider()
{
    const int v = m_window.Slider(1004)->sliderPosition();
    CSkinButton* mute = m_window.MuteButton();
    if (v <= 0) {
        mute->SetCheck(true);
    } else {
        mute->SetCheck(false);
        m_state.volume = v;
    }
    SetWaveOutFromSlider(v);
}

void Transport::SetWaveOutFromSlider(int v)
{
    m_player.SetWaveOutVolume(WaveOutVolumeFor(v));
}

void Transport::OnMute()
{
    CSkinButton* mute = m_window.MuteButton();
    if (mute->GetCheck()) {
        m_player.SetWaveOutVolume(0);
        mute->SetCheck(true);
    } else {
        SetWaveOutFromSlider(m_window.Slider(1004)->sliderPosition());
        mute->SetCheck(false);
    }
    FocusListWindow();
}

void Transport::OnWindowLeftButton(QPoint clientPoint)
{
    const QRect band = PositionBand(m_window.screenMode(), m_window.size());
    if (!band.contains(clientPoint))
        return;
    const std::int64_t offset = clientPoint.x() - band.left();
    const std::int64_t duration = static_cast<std::int64_t>(m_player.DurationMs());
    const std::int64_t sliderScale = m_player.State() == kStateFresh ? 100 : duration;
    m_window.Slider(1002)->setValue(static_cast<int>(offset * sliderScale / kBandWidth));
    m_player.SeekMs(static_cast<std::int32_t>(duration * offset / kBandWidth));
}

void Transport::ConnectControls(QObject& context)
{
    const auto on = [this, &context](int id, void (Transport::*command)()) {
        if (CBitmapButton* button = m_window.Button(id))
            QObject::connect(button, &QAbstractButton::clicked, &context,
                [this, command] { (this->*command)(); });
    };
    on(1006, &Transport::OnPlay);
    on(1007, &Transport::OnStop);
    on(1005, &Transport::OnPrevious);
    on(1008, &Transport::OnNext);
    on(1009, &Transport::OnSkipBack);
    on(1010, &Transport::OnSkipForward);
    on(1206, &Transport::OnSpeed);

    CBitSlider* position = m_window.Slider(1002);
    // A click on the track seeks to the moment under the pointer.
    position->SetJumpToClick(true);
    QObject::connect(position, &QAbstractSlider::actionTriggered, &context, [this](int action) {
        if (action == QAbstractSlider::SliderPageStepAdd
            || action == QAbstractSlider::SliderPageStepSub)
            OnPositionPage();
        else if (action == QAbstractSlider::SliderMove)
            OnPositionThumb();
    });
    QObject::connect(
        position, &QAbstractSlider::sliderReleased, &context, [this] { OnPositionThumb(); });
    CBitSlider* volume = m_window.Slider(1004);
    QObject::connect(volume, &QAbstractSlider::actionTriggered, &context, [this](int action) {
        if (action == QAbstractSlider::SliderPageStepAdd
            || action == QAbstractSlider::SliderPageStepSub
            || action == QAbstractSlider::SliderMove)
            OnVolumeSlider();
    });
    QObject::connect(
        volume, &QAbstractSlider::sliderReleased, &context, [this] { OnVolumeSlider(); });
    QObject::connect(
        m_window.MuteButton(), &QAbstractButton::clicked, &context, [this] { OnMute(); });
}

} // namespace velomira
