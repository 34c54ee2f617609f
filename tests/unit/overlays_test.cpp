// overlays_test.cpp -- which screen columns the frame picture leaves to be seen: the battle is
// drawn only there, so a column counts as hidden only when the frame is opaque in every row.
#include <gtest/gtest.h>

#include <vector>

#include "ui/overlays.h"

namespace {

constexpr uint32_t kOpaque = 0xFF203040;
constexpr uint32_t kClear = 0x00000000;

TEST(FrameSeenColumns, OnlyColumnsOpaqueInEveryRowAreHidden) {
    struct Case {
        const char* what;
        int leftPanel, rightPanel;  // opaque columns at each side in every row
        int softX, softY;           // one half-transparent pixel, or -1
        SeenColumns expected;
    };
    const Case cases[] = {
        {"two opaque panels", 8, 8, -1, -1, {8, 24}},
        {"a soft pixel in one row's left panel", 8, 8, 5, 3, {5, 24}},
        {"a soft pixel in the right panel", 8, 8, 28, 0, {8, 29}},
        {"no panels", 0, 0, -1, -1, {0, 32}},
        {"opaque everywhere", 32, 0, -1, -1, {32, 32}},
    };
    const int width = 32, height = 6, pitch = 40;  // rows wider than the region, as in a texture
    for (const Case& c : cases) {
        std::vector<uint32_t> pixels(pitch * height, kClear);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < pitch; ++x) {
                bool opaque = x < c.leftPanel || (x >= width - c.rightPanel);
                pixels[static_cast<size_t>(y * pitch + x)] = opaque ? kOpaque : kClear;
            }
        }
        if (c.softX >= 0) pixels[static_cast<size_t>(c.softY * pitch + c.softX)] = 0x80FFFFFF;
        SeenColumns seen = FrameSeenColumns(pixels.data(), pitch, width, height);
        EXPECT_EQ(seen.left, c.expected.left) << c.what;
        EXPECT_EQ(seen.right, c.expected.right) << c.what;
    }
}

}  // namespace
