#pragma once

#include <atomic>
#include <functional>

#include <QObject>

#include "playback/VideoWindow.h"
#include "playback/ffmpeg/PictureSlot.h"

namespace velomira {

// Hands the pictures of one video output to its window: on the player's thread to a
// window that can draw there, else on the user-interface thread.
// The back-end publishes into the slot and posts at most one wakeup; Present() takes
// whatever picture is newest, so a busy user interface skips pictures instead of
// queueing them. It also tells the back-end the window's current geometry.
class VideoPresenter : public QObject {
    Q_OBJECT
public:
    // `currentSerial` gives the seek generation; older pictures are not shown.
    VideoPresenter(VideoWindow* window, PictureSlot& slot, std::function<int()> currentSerial);
    ~VideoPresenter() override;

    // Reads the window's geometry and hands it to the back-end; true when it changed.
    bool UpdateGeometry();
    // Shows the last picture again (a paint of the window).
    bool ShowLastPicture();
    // Draws a still picture again where the window system wiped it.
    void RepairWindow();
    // Leaves the window empty: the recording it showed is gone.
    void ClearWindow();
    int64_t LastPtsUs() const { return m_lastPtsUs; }

public slots:
    void Present();

private:
    VideoWindow* m_window;
    PictureSlot& m_slot;
    std::function<int()> m_currentSerial;
    QImage m_lastImage;
    QRect m_lastPart;
    int64_t m_lastPtsUs = -1;
    // The last picture went to the window on a player thread, not through Present().
    std::atomic<bool> m_shownDirectly { false };
};

} // namespace velomira
