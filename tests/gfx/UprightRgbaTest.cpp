#include <gtest/gtest.h>

#include <vector>

#include "gfx/Texture.h"

namespace {

// The picture as Upload takes it, from rows in the image library's order.
std::vector<std::uint8_t> Upright(const std::vector<std::uint8_t>& bottomFirst, int width, int height, int bytesPerPixel)
{
    const auto row = [&](int n) { return bottomFirst.data() + static_cast<std::size_t>(n * width * bytesPerPixel); };
    const auto result = UprightRgba(row, width, height, bytesPerPixel);
    return {result.get(), result.get() + static_cast<std::size_t>(width * height * 4)};
}

}  // namespace

TEST(UprightRgba, ReversesRowsAndSwapsBytesZeroAndTwo)
{
    // 2 x 2 in the image library's order: bottom row first, B G R A.
    const std::vector<std::uint8_t> bottomFirst = {
        1, 2, 3, 4,     5, 6, 7, 8,      // bottom row
        9, 10, 11, 12,  13, 14, 15, 16,  // top row
    };
    EXPECT_EQ(Upright(bottomFirst, 2, 2, 4), (std::vector<std::uint8_t>{
                                                 11, 10, 9, 12,  15, 14, 13, 16,  // top row first, R G B A
                                                 3, 2, 1, 4,     7, 6, 5, 8,
                                             }));
}

TEST(UprightRgba, WidensTwentyFourBitPixelsWithFullAlpha)
{
    const std::vector<std::uint8_t> bottomFirst = {
        1, 2, 3,  4, 5, 6,     // bottom row, B G R
        7, 8, 9,  10, 11, 12,  // top row
    };
    EXPECT_EQ(Upright(bottomFirst, 2, 2, 3), (std::vector<std::uint8_t>{
                                                 9, 8, 7, 255,  12, 11, 10, 255,
                                                 3, 2, 1, 255,  6, 5, 4, 255,
                                             }));
}

TEST(UprightRgba, OddHeightKeepsTheMiddleRowInPlace)
{
    const std::vector<std::uint8_t> result = Upright({1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}, 1, 3, 4);
    EXPECT_EQ(result[2], 3);  // old top row is now first, its byte 0 moved to byte 2
    EXPECT_EQ(result[6], 2);
    EXPECT_EQ(result[10], 1);
}
