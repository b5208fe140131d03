#pragma once

#include <cstdint>
#include <string>

namespace velomira {

// The three planes of a YUV 4:2:0 picture (chroma planes half width and half height).
struct YuvPlanes {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    int strideY;
    int strideU;
    int strideV;
};

struct PictureContent {
    int width = 0;
    int height = 0;
    int streamId = 0;
    int frameNumber = 0;
    int fps = 30;
    std::string cameraName; // upper-case letters, digits, space and ':' are drawn
};

// Paints a road scene that moves with the frame number (sky gradient, road with moving lane
// marks), the camera name and the recording time, and the frame stamp in the top band
// (with neutral chroma there, so a grey or RGB conversion keeps the cells black and white).
void PaintPicture(const YuvPlanes& planes, const PictureContent& content);

} // namespace velomira
