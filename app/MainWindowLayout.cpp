// The main window's screen layouts, the video arrangement, the swap, the full-screen
// switch and the zoom commands.
#include <QGuiApplication>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>

#include "app/CSamplePlayerDlg.h"
#include "app/ScreenLayout.h"
#include "playback/views/VideoPanels.h"
#include "skin/CBitmapButton.h"
#include "skin/SkinImages.h"
#include "texts/TextCatalogue.h"

namespace velomira {

namespace {

// The point the zoom commands and the full-screen re-layout aim at.
constexpr QPoint kZoomCommandPoint(320, 180);

void PlacePanel(VideoPanel* panel, const PanelState& state)
{
    if (state.rect) {
        panel->setGeometry(*state.rect);
        panel->view()->SetViewRect(0, 0, state.rect->width(), state.rect->height());
    }
    if (state.panelVisible)
        panel->setVisible(*state.panelVisible);
    if (state.viewVisible)
        panel->view()->setVisible(*state.viewVisible);
}

} // namespace

void CSamplePlayerDlg::LoadSkin()
{
    m_skin = LoadSkinImage(411);
    if (m_skin.isNull())
        return;
    resize(m_skin.size());
    if (const QScreen* screen
        = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect centred(QPoint(0, 0), m_skin.size());
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }
    update();
}

void CSamplePlayerDlg::SetPlaces(int frontPlace, int rearPlace)
{
    m_frontPlace = frontPlace;
    m_rearPlace = rearPlace;
}

void CSamplePlayerDlg::ApplyPlacements(bool fullScreen)
{
    const std::vector<Placement> placements
        = fullScreen ? FullScreenPlacements(size()) : WindowedPlacements(width());
    for (const Placement& p : placements) {
        QWidget* control = Control(p.id);
        if (control == nullptr)
            continue;
        if (p.normalImage != 0) {
            if (auto* button = qobject_cast<CBitmapButton*>(control))
                button->SetImages(p.normalImage, p.pressedImage);
        }
        if (p.visible)
            control->setGeometry(p.rect);
        control->setVisible(p.visible);
    }
}

void CSamplePlayerDlg::ApplyScreenLayout(int mode)
{
    if (mode == kWindowed) {
        m_frontPlaceholder->setGeometry(kLargeSlot);
        m_frontPlaceholder->show();
        m_rearPlaceholder->setGeometry(kSmallSlot);
        m_rearPlaceholder->hide();
        PlacePanel(m_frontPanel, { kLargeSlot, true, std::nullopt });
        PlacePanel(m_rearPanel, { kSmallSlot, true, true });
        ApplyPlacements(false);
    } else {
        const QSize client = size();
        if (client.width() >= 1280 && client.height() >= 829) {
            m_frontPanel->show();
            frontView()->show();
            rearView()->show();
        } else {
            const QRect area(0, 29, client.width(), client.height() - 109);
            m_frontPlaceholder->setGeometry(area);
            m_rearPlaceholder->setGeometry(area);
        }
        ApplyPlacements(true);
    }
    if (m_hooks.screenLayoutApplied)
        m_hooks.screenLayoutApplied(mode);
    update();
}

void CSamplePlayerDlg::ApplyArrangement()
{
    m_frontPlaceholder->hide();
    m_rearPlaceholder->hide();
    const int streams = m_hooks.videoStreamCount ? m_hooks.videoStreamCount() : 0;
    const Arrangement a
        = ArrangePanels(m_screenMode, m_frontPlace, m_rearPlace, streams > 1, size());
    PlacePanel(m_frontPanel, a.front);
    PlacePanel(m_rearPanel, a.rear);
}

void CSamplePlayerDlg::OnSwap()
{
    frontView()->ResetZoom();
    rearView()->ResetZoom();
    const int streams = m_hooks.videoStreamCount ? m_hooks.videoStreamCount() : 0;
    if (streams > 1) {
        if (m_frontPlace == kLarge) {
            m_rearPlace = kLarge;
            m_frontPlace = kSmall;
        } else if (m_frontPlace == kSmall) {
            m_rearPlace = kSmall;
            m_frontPlace = kLarge;
        }
        ApplyArrangement();
        if (m_hooks.refreshVideo)
            m_hooks.refreshVideo();
    }
    FocusList();
}

void CSamplePlayerDlg::OnFullScreen()
{
    const int entries = m_hooks.listEntryCount ? m_hooks.listEntryCount() : 0;
    if (entries == 0) {
        if (const auto request = ComposeMessage(MessageUse::NoFileSelectedFullScreen, m_language))
            m_messages->Show(*request);
        return;
    }
    if (m_screenMode == kWindowed) {
        m_savedGeometry = geometry();
        m_displayMode = 1;
        m_screenMode = kFullScreen;
        m_skin = QImage();
        if (m_hooks.showList)
            m_hooks.showList(false);
        Button(1193)->SetImages(340, 340, 340);
        showMaximized();
    } else {
        showNormal();
        LoadSkin();
        m_screenMode = kWindowed;
        m_displayMode = 0;
        if (m_hooks.showList)
            m_hooks.showList(true);
    }
    const int state = PlayerState();
    if (state == 2 || state == 3 || state < 0) {
        for (const int id : { 1014, 1015 }) {
            if (auto* label = qobject_cast<QLabel*>(Control(id)))
                label->setText(QStringLiteral("00:00:00"));
        }
    }
    ApplyScreenLayout(m_screenMode);
    ApplyArrangement();
    // Re-lay out the large video at its unzoomed size, about its centre.
    ZoomLargeView(1, 1, kZoomCommandPoint);
    ZoomLargeView(1, -1, kZoomCommandPoint);
    ZoomLargeView(1, -1, kZoomCommandPoint);
}

void CSamplePlayerDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // Maximising finishes after the switch on most window systems: the full-screen
    // layout follows the size the window really gets.
    if (m_screenMode == kFullScreen && event->size() != event->oldSize()) {
        ApplyScreenLayout(kFullScreen);
        ApplyArrangement();
    }
    if (m_hooks.refreshAfterResize)
        m_hooks.refreshAfterResize();
}

CPlxVideoView* CSamplePlayerDlg::LargeView() const
{
    return m_frontPlace == kLarge ? frontView() : rearView();
}

void CSamplePlayerDlg::ZoomLargeView(int flags, int amount, QPoint screenPoint)
{
    LargeView()->ZoomByWheel(flags, amount, screenPoint);
}

void CSamplePlayerDlg::OnZoomIn()
{
    if (ZoomAllowed())
        ZoomLargeView(0, 1, mapToGlobal(kZoomCommandPoint));
    FocusList();
}

void CSamplePlayerDlg::OnZoomOut()
{
    if (ZoomAllowed())
        ZoomLargeView(0, -1, mapToGlobal(kZoomCommandPoint));
    FocusList();
}

} // namespace velomira
