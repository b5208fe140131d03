#pragma once

#include <QRect>
#include <QSize>

namespace velomira::ffmpeg {

// The source region (in source pixels, chroma-aligned) that covers `visible` of a
// picture of `pictureSize` made from a `sourceSize` frame, and the part of the picture
// that region maps onto. Empty when nothing is visible.
struct CropPlan {
    QRect source;
    QRect part;
};
CropPlan PlanCrop(QSize sourceSize, QSize pictureSize, QRect visible);

} // namespace velomira::ffmpeg
