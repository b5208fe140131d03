#pragma once

#include "playback/ffmpeg/CropPlan.h"
#include "playback/ffmpeg/FfmpegPtr.h"
#include "playback/ffmpeg/PictureSlot.h"

namespace velomira::ffmpeg {

// Converts a decoded picture to RGB32 stretched to a window's picture size, converting
// only the part of the picture that is visible: the source is cropped to the region
// that maps onto the visible rectangle, so a view zoomed to 8x costs what its visible
// pixels cost. Used by one video stage thread.
class VideoConverter {
public:
    // The converted visible part and, in *part, what it covers in picture coordinates.
    // A null image when the geometry is empty or the conversion fails.
    QImage Convert(const AVFrame* frame, const ViewGeometry& geometry, QRect* part);

private:
    SwsContextPtr m_scaler;
    FramePtr m_cropped = MakeFrame();
};

} // namespace velomira::ffmpeg
