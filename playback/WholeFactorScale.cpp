#include "playback/WholeFactorScale.h"

#include <cstddef>

namespace velomira {

std::optional<WholeFactors> WholeFactorsFor(
    int sourceWidth, int sourceHeight, int targetWidth, int targetHeight)
{
    if (targetWidth <= 0 || targetHeight <= 0 || targetWidth % 2 != 0 || targetHeight % 2 != 0)
        return std::nullopt;
    if (sourceWidth % targetWidth != 0 || sourceHeight % targetHeight != 0)
        return std::nullopt;
    const WholeFactors factors { sourceWidth / targetWidth, sourceHeight / targetHeight };
    if (factors.x < 1 || factors.y < 1 || (factors.x == 1 && factors.y == 1))
        return std::nullopt;
    return factors;
}

namespace {

// One target row from one source row (odd factorY) or the mean of two (even). The
// factor is a template argument for the usual ones, so the compiler knows the stride.
template<int kFixed>
void ScaleRow(const uint8_t* a, const uint8_t* b, uint8_t* out, int width, int runtimeFactor)
{
    const int factor = kFixed > 0 ? kFixed : runtimeFactor;
    if (factor % 2 == 1) {
        const uint8_t* pa = a + factor / 2;
        if (a == b) {
            for (int x = 0; x < width; ++x)
                out[x] = pa[static_cast<std::ptrdiff_t>(x) * factor];
        } else {
            const uint8_t* pb = b + factor / 2;
            for (int x = 0; x < width; ++x) {
                const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(x) * factor;
                out[x] = static_cast<uint8_t>((pa[at] + pb[at] + 1) >> 1);
            }
        }
        return;
    }
    const uint8_t* pa = a + factor / 2 - 1;
    if (a == b) {
        for (int x = 0; x < width; ++x) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(x) * factor;
            out[x] = static_cast<uint8_t>((pa[at] + pa[at + 1] + 1) >> 1);
        }
    } else {
        const uint8_t* pb = b + factor / 2 - 1;
        for (int x = 0; x < width; ++x) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(x) * factor;
            out[x] = static_cast<uint8_t>((pa[at] + pa[at + 1] + pb[at] + pb[at + 1] + 2) >> 2);
        }
    }
}

using RowScaler = void (*)(const uint8_t*, const uint8_t*, uint8_t*, int, int);

RowScaler RowScalerFor(int factor)
{
    switch (factor) {
    case 1:
        return ScaleRow<1>;
    case 2:
        return ScaleRow<2>;
    case 3:
        return ScaleRow<3>;
    case 4:
        return ScaleRow<4>;
    default:
        return ScaleRow<0>;
    }
}

} // namespace

void ScaleDownByWholeFactors(const uint8_t* source, int sourceStride, uint8_t* target,
    int targetStride, int targetWidth, int targetHeight, WholeFactors factors)
{
    const RowScaler scaleRow = RowScalerFor(factors.x);
    // The middle row of each cell, or the upper of the middle two.
    const int firstRow = factors.y % 2 == 1 ? factors.y / 2 : factors.y / 2 - 1;
    const std::ptrdiff_t secondRow = factors.y % 2 == 1 ? 0 : sourceStride;
    for (int y = 0; y < targetHeight; ++y) {
        const uint8_t* a
            = source + static_cast<std::ptrdiff_t>(y * factors.y + firstRow) * sourceStride;
        scaleRow(a, a + secondRow, target + static_cast<std::ptrdiff_t>(y) * targetStride,
            targetWidth, factors.x);
    }
}

} // namespace velomira
