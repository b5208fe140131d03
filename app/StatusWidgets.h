#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace velomira {

// A time text of the main window, white. With `opaqueFill` valid and a text present,
// the label fills its rectangle with that colour first; an empty label draws nothing.
class TimeLabel : public QLabel {
    Q_OBJECT
public:
    TimeLabel(const QString& text, QColor opaqueFill, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
};

// The small play mark shown left of the position slider in full screen.
class PlayIcon : public QWidget {
    Q_OBJECT
public:
    explicit PlayIcon(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A black frame (the box behind the speed display).
class BlackFrame : public QWidget {
    Q_OBJECT
public:
    explicit BlackFrame(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velomira
