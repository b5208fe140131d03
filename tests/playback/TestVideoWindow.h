#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "devtools/mkcard/FrameStamp.h"
#include "playback/VideoWindow.h"

namespace velomira::test {

// A window that keeps the last picture it was given and reads its frame stamp.
class TestVideoWindow : public VideoWindow {
public:
    explicit TestVideoWindow(QSize size)
        : m_size(size)
        , m_visible(QPoint(0, 0), size)
    { }

    void SetGeometry(QSize pictureSize, QRect visible)
    {
        m_size = pictureSize;
        m_visible = visible;
    }

    QSize PictureSize() const override { return m_size; }
    QRect VisibleRect() const override { return m_visible; }
    void ShowPicture(const QImage& image, const QRect& part) override
    {
        m_image = image;
        m_part = part;
        ++m_shown;
        m_sizes.push_back(image.size());
        m_stamp = ReadFrameStampRgb32(image.constBits(), static_cast<int>(image.bytesPerLine()),
            image.width(), image.height());
        if (m_stamp) {
            m_history.push_back(m_stamp->frameNumber);
            m_positions.push_back(m_clock ? m_clock() : 0);
        }
    }
    void ClearPicture() override { m_image = QImage(); }

    const QImage& Image() const { return m_image; }
    QRect Part() const { return m_part; }
    int Shown() const { return m_shown; }
    // Frame numbers of the pictures shown since the last ClearHistory().
    const std::vector<int>& History() const { return m_history; }
    // The play position when each of them was shown (0 without a clock).
    const std::vector<std::uint64_t>& HistoryPositions() const { return m_positions; }
    // The size of every picture shown since the last ClearHistory().
    const std::vector<QSize>& HistorySizes() const { return m_sizes; }
    void ClearHistory()
    {
        m_history.clear();
        m_positions.clear();
        m_sizes.clear();
    }
    // Read when a picture is shown: the player's position.
    void SetClock(std::function<std::uint64_t()> clock) { m_clock = std::move(clock); }
    // Stamp of the last picture (read from the whole picture only).
    std::optional<FrameStamp> Stamp() const { return m_stamp; }

private:
    QSize m_size;
    QRect m_visible;
    QImage m_image;
    QRect m_part;
    int m_shown = 0;
    std::optional<FrameStamp> m_stamp;
    std::vector<int> m_history;
    std::vector<std::uint64_t> m_positions;
    std::vector<QSize> m_sizes;
    std::function<std::uint64_t()> m_clock;
};

} // namespace velomira::test
