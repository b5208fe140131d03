#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QRegion>

#include "skin/MaskRegion.h"

namespace velomira {

// Behaviour of a CSkinButton: a plain push button, a check box that toggles on each
// click, or a radio button that unchecks the other buttons of its group.
enum class SkinButtonKind { Push = 0, Check = 2, Radio = 4 };

// A button drawn entirely from up to six skin images with a hover look, a pressed
// look, an optional raised or sunken edge, a focus rectangle, a window shape cut from
// a mask image and its own check and radio logic. The check state is updated before
// clicked() reaches anyone, so a click handler already sees the new state.
class CSkinButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CSkinButton(SkinButtonKind kind, QWidget* parent = nullptr);
    ~CSkinButton() override;

    // Image ids (0 = none) and three small numbers: the draw mode (clamped to 0..2),
    // the edge flag and the focus margin (negative values become 0).
    void SetSkin(int normal, int down, int over, int disabled, int focus, int mask, int drawMode,
        int border, int focusMargin);

    // Sets the check state; a Push button stays unchecked, and checking a Radio button
    // unchecks the other buttons of its group once the current event is done.
    void SetCheck(bool checked);
    bool GetCheck() const { return m_isChecked; }
    // Buttons of one radio group share this number (0 by default).
    void SetRadioGroup(int group) { m_radioGroup = group; }
    int radioGroup() const { return m_radioGroup; }

    SkinButtonKind kind() const { return m_kind; }
    bool hovering() const { return m_hovering; }
    bool pressTracking() const { return m_pressTracking; }
    SkinDrawMode drawMode() const { return m_drawMode; }
    int border() const { return m_border; }
    int focusMargin() const { return m_focusMargin; }
    const QRegion& windowRegion() const { return m_windowRegion; }
    void SetTextColor(const QColor& color) { m_textColor = color; }

    // The image the button shows in its present state (null for a flat fill).
    QImage CurrentImage() const;

public slots:
    // Clears the check state if it is set; sent to the other buttons of a radio group.
    void Uncheck();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void ToggleByUser();
    void UncheckRadioGroup();
    void DrawEdge(QPainter* painter, bool sunken) const;

    bool m_isChecked = false;
    SkinButtonKind m_kind;
    bool m_hovering = false;
    bool m_pressTracking = false;
    QImage m_normalImage;
    QImage m_downImage;
    QImage m_disabledImage;
    QImage m_maskImage;
    QImage m_overImage;
    QImage m_focusImage;
    int m_focusMargin = 0;
    QColor m_textColor;
    QRegion m_windowRegion;
    int m_border = 0;
    SkinDrawMode m_drawMode = SkinDrawMode::Stretch;
    int m_radioGroup = 0;
};

} // namespace velomira
