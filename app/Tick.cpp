#include "app/Tick.h"

#include <QGuiApplication>
#include <QLabel>

#include "app/CSamplePlayerDlg.h"
#include "app/ClockText.h"
#include "library/CListDlg.h"
#include "map/MapPosition.h"
#include "playback/PlayerPort.h"
#include "playback/PlayerResults.h"
#include "playback/TransportState.h"
#include "skin/CBitSlider.h"
#include "telemetry/CTextData.h"
#include "telemetry/TelemetryDisplays.h"

namespace velomira {

TickLoop::TickLoop(PlayerPort& player, CSamplePlayerDlg& window, CListDlg& list,
    const CTextData& store, TransportState& state, Commands commands)
    : m_player(player)
    , m_window(window)
    , m_list(list)
    , m_store(store)
    , m_state(state)
    , m_commands(std::move(commands))
    , m_leftButtonHeld([] { return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton); })
{ }

void TickLoop::SetDisplays(MapPosition* map, SpeedDisplay* speed, TelemetryDrawing* drawing)
{
    m_map = map;
    m_speed = speed;
    m_drawing = drawing;
}

void TickLoop::SetTelemetryDisplays(SpeedDisplay* speed, TelemetryDrawing* drawing)
{
    m_speed = speed;
    m_drawing = drawing;
}

void TickLoop::OnTimer(bool refresh)
{
    if (refresh && !m_leftButtonHeld())
        Tick();
    if (m_list.activateRequest()) {
        if (m_commands.play)
            m_commands.play();
        m_list.SetActivateRequest(false);
    }
    if (m_list.closeRequest()) {
        if (m_commands.toggleList)
            m_commands.toggleList();
        m_list.SetCloseRequest(false);
    }
    if (m_player.State() == kStateRunning)
        DrawTelemetry(m_state.positionMs, m_state.durationMs);
}

void TickLoop::Tick()
{
    const int state = m_player.State();
    const auto position = static_cast<std::uint32_t>(m_player.PositionMs());
    const auto duration = static_cast<std::uint32_t>(m_player.DurationMs());
    m_state.positionMs = position;
    m_state.durationMs = duration;

    if (state == kStateRunning) {
        MoveSlider(position);
        UpdateTimeLabels(position, duration);
        if (position >= duration) {
            if (m_commands.next)
                m_commands.next();
            return;
        }
        UpdateMap(position);
        // The speed box follows even when the map cannot be reached: one failing
        // display must not freeze another.
        if (m_speed != nullptr)
            m_speed->RefreshSpeed(position, duration);
        return;
    }
    if (state == kStatePaused || state == kStateStopped) {
        m_player.Pause();
        if (position >= duration || position == 0) {
            m_window.Slider(1002)->SetThumbOffset(1);
            MoveSlider(position);
            UpdateTimeLabels(position, duration);
            if (m_commands.next)
                m_commands.next();
            return;
        }
        MoveSlider(position);
        UpdateTimeLabels(position, duration);
        m_player.RefreshVideo(1);
        DrawTelemetry(position, duration);
        if (m_map != nullptr)
            m_map->UpdateMapPosition(position, true);
    }
}

void TickLoop::UpdateMap(std::uint32_t positionMs)
{
    if (m_map == nullptr)
        return;
    if (m_map->mapProvider() == 1) {
        m_map->UpdateMapPosition(positionMs, false);
        return;
    }
    for (const CGPSData& record : m_store.GpsRecords()) {
        if (record.timeMs >= positionMs) {
            if (record.fixValid != 0)
                m_map->SendSecondProviderPosition(record.longitudeRaw, record.latitudeRaw);
            break;
        }
    }
}

void TickLoop::MoveSlider(std::uint32_t positionMs)
{
    CBitSlider* slider = m_window.Slider(1002);
    const int value = static_cast<int>(std::min<std::uint32_t>(positionMs, 0x7FFFFFFF));
    if (slider->value() == value)
        return; // paused: nothing to repaint
    slider->setValue(value);
    slider->update();
}

void TickLoop::DrawTelemetry(std::uint32_t positionMs, std::uint32_t durationMs)
{
    if (m_drawing == nullptr)
        return;
    m_drawing->DrawStripGraph(positionMs, durationMs);
    m_drawing->DrawTelemetryText(positionMs, durationMs);
    m_drawing->DrawGaugeAndCompass(positionMs, durationMs);
}

void TickLoop::UpdateTimeLabels(std::uint32_t positionMs, std::uint32_t durationMs)
{
    const auto write = [this](int id, std::uint32_t ms) {
        auto* label = qobject_cast<QLabel*>(m_window.Control(id));
        const QString text = QString::fromStdString(ClockText(ms));
        if (label != nullptr && label->text() != text)
            label->setText(text);
    };
    write(1014, positionMs);
    write(1015, durationMs);
}

} // namespace velomira
