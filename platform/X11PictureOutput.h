#pragma once

#include <cstdint>
#include <memory>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace velomira {

// Shows pictures in a child window of an X window through shared memory (MIT-SHM),
// straight from the thread that has them: a video thread hands its picture to the X
// server itself, without waking the user-interface thread and without going through
// Qt's backing store (whose every paint waits on an X round trip before it reuses its
// image).
//
// The child window covers the visible part of a video view, above the drawing of the
// window it sits in. It asks for no input, so the X server hands pointer events on to
// that window and the view's mouse handling is unchanged.
//
// The pictures themselves can live in shared memory: NewImage() hands out images whose
// pixels the X server reads where the converter wrote them, so showing one copies
// nothing. A segment goes back to the pool when its last image is gone, and is used
// again once the X server has finished reading it. Any other image is copied into such
// a segment first. The picture shown last is kept for drawing again after an exposure.
//
// It has a connection of its own, so that neither Qt's event reader nor its requests
// mix with these. Every member may be called from any thread; images from NewImage()
// may outlive the output.
class X11PictureOutput {
public:
    // Null when the display cannot be reached, has no MIT-SHM, does not know `parent`
    // or stores its pixels other than as 32-bit xRGB (the converted pictures' layout).
    static std::unique_ptr<X11PictureOutput> Create(uint32_t parent);
    ~X11PictureOutput();
    X11PictureOutput(const X11PictureOutput&) = delete;
    X11PictureOutput& operator=(const X11PictureOutput&) = delete;

    uint32_t Parent() const;

    // An RGB32 image of `size` whose rows are `bytesPerLine` apart, over `rows` rows
    // (at least size.height()) of shared memory; a null image when none can be had.
    QImage NewImage(QSize size, int bytesPerLine, int rows);

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
    struct State;
    explicit X11PictureOutput(std::shared_ptr<State> state);

    std::shared_ptr<State> m_state;
};

} // namespace velomira
