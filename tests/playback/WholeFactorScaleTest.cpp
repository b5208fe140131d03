#include "playback/WholeFactorScale.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velomira {
namespace {

TEST(WholeFactorScale, TakesOnlyWholeFactorsToEvenSizes)
{
    const struct {
        int sw, sh, tw, th;
        std::optional<WholeFactors> expected;
    } cases[] = {
        { 1920, 1080, 640, 360, WholeFactors { 3, 3 } }, // front into the large panel
        { 1280, 720, 320, 240, WholeFactors { 4, 3 } }, // rear into the small panel
        { 1920, 1080, 960, 1080, WholeFactors { 2, 1 } },
        { 1920, 1080, 633, 354, std::nullopt }, // not whole
        { 1920, 1080, 1920, 1080, std::nullopt }, // no scaling
        { 640, 360, 1280, 720, std::nullopt }, // up
        { 320, 180, 64, 36, WholeFactors { 5, 5 } },
        { 330, 180, 66, 36, WholeFactors { 5, 5 } },
        { 320, 180, 320, 45, std::nullopt }, // odd height: chroma would not divide
        { 315, 180, 63, 36, std::nullopt }, // odd width
        { 1920, 1080, 0, 0, std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WholeFactorsFor(c.sw, c.sh, c.tw, c.th), c.expected)
            << c.sw << "x" << c.sh << " -> " << c.tw << "x" << c.th;
}

// Each target sample against the mean of its cell's middle samples, worked out from the
// definition, on a noisy plane whose rows are padded past the picture.
TEST(WholeFactorScale, EverySampleIsItsCellsCentre)
{
    std::mt19937 random(7);
    for (const WholeFactors factors : { WholeFactors { 2, 2 }, WholeFactors { 3, 3 },
             WholeFactors { 4, 3 }, WholeFactors { 1, 2 }, WholeFactors { 5, 6 } }) {
        const int tw = 14, th = 8;
        const int sw = tw * factors.x, sh = th * factors.y, sourceStride = sw + 9;
        std::vector<uint8_t> source(static_cast<size_t>(sourceStride * sh));
        for (auto& sample : source)
            sample = static_cast<uint8_t>(random());
        const int targetStride = tw + 5;
        std::vector<uint8_t> target(static_cast<size_t>(targetStride * th), 0xEE);
        ScaleDownByWholeFactors(
            source.data(), sourceStride, target.data(), targetStride, tw, th, factors);

        // The middle index along a factor, and whether the next one joins it.
        const auto middle
            = [](int factor) { return factor % 2 == 1 ? factor / 2 : factor / 2 - 1; };
        for (int y = 0; y < th; ++y) {
            for (int x = 0; x < tw; ++x) {
                const int x0 = x * factors.x + middle(factors.x);
                const int y0 = y * factors.y + middle(factors.y);
                const int nx = factors.x % 2 == 1 ? 1 : 2, ny = factors.y % 2 == 1 ? 1 : 2;
                int sum = 0;
                for (int dy = 0; dy < ny; ++dy)
                    for (int dx = 0; dx < nx; ++dx)
                        sum += source[static_cast<size_t>((y0 + dy) * sourceStride + x0 + dx)];
                const int count = nx * ny;
                ASSERT_EQ(
                    target[static_cast<size_t>(y * targetStride + x)], (sum + count / 2) / count)
                    << "factors " << factors.x << "x" << factors.y << " at " << x << "," << y;
            }
            // The row's padding is left as it was.
            for (int x = tw; x < targetStride; ++x)
                ASSERT_EQ(target[static_cast<size_t>(y * targetStride + x)], 0xEE);
        }
    }
}

} // namespace
} // namespace velomira
