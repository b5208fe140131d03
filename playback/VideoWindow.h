#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

namespace velomira {

// A window that shows one camera's picture. The player converts and scales each
// decoded picture on its own threads and hands it over on the user-interface thread;
// every member here is called on the user-interface thread only.
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
};

} // namespace velomira
