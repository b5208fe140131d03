#pragma once

#include "playback/ffmpeg/CropPlan.h"
#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/PictureSlot.h"

namespace velomira::ffmpeg {

// Converts a decoded picture to RGB32 stretched to a window's picture size, converting
// only the part of the picture that is visible: the source is cropped to the region
// that maps onto the visible rectangle, so a view zoomed to 8x costs what its visible
// pixels cost. Used by one video stage thread.
//
// swscale's SIMD paths that scale and convert in one pass need an even output width; an
// odd width falls back to plain C code that costs several times the decoding. So an odd
// width is scaled in YUV first (planar output is fast at any width) and then converted at
// the same size, which is fast for an even number of rows: an odd height converts one
// repeated row more into the image's padding.
class VideoConverter {
public:
    // The converted visible part and, in *part, what it covers in picture coordinates.
    // A null image when the geometry is empty or the conversion fails.
    QImage Convert(const AVFrame* frame, const ViewGeometry& geometry, QRect* part);

private:
    // Makes `source` (a frame reference of our own) skip every other row when it is at
    // least twice as tall as the output: 1080 rows for a 360-row view are read as 540.
    static void SkipRowsForSmallOutput(AVFrame& source, int outHeight);
    bool ScaleDirect(const AVFrame* source, QImage& image);
    bool ScaleInTwoSteps(const AVFrame* source, QImage& image);

    SwsContextPtr m_scaler; // the cropped source to RGB32, or to YUV 4:2:0 at the output size
    SwsContextPtr m_toRgb; // YUV 4:2:0 to RGB32 at the same size
    FramePtr m_cropped = MakeFrame();
    FramePtr m_small = MakeFrame(); // the scaled YUV picture of the two-step path
};

} // namespace velomira::ffmpeg
