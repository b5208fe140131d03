#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace velomira {

// A window that shows one camera's picture. The player converts and scales each
// decoded picture on its own threads and hands it over on the user-interface thread.
// ShowPictureNow() and NewPictureImage() are called on the player's threads; every
// other member on the user-interface thread only.
//
// The picture is stretched (no aspect correction) to PictureSize(). A zoomed view is
// larger than the panel that holds it (up to 8 times); only VisibleRect(), the part of
// the picture that can be seen, is ever converted and handed over.
class VideoWindow {
public:
    virtual ~VideoWindow() = default;

    // Size of the whole stretched picture, in pixels of the view.
    virtual QSize PictureSize() const = 0;
    // The part of the picture that is visible, in picture coordinates.
    virtual QRect VisibleRect() const = 0;
    // Shows `image`, which covers `part` of the picture (normally VisibleRect()).
    virtual void ShowPicture(const QImage& image, const QRect& part) = 0;
    // Shows no picture (black).
    virtual void ClearPicture() = 0;

    // Called on a player thread: shows `image` there and then, for a window that can
    // draw without the user-interface thread. False when it cannot; the picture then
    // comes to ShowPicture() on the user-interface thread.
    virtual bool ShowPictureNow(const QImage& image, const QRect& part)
    {
        (void)image;
        (void)part;
        return false;
    }
    // Called on a player thread: an RGB32 image of `size` with rows and a row count at
    // least as large as `padded`, in memory the window shows from without a copy; a null
    // image when it has none.
    virtual QImage NewPictureImage(QSize size, QSize padded)
    {
        (void)size;
        (void)padded;
        return {};
    }
    // Draws a still picture shown by ShowPictureNow() again where the window system
    // wiped it; called now and then while the player is paused or stopped.
    virtual void RepairPicture() { }
};

} // namespace velomira
