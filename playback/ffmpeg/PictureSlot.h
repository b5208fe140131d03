#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include <QImage>
#include <QRect>
#include <QSize>

namespace velomira {

// Where a window wants its picture: the whole stretched size and the visible part.
struct ViewGeometry {
    QSize pictureSize;
    QRect visibleRect;
    bool operator==(const ViewGeometry&) const = default;
};

// A converted picture on its way to a window.
struct PresentedPicture {
    QImage image;
    QRect part; // what `image` covers, in picture coordinates
    int64_t ptsUs = 0; // media time of the picture
    int serial = 0; // seek generation it was decoded in
};

// The hand-off between a video stage (back-end thread) and the presenter (UI thread):
// one picture slot, the window geometry the stage converts for, and at most one
// wakeup in flight. When the UI falls behind, a newer picture replaces the one waiting.
class PictureSlot {
public:
    // Called on the back-end thread when a picture is waiting and no wakeup is pending.
    void SetWakeup(std::function<void()> wakeup);
    // Called on the back-end thread with each picture first: true when it was shown
    // there and then, and nothing waits for the user-interface thread. Clearing it waits
    // for a call in progress.
    void SetDirectShow(std::function<bool(const PresentedPicture&)> show);
    // Where the back-end converts pictures to (see VideoConverter::ImageSource); cleared,
    // the back-end allocates its own.
    void SetImageSource(std::function<QImage(QSize size, QSize padded)> source);
    // Called on the back-end thread: an image from the source, or a null image.
    QImage NewImage(QSize size, QSize padded);

    void Publish(PresentedPicture picture);
    std::optional<PresentedPicture> Take();

    // True when the geometry changed.
    bool SetGeometry(const ViewGeometry& geometry);
    // The geometry and a number that changes with every change of it.
    ViewGeometry Geometry(uint64_t* generation = nullptr) const;

private:
    mutable std::mutex m_mutex;
    std::optional<PresentedPicture> m_picture; // guarded by m_mutex
    ViewGeometry m_geometry; // guarded by m_mutex
    uint64_t m_generation = 0; // guarded by m_mutex
    std::function<void()> m_wakeup; // guarded by m_mutex (set before the stages start)
    std::atomic<bool> m_wakeupPending { false };
    std::mutex m_directMutex; // held while m_directShow runs
    std::function<bool(const PresentedPicture&)> m_directShow; // guarded by m_directMutex
    std::function<QImage(QSize, QSize)> m_imageSource; // guarded by m_directMutex
};

} // namespace velomira
