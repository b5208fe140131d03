#pragma once

#include <cstdint>
#include <memory>

#include <QWidget>

#include "skin/ImageStrip.h"

namespace velomira {

// A child window that shows one frame of an ImageStrip: 0 normal, 1 hover, 2 pressed.
// It can pass mouse moves, presses and releases on to its parent (the slider thumb
// does so, so that the slider drags its own thumb).
class CBitWnd : public QWidget {
    Q_OBJECT
public:
    explicit CBitWnd(QWidget* parent);
    ~CBitWnd() override;

    // Replaces the strip and resizes the window to one frame at (0, 0) of the parent.
    void SetStrip(int imageId, int frameWidth, int frameHeight);
    void SetStrip(std::unique_ptr<ImageStrip> strip);
    const ImageStrip* strip() const { return m_strip.get(); }

    int frameIndex() const { return m_frameIndex; }
    void SetForwardMouse(bool forward) { m_forwardMouse = forward; }
    bool forwardMouse() const { return m_forwardMouse; }

signals:
    // The release of a left-button press over the window; emitted before the release
    // is forwarded to the parent.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowFrame(int index);
    void Forward(QMouseEvent* event);

    int m_frameIndex = 0;
    std::unique_ptr<ImageStrip> m_strip;
    bool m_forwardMouse = false;
};

} // namespace velomira
