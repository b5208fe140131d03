#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include <QImage>
#include <QPoint>
#include <QRect>

struct xcb_connection_t;

namespace velomira {

// Shows pictures in a child window of an X window through shared memory (MIT-SHM),
// straight from the thread that has them: a video thread hands its picture to the X
// server itself, without waking the user-interface thread and without going through
// Qt's backing store (whose every paint waits on an X round trip before it reuses its
// image).
//
// The child window covers the visible part of a video view, above the drawing of the
// window it sits in. It asks for no input, so the X server hands pointer events on to
// that window and the view's mouse handling is unchanged. Two shared segments take
// turns: a picture is copied into the one the X server has finished reading, and the
// one shown last stays intact for drawing again after an exposure.
//
// It has a connection of its own, so that neither Qt's event reader nor its requests
// mix with these. Every member may be called from any thread.
class X11PictureOutput {
public:
    // Null when the display cannot be reached, has no MIT-SHM, does not know `parent`
    // or stores its pixels other than as 32-bit xRGB (the converted pictures' layout).
    static std::unique_ptr<X11PictureOutput> Create(uint32_t parent);
    ~X11PictureOutput();
    X11PictureOutput(const X11PictureOutput&) = delete;
    X11PictureOutput& operator=(const X11PictureOutput&) = delete;

    uint32_t Parent() const { return m_parent; }
    uint32_t Window() const { return m_window; }

    // The window's rectangle in its parent and the picture point its top-left corner
    // shows. An empty rectangle hides the window.
    void SetPlace(const QRect& inParent, const QPoint& pictureOrigin);
    // Shows `image`, which covers `part` of the picture. False when it cannot be shown
    // here (no place yet, an unusable image, or the X server failed us, after which the
    // window stays hidden and every later call answers false).
    bool Show(const QImage& image, const QRect& part);
    // Hides the window until the next picture.
    void Hide();
    // True while the window is up with a picture in it.
    bool Showing() const;
    // Reads what the X server sent and draws the last picture again where an exposure
    // wiped it. While pictures come, each one does this; a still picture needs a call
    // now and then.
    void Refresh();

private:
    struct Segment {
        uint32_t id = 0; // the X server's name for it; 0 when none is attached
        uint8_t* data = nullptr;
        std::size_t size = 0;
        bool busy = false; // the X server may still be reading it
    };

    X11PictureOutput(xcb_connection_t* connection, uint32_t parent, uint8_t depth);
    bool MakeWindow(uint32_t visual);
    void ReadEventsLocked();
    Segment* FreeSegmentLocked();
    bool ResizeSegmentLocked(Segment& segment, std::size_t size);
    void ReleaseSegmentLocked(Segment& segment);
    void PutLocked(std::size_t index);
    void BreakLocked();

    mutable std::mutex m_mutex;
    xcb_connection_t* m_connection;
    const uint32_t m_parent;
    const uint8_t m_depth;
    uint8_t m_completionEvent = 0;
    uint32_t m_window = 0;
    uint32_t m_gc = 0;
    std::array<Segment, 2> m_segments;
    // The picture in the segment shown last, for drawing it again.
    std::size_t m_last = 0;
    QRect m_lastPart; // empty: nothing shown since the window was hidden
    int m_lastRowPixels = 0;
    QRect m_place;
    QPoint m_origin;
    bool m_mapped = false;
    bool m_exposed = false;
    bool m_broken = false;
};

} // namespace velomira
