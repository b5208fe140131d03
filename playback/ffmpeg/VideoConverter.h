#pragma once

#include <functional>

#include "playback/ffmpeg/CropPlan.h"
#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/PictureSlot.h"

namespace velomira::ffmpeg {

// Converts a decoded picture to RGB32 stretched to a window's picture size, converting
// only the part of the picture that is visible: the source is cropped to the region
// that maps onto the visible rectangle, so a view zoomed to 8x costs what its visible
// pixels cost. Used by one video stage thread.
//
// A 4:2:0 picture that needs scaling is scaled in YUV first and then converted to RGB at
// the same size: swscale scales planar YUV with SIMD code at any width, and converts YUV
// to RGB without scaling with SIMD code too, while scaling straight into RGB runs its
// vertical filter and the conversion in plain C (a 1080p picture into a 640x360 view:
// 0.26 ms in two steps, 0.41 ms in one). An odd height converts one repeated row more into
// the image's padding. Where the view is a whole fraction of the picture (a 1080p front
// picture in the 640x360 panel, a 720p rear one in the 320x240 panel) the first step
// takes the cells' centres itself (WholeFactorScale.h), in about half swscale's time.
class VideoConverter {
public:
    // Where converted pictures are written: an RGB32 image of a size with rows and a row
    // count at least as large as the padded size, or a null image (then the converter
    // allocates one itself).
    using ImageSource = std::function<QImage(QSize size, QSize padded)>;
    void SetImageSource(ImageSource source) { m_imageSource = std::move(source); }

    // The converted visible part and, in *part, what it covers in picture coordinates.
    // A null image when the geometry is empty or the conversion fails.
    QImage Convert(const AVFrame* frame, const ViewGeometry& geometry, QRect* part);

private:
    bool ScaleDirect(const AVFrame* source, QImage& image);
    bool ScaleInTwoSteps(const AVFrame* source, QImage& image);

    QImage NewImage(QSize size, QSize padded);

    ImageSource m_imageSource;
    SwsContextPtr m_scaler; // the cropped source to RGB32, or to YUV 4:2:0 at the output size
    SwsContextPtr m_toRgb; // YUV 4:2:0 to RGB32 at the same size
    FramePtr m_cropped = MakeFrame();
    FramePtr m_small = MakeFrame(); // the scaled YUV picture of the two-step path
};

} // namespace velomira::ffmpeg
