#pragma once

#include <memory>

#include <QDialog>
#include <QImage>
#include <QMap>

#include "app/MainWindowHooks.h"
#include "texts/MessageBoxService.h"

namespace velomira {

class CBitSlider;
class CBitmapButton;
class CPlxVideoView;
class CRearViewDlg;
class CSkinButton;
class CZoomDlg;
class TimeLabel;

// The viewer's main window: frameless, drawn from skin image 411, every control a
// widget whose objectName is its control id. It owns the layouts and the commands that
// are its own (minimise, exit, full screen, swap, zoom, about); the other commands are
// wired by the subsystems that own them through the controls and MainWindowHooks.
class CSamplePlayerDlg : public QDialog {
    Q_OBJECT
public:
    // `messages` shows every message box; without one the window uses QMessageBox.
    explicit CSamplePlayerDlg(QWidget* parent = nullptr, MessageBoxService* messages = nullptr);
    ~CSamplePlayerDlg() override;

    void SetHooks(MainWindowHooks hooks);
    MessageBoxService& messages() const { return *m_messages; }

    // The control with `id`, or null when the window has no such control.
    QWidget* Control(int id) const { return m_controls.value(id, nullptr); }
    CBitmapButton* Button(int id) const;
    CBitSlider* Slider(int id) const;
    CSkinButton* MuteButton() const;

    CZoomDlg* frontPanel() const { return m_frontPanel; }
    CRearViewDlg* rearPanel() const { return m_rearPanel; }
    CPlxVideoView* frontPlaceholder() const { return m_frontPlaceholder; }
    CPlxVideoView* rearPlaceholder() const { return m_rearPlaceholder; }
    CPlxVideoView* frontView() const;
    CPlxVideoView* rearView() const;

    // Language: 0 Japanese, 1 English, 2 Korean (other values choose no text).
    int language() const { return m_language; }
    void SetLanguage(int language) { m_language = language; }
    // Sets the window title to the product title of `language` (empty outside 0..2).
    void ApplyWindowTitle();
    // Registers the tooltips of the current language; 0 when the language has not
    // changed since the last call, else 1.
    int RegisterTooltips();
    int lastTooltipLanguage() const { return m_lastTooltipLanguage; }

    // Screen layouts and the video arrangement.
    int screenMode() const { return m_screenMode; }
    int displayMode() const { return m_displayMode; }
    int frontPlace() const { return m_frontPlace; }
    int rearPlace() const { return m_rearPlace; }
    void SetPlaces(int frontPlace, int rearPlace);
    void ApplyScreenLayout(int mode);
    void ApplyArrangement();
    // Loads the skin again, sizes the window to it and centres it on the screen.
    void LoadSkin();
    const QImage& skin() const { return m_skin; }

    // Commands of the window's own buttons.
    void OnMinimise();
    void OnExit();
    void OnFullScreen();
    void OnSwap();
    void OnZoomIn();
    void OnZoomOut();
    void OnAbout();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void CreatePanels();
    void ConnectCommands();
    void InitialLayout();
    void ApplyPlacements(bool fullScreen);
    void ZoomLargeView(int flags, int amount, QPoint screenPoint);
    CPlxVideoView* LargeView() const;
    bool ZoomAllowed() const;
    int PlayerState() const;
    void FocusList();
    bool InMoveStrip(QPoint point) const;

    std::unique_ptr<MessageBoxService> m_ownMessages;
    MessageBoxService* m_messages;
    MainWindowHooks m_hooks;
    QMap<int, QWidget*> m_controls;
    QImage m_skin;

    CZoomDlg* m_frontPanel = nullptr;
    CRearViewDlg* m_rearPanel = nullptr;
    CPlxVideoView* m_frontPlaceholder = nullptr;
    CPlxVideoView* m_rearPlaceholder = nullptr;

    int m_language = 0;
    int m_lastTooltipLanguage = -1;
    int m_screenMode = 1;
    int m_displayMode = 0;
    int m_frontPlace = 0;
    int m_rearPlace = 0;
    QRect m_savedGeometry;
};

} // namespace velomira
