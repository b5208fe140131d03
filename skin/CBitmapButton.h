#pragma once

#include <QAbstractButton>
#include <QImage>

namespace velomira {

// The plain picture button: up to four skin images (normal, pressed, focused,
// disabled), sized to the normal image, copied 1:1, no hover look, no check state,
// no text drawn. The caption is kept as the button's accessible name.
class CBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CBitmapButton(QWidget* parent = nullptr);

    // Image ids, 0 = none. Resizes the button (without moving it) to the normal image.
    void SetImages(int normal, int pressed, int focused = 0, int disabled = 0);
    int normalImageId() const { return m_normalId; }
    int pressedImageId() const { return m_pressedId; }

    // The image the button shows in its present state.
    const QImage& CurrentImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_normal;
    QImage m_pressed;
    QImage m_focused;
    QImage m_disabled;
    int m_normalId = 0;
    int m_pressedId = 0;
};

} // namespace velomira
