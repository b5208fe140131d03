#pragma once

#include <cstdint>
#include <optional>

namespace velomira {

// Downscaling an 8-bit plane by whole factors: each target sample is the centre of its
// cell of factorX x factorY source samples, the middle one along an odd factor and the
// mean of the middle two along an even one. At these factors that is what a 2-tap
// bilinear filter takes too, without running a general filter over every source row it
// touches: a 1080p picture into the 640x360 panel in about half the time.
struct WholeFactors {
    int x = 1;
    int y = 1;
    bool operator==(const WholeFactors&) const = default;
};

// The factors that take a source of the given size to the target's, when both are
// whole, at least one of them is above 1 and the target's sides are even (so a 4:2:0
// picture's chroma planes divide by the same factors); nothing otherwise.
std::optional<WholeFactors> WholeFactorsFor(
    int sourceWidth, int sourceHeight, int targetWidth, int targetHeight);

// Writes the target plane (targetWidth x targetHeight samples); the source plane holds
// targetWidth * factors.x x targetHeight * factors.y samples. Strides are in bytes.
void ScaleDownByWholeFactors(const uint8_t* source, int sourceStride, uint8_t* target,
    int targetStride, int targetWidth, int targetHeight, WholeFactors factors);

} // namespace velomira
