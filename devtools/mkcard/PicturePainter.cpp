#include "devtools/mkcard/PicturePainter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "devtools/mkcard/FrameStamp.h"

namespace velomira {
namespace {

// 5x7 glyphs, one row a byte, bit 4 the leftmost column.
struct Glyph {
    char c;
    std::array<uint8_t, 7> rows;
};

constexpr std::array<Glyph, 27> kGlyphs { {
    { '0', { 0x0e, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0e } },
    { '1', { 0x04, 0x0c, 0x04, 0x04, 0x04, 0x04, 0x0e } },
    { '2', { 0x0e, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1f } },
    { '3', { 0x1f, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0e } },
    { '4', { 0x02, 0x06, 0x0a, 0x12, 0x1f, 0x02, 0x02 } },
    { '5', { 0x1f, 0x10, 0x1e, 0x01, 0x01, 0x11, 0x0e } },
    { '6', { 0x06, 0x08, 0x10, 0x1e, 0x11, 0x11, 0x0e } },
    { '7', { 0x1f, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08 } },
    { '8', { 0x0e, 0x11, 0x11, 0x0e, 0x11, 0x11, 0x0e } },
    { '9', { 0x0e, 0x11, 0x11, 0x0f, 0x01, 0x02, 0x0c } },
    { ':', { 0x00, 0x0c, 0x0c, 0x00, 0x0c, 0x0c, 0x00 } },
    { 'A', { 0x0e, 0x11, 0x11, 0x1f, 0x11, 0x11, 0x11 } },
    { 'C', { 0x0e, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0e } },
    { 'D', { 0x1e, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1e } },
    { 'E', { 0x1f, 0x10, 0x10, 0x1e, 0x10, 0x10, 0x1f } },
    { 'F', { 0x1f, 0x10, 0x10, 0x1e, 0x10, 0x10, 0x10 } },
    { 'I', { 0x0e, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0e } },
    { 'L', { 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1f } },
    { 'M', { 0x11, 0x1b, 0x15, 0x15, 0x11, 0x11, 0x11 } },
    { 'N', { 0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11 } },
    { 'O', { 0x0e, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0e } },
    { 'P', { 0x1e, 0x11, 0x11, 0x1e, 0x10, 0x10, 0x10 } },
    { 'R', { 0x1e, 0x11, 0x11, 0x1e, 0x14, 0x12, 0x11 } },
    { 'S', { 0x0f, 0x10, 0x10, 0x0e, 0x01, 0x01, 0x1e } },
    { 'T', { 0x1f, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04 } },
    { 'V', { 0x11, 0x11, 0x11, 0x11, 0x11, 0x0a, 0x04 } },
    { 'W', { 0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0a } },
} };

const Glyph* FindGlyph(char c)
{
    for (const auto& glyph : kGlyphs) {
        if (glyph.c == c)
            return &glyph;
    }
    return nullptr;
}

// Draws text in luma at (x, y) with square pixels of the given scale; clipped to the picture.
void DrawText(const YuvPlanes& planes, int width, int height, int x, int y, int scale,
    const std::string& text, uint8_t luma)
{
    for (char c : text) {
        if (const Glyph* glyph = FindGlyph(c)) {
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (!(glyph->rows[row] & (0x10 >> col)))
                        continue;
                    for (int dy = 0; dy < scale; ++dy) {
                        const int py = y + row * scale + dy;
                        if (py < 0 || py >= height)
                            continue;
                        for (int dx = 0; dx < scale; ++dx) {
                            const int px = x + col * scale + dx;
                            if (px >= 0 && px < width)
                                planes.y[static_cast<std::ptrdiff_t>(py) * planes.strideY + px]
                                    = luma;
                        }
                    }
                }
            }
        }
        x += 6 * scale;
    }
}

} // namespace

void PaintPicture(const YuvPlanes& planes, const PictureContent& content)
{
    const int width = content.width;
    const int height = content.height;
    const int frame = content.frameNumber;
    const int horizon = height / 2;
    const int shift = frame * 2;

    // Luma: a sky that brightens towards the horizon and drifts, a road that narrows to a
    // vanishing point, dashed lane marks that come towards the camera.
    for (int y = 0; y < height; ++y) {
        uint8_t* row = planes.y + static_cast<std::ptrdiff_t>(y) * planes.strideY;
        if (y < horizon) {
            for (int x = 0; x < width; ++x)
                row[x] = static_cast<uint8_t>(
                    90 + (y * 80) / std::max(1, horizon) + ((x + shift) % 64 < 32 ? 8 : 0));
            continue;
        }
        const int depth = y - horizon; // 0 at the horizon
        const int halfRoad = width / 40 + depth * width / std::max(1, 2 * (height - horizon));
        const int centre = width / 2;
        const int laneHalf = std::max(1, halfRoad / 40);
        const bool dash
            = ((depth * 64 / std::max(1, height - horizon) + 64 - (frame * 4) % 64) / 8) % 2 == 0;
        for (int x = 0; x < width; ++x) {
            uint8_t value = 70; // verge
            if (x > centre - halfRoad && x < centre + halfRoad) {
                value = 50; // tarmac
                const int off = x - centre;
                if (dash && off > -laneHalf && off < laneHalf)
                    value = 220;
                if (std::abs(std::abs(off) - halfRoad + 2 * laneHalf) < laneHalf)
                    value = 200;
            }
            row[x] = value;
        }
    }

    // Chroma: blue sky, neutral road, green verge (the road's edges as in the luma).
    const int chromaHeight = (height + 1) / 2;
    const int chromaWidth = (width + 1) / 2;
    for (int y = 0; y < chromaHeight; ++y) {
        uint8_t* u = planes.u + static_cast<std::ptrdiff_t>(y) * planes.strideU;
        uint8_t* v = planes.v + static_cast<std::ptrdiff_t>(y) * planes.strideV;
        if (2 * y < horizon) {
            std::memset(u, 160, static_cast<size_t>(chromaWidth));
            std::memset(v, 112, static_cast<size_t>(chromaWidth));
            continue;
        }
        const int depth = 2 * y - horizon;
        const int halfRoad = width / 40 + depth * width / std::max(1, 2 * (height - horizon));
        const int left = std::clamp((width / 2 - halfRoad) / 2, 0, chromaWidth);
        const int right = std::clamp((width / 2 + halfRoad + 1) / 2, left, chromaWidth);
        std::memset(u, 100, static_cast<size_t>(chromaWidth));
        std::memset(v, 110, static_cast<size_t>(chromaWidth));
        std::memset(u + left, 128, static_cast<size_t>(right - left));
        std::memset(v + left, 128, static_cast<size_t>(right - left));
    }

    // Camera name and recording time under the stamp band.
    const int scale = std::max(1, height / 90);
    const int textY = height / 8 + scale * 3;
    const int seconds = content.fps > 0 ? frame / content.fps : 0;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d", (seconds / 60) % 100, seconds % 60);
    DrawText(planes, width, height, scale * 4, textY, scale, content.cameraName, 240);
    DrawText(planes, width, height, width - scale * 34, textY, scale, clock, 240);

    // The stamp band: neutral chroma, then the cells.
    const int bandChromaRows = (height / 8 + 1) / 2;
    for (int y = 0; y < bandChromaRows; ++y) {
        std::memset(planes.u + static_cast<std::ptrdiff_t>(y) * planes.strideU, 128,
            static_cast<size_t>(chromaWidth));
        std::memset(planes.v + static_cast<std::ptrdiff_t>(y) * planes.strideV, 128,
            static_cast<size_t>(chromaWidth));
    }
    DrawFrameStamp(planes.y, planes.strideY, width, height, { content.streamId, frame });
}

} // namespace velomira
