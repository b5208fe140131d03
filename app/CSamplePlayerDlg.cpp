#include "app/CSamplePlayerDlg.h"

#include <QIcon>
#include <QKeyEvent>

#include "app/AboutBox.h"
#include "app/ControlTable.h"
#include "app/ScreenLayout.h"
#include "app/StatusWidgets.h"
#include "playback/views/VideoPanels.h"
#include "skin/CBitSlider.h"
#include "skin/CBitmapButton.h"
#include "skin/CSkinButton.h"
#include "texts/QtMessageBoxService.h"
#include "texts/TextCatalogue.h"

namespace velomira {

namespace {

// The position label fills with the colour of the bar it sits on.
const QColor kPositionLabelFill(28, 33, 37);

} // namespace

CSamplePlayerDlg::CSamplePlayerDlg(QWidget* parent, MessageBoxService* messages)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_ownMessages(messages == nullptr ? std::make_unique<QtMessageBoxService>(this) : nullptr)
    , m_messages(messages == nullptr ? m_ownMessages.get() : messages)
{
    setObjectName(QStringLiteral("102"));
    setWindowIcon(QIcon(QStringLiteral(":/skin/472.png")));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Tips show whether or not the window is the active one.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    CreateControls();
    CreatePanels();
    ConnectCommands();
    InitialLayout();
}

CSamplePlayerDlg::~CSamplePlayerDlg() = default;

void CSamplePlayerDlg::SetHooks(MainWindowHooks hooks)
{
    m_hooks = std::move(hooks);
}

CBitmapButton* CSamplePlayerDlg::Button(int id) const
{
    return qobject_cast<CBitmapButton*>(Control(id));
}

CBitSlider* CSamplePlayerDlg::Slider(int id) const
{
    return qobject_cast<CBitSlider*>(Control(id));
}

CSkinButton* CSamplePlayerDlg::MuteButton() const
{
    return qobject_cast<CSkinButton*>(Control(1023));
}

CPlxVideoView* CSamplePlayerDlg::frontView() const
{
    return m_frontPanel->view();
}

CPlxVideoView* CSamplePlayerDlg::rearView() const
{
    return m_rearPanel->view();
}

void CSamplePlayerDlg::CreateControls()
{
    for (const ControlEntry& entry : MainWindowControls()) {
        QWidget* widget = nullptr;
        switch (entry.kind) {
        case ControlKind::BitmapButton: {
            auto* button = new CBitmapButton(this);
            button->setText(QString::fromUtf8(entry.caption));
            button->setAccessibleName(QString::fromUtf8(entry.caption));
            button->SetImages(entry.images[0], entry.images[1], entry.images[2]);
            widget = button;
            break;
        }
        case ControlKind::SkinButton: {
            // The mute button: a check button tiled from its images, its shape cut from
            // the normal image.
            auto* button = new CSkinButton(SkinButtonKind::Check, this);
            const int normal = entry.images[0];
            button->SetSkin(normal, entry.images[1], normal, normal, normal, normal, 2, 0, 0);
            widget = button;
            break;
        }
        case ControlKind::Slider: {
            auto* slider = new CBitSlider(Qt::Horizontal, this);
            slider->setGeometry(entry.windowed);
            slider->InitThumb(entry.images[0], 5, 20);
            slider->SetTrackImages(entry.images[1], entry.images[2]);
            widget = slider;
            break;
        }
        case ControlKind::TimeLabel:
            widget = new TimeLabel(QString::fromUtf8(entry.caption),
                entry.id == 1014 ? kPositionLabelFill : QColor(), this);
            break;
        case ControlKind::Frame:
            widget = new BlackFrame(this);
            break;
        case ControlKind::PlayIcon:
            widget = new PlayIcon(this);
            break;
        }
        widget->setObjectName(QString::number(entry.id));
        m_controls.insert(entry.id, widget);
    }
    // The volume runs from 0 to 99 and starts in the middle.
    Slider(1004)->setRange(0, 99);
    Slider(1004)->setValue(50);
}

void CSamplePlayerDlg::CreatePanels()
{
    m_frontPlaceholder = new CPlxVideoView(this);
    m_frontPlaceholder->setGeometry(5000, 5000, 0, 0);
    m_rearPlaceholder = new CPlxVideoRearView(this);
    m_rearPlaceholder->setGeometry(675, 265, 0, 0);

    m_frontPanel = new CZoomDlg(this);
    m_frontPanel->setGeometry(16, 37, 640, 360);
    m_rearPanel = new CRearViewDlg(this);
    m_rearPanel->setGeometry(684, 37, 320, 240);
    VideoViewHooks hooks;
    hooks.zoomAllowed = [this] { return ZoomAllowed(); };
    hooks.refreshVideo = [this] {
        if (m_hooks.refreshVideo)
            m_hooks.refreshVideo();
    };
    hooks.swapRequested = [this] { OnSwap(); };
    frontView()->SetHooks(hooks);
    rearView()->SetHooks(hooks);
    // The panels lie over the placeholders and under the controls.
    for (QWidget* w : { static_cast<QWidget*>(m_frontPanel), static_cast<QWidget*>(m_rearPanel),
             static_cast<QWidget*>(m_frontPlaceholder), static_cast<QWidget*>(m_rearPlaceholder) })
        w->lower();
}

void CSamplePlayerDlg::ConnectCommands()
{
    const auto on = [this](int id, void (CSamplePlayerDlg::*command)()) {
        connect(Button(id), &QAbstractButton::clicked, this, command);
    };
    on(1000, &CSamplePlayerDlg::OnMinimise);
    on(1001, &CSamplePlayerDlg::OnExit);
    on(1018, &CSamplePlayerDlg::OnFullScreen);
    on(1041, &CSamplePlayerDlg::OnSwap);
    on(1121, &CSamplePlayerDlg::OnZoomIn);
    on(3021, &CSamplePlayerDlg::OnZoomOut);
    on(1199, &CSamplePlayerDlg::OnAbout);
}

void CSamplePlayerDlg::InitialLayout()
{
    resize(1020, 594);
    m_frontPlaceholder->show();
    m_rearPlaceholder->show();
    m_frontPanel->setGeometry(16, 37, 640, 360);
    m_frontPanel->show();
    frontView()->SetViewRect(0, 0, 640, 360);
    frontView()->show();
    m_rearPanel->setGeometry(684, 37, 320, 240);
    m_rearPanel->show();
    rearView()->SetViewRect(0, 0, 320, 240);
    rearView()->show();
    m_screenMode = kWindowed;
    m_frontPlace = kHidden;
    m_rearPlace = kHidden;
    ApplyWindowTitle();
    LoadSkin();
    ApplyScreenLayout(kWindowed);
}

void CSamplePlayerDlg::ApplyWindowTitle()
{
    const std::optional<std::string> title = ProductTitle(m_language);
    setWindowTitle(title ? QString::fromStdString(*title) : QString());
}

int CSamplePlayerDlg::PlayerState() const
{
    return m_hooks.playerState ? m_hooks.playerState() : -1;
}

bool CSamplePlayerDlg::ZoomAllowed() const
{
    const int entries = m_hooks.listEntryCount ? m_hooks.listEntryCount() : 0;
    const int state = PlayerState();
    return entries > 0 && (state == 0 || state == 1);
}

void CSamplePlayerDlg::FocusList()
{
    if (m_hooks.focusList)
        m_hooks.focusList();
}

void CSamplePlayerDlg::OnMinimise()
{
    showMinimized();
}

void CSamplePlayerDlg::OnExit()
{
    if (m_hooks.stopPlayer)
        m_hooks.stopPlayer();
    done(0);
}

void CSamplePlayerDlg::OnAbout()
{
    const std::optional<AboutVariant> variant = AboutVariantFor(m_language);
    if (variant) {
        AboutBox box(*variant, this);
        box.exec();
    }
    FocusList();
}

void CSamplePlayerDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape would end the dialog; the window closes only by its exit button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velomira
