#include "app/commands/TripsCommand.h"

#include <algorithm>

#include <QAbstractButton>
#include <QScreen>

#include "app/CSamplePlayerDlg.h"
#include "app/commands/Transport.h"
#include "library/CListDlg.h"
#include "playback/PlayerPort.h"
#include "playback/PlayerResults.h"
#include "playback/TransportState.h"
#include "settings/CardValues.h"
#include "skin/CBitmapButton.h"
#include "telemetry/CTextData.h"
#include "telemetry/TrackExport.h"
#include "texts/TripTexts.h"
#include "trips/TrackReading.h"
#include "trips/views/CTripsDlg.h"

namespace velomira {

TripsCommand::TripsCommand(Parts parts)
    : m_parts(std::move(parts))
{ }

TripsCommand::~TripsCommand() = default;

void TripsCommand::ConnectControls(QObject& context)
{
    QObject::connect(&m_parts.list, &CListDlg::tripsRequested, &context, [this] { OpenTrips(); });
    ApplyLanguage();
}

void TripsCommand::ApplyLanguage()
{
    const QString text
        = QString::fromStdString(TripLabel(TripText::Trips, m_parts.window.language()));
    if (CBitmapButton* button = m_parts.list.tripsButton()) {
        button->setText(text);
        button->setAccessibleName(text);
        button->setToolTip(text);
    }
}

void TripsCommand::OpenTrips()
{
    if (!m_trips) {
        m_trips = std::make_unique<CTripsDlg>(m_parts.profile, ReadRecordingTrack);
        m_trips->SetPlayHandler(
            [this](const TripSource& source, std::uint32_t offsetMs) { PlayAt(source, offsetMs); });
        m_trips->SetExportHandler(m_parts.exportTrip);
        // Large by default (never below 1000 x 700), centred on the main window's screen.
        if (const QScreen* screen = m_parts.window.screen()) {
            const QRect free = screen->availableGeometry();
            m_trips->resize(
                std::clamp(free.width(), 1000, 1200), std::clamp(free.height(), 700, 800));
            m_trips->move(free.topLeft()
                + QPoint((free.width() - m_trips->width()) / 2,
                    (free.height() - m_trips->height()) / 2));
        }
    }
    ApplyLanguage();
    m_trips->SetLanguage(m_parts.window.language(), m_parts.card.speedUnit);
    m_trips->show();
    m_trips->raise();
    m_trips->activateWindow();
    m_trips->LoadCard(m_parts.card.cardDrive, m_parts.drives);
}

void TripsCommand::OnCardChanged()
{
    ApplyLanguage();
    if (!m_trips || !m_trips->isVisible())
        return;
    m_trips->SetLanguage(m_parts.window.language(), m_parts.card.speedUnit);
    m_trips->LoadCard(m_parts.card.cardDrive, m_parts.drives);
}

int TripsCommand::FindRow(const std::string& entryPath) const
{
    const QString path = QString::fromStdString(entryPath);
    for (int row = 0; row < m_parts.list.ItemCount(); ++row) {
        if (m_parts.list.ItemText(row, 3) == path)
            return row;
    }
    return -1;
}

void TripsCommand::PlayAt(const TripSource& source, std::uint32_t offsetMs)
{
    int row = FindRow(source.entry.path);
    if (row < 0) {
        // The list hides the recording's kind: show every kind, then find it.
        m_parts.list.OnShowAll();
        row = FindRow(source.entry.path);
    }
    if (row < 0)
        return;
    // As a click on the row would: select it, load it afresh and play, then seek.
    m_parts.list.SelectOnly(row);
    m_parts.state.forceReload = true;
    m_parts.list.SetActivateRequest(true);
    m_parts.transport.OnPlay();
    if (m_parts.state.currentIndex != row || m_parts.player.State() != kStateRunning)
        return;
    m_parts.player.SeekMs(static_cast<std::int32_t>(offsetMs));
    if (m_parts.tick)
        m_parts.tick();
}

void TripsCommand::FollowCar()
{
    if (!m_trips || !m_trips->isVisible())
        return;
    const int state = m_parts.player.State();
    if (state != kStateRunning && state != kStatePaused) {
        m_trips->HideCar();
        return;
    }
    const MomentFacts facts = MomentAt(m_parts.store, m_parts.state.positionMs);
    if (facts.position)
        m_trips->ShowCarAt(facts.position->latitude, facts.position->longitude);
}

} // namespace velomira
