// The printed picture's size on the page and where the window is captured from.
#include "tools/PrintLayout.h"

#include <gtest/gtest.h>

namespace velomira {
namespace {

TEST(PrintScaling, WorkedExamples)
{
    const struct {
        const char* name;
        int imageW, imageH, pageW, pageH;
        PrintedSize expected;
    } cases[] = {
        { "portrait A4 at 600 dpi", 1020, 720, 4960, 7016, { 4940, 3487 } },
        { "landscape letter", 1020, 720, 6600, 5100, { 6574, 4640 } },
        { "wide page", 1020, 720, 7000, 4000, { 5312, 3750 } },
        { "reference window fills a portrait page's width", 1024, 768, 4960, 7016, { 4960, 3720 } },
        { "reference window fills a wide page's height", 1024, 768, 7000, 4000, { 5333, 4000 } },
        { "window wider than the reference", 2048, 768, 4960, 7016, { 4960, 1860 } },
        { "window taller than the reference", 1024, 1536, 4960, 7016, { 4677, 7016 } },
        { "full HD screen on landscape", 1920, 1080, 6600, 5100, { 6600, 3712 } },
        { "nothing captured", 0, 720, 4960, 7016, { 0, 0 } },
        { "no page", 1020, 720, 0, 0, { 0, 0 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintedSizeOnPage(c.imageW, c.imageH, c.pageW, c.pageH), c.expected) << c.name;
}

TEST(PrintCapture, OffScreenWindowsAreCentredThenClamped)
{
    const ScreenRect desktop { 0, 0, 1920, 1040 }; // a task bar below
    const struct {
        const char* name;
        ScreenRect window;
        bool move;
        int left, top, width, height;
    } cases[] = {
        { "on screen", { 100, 50, 1120, 770 }, false, 0, 0, 1020, 720 },
        { "touching the right edge", { 900, 0, 1920, 720 }, false, 0, 0, 1020, 720 },
        { "off the left", { -10, 50, 1010, 770 }, true, 450, 160, 1020, 720 },
        { "off the top", { 100, -1, 1120, 719 }, true, 450, 160, 1020, 720 },
        { "off the bottom", { 100, 500, 1120, 1220 }, true, 450, 160, 1020, 720 },
        { "larger than the screen", { -50, -50, 2050, 1250 }, true, -90, -130, 1920, 1080 },
    };
    for (const auto& c : cases) {
        const CapturePlan plan = PlanCapture(c.window, 1920, 1080, desktop);
        EXPECT_EQ(plan.move, c.move) << c.name;
        if (c.move) {
            EXPECT_EQ(plan.moveLeft, c.left) << c.name;
            EXPECT_EQ(plan.moveTop, c.top) << c.name;
        }
        EXPECT_EQ(plan.width, c.width) << c.name;
        EXPECT_EQ(plan.height, c.height) << c.name;
    }
}

} // namespace
} // namespace velomira
