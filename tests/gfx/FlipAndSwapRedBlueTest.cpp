#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gfx/Texture.h"

namespace {

std::unique_ptr<std::uint8_t[]> Buffer(const std::vector<std::uint8_t>& bytes)
{
    auto buffer = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), buffer.get());
    return buffer;
}

}  // namespace

TEST(FlipAndSwapRedBlue, ReversesRowsAndSwapsBytesZeroAndTwo)
{
    // 2 x 2 in the image library's order: bottom row first, B G R A.
    const std::vector<std::uint8_t> bottomFirst = {
        1, 2, 3, 4,     5, 6, 7, 8,      // bottom row
        9, 10, 11, 12,  13, 14, 15, 16,  // top row
    };
    const auto result = FlipAndSwapRedBlue(Buffer(bottomFirst), 2, 2);
    const std::vector<std::uint8_t> expected = {
        11, 10, 9, 12,  15, 14, 13, 16,  // top row first, R G B A
        3, 2, 1, 4,     7, 6, 5, 8,
    };
    EXPECT_EQ(std::vector<std::uint8_t>(result.get(), result.get() + 16), expected);
}

TEST(FlipAndSwapRedBlue, SingleRowOnlySwaps)
{
    const auto result = FlipAndSwapRedBlue(Buffer({0x00, 0x00, 0xFF, 0x80, 0xFF, 0x00, 0x00, 0x40}), 2, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(result.get(), result.get() + 8),
              (std::vector<std::uint8_t>{0xFF, 0x00, 0x00, 0x80, 0x00, 0x00, 0xFF, 0x40}));
}

TEST(FlipAndSwapRedBlue, OddHeightKeepsTheMiddleRowInPlace)
{
    const auto result = FlipAndSwapRedBlue(Buffer({1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}), 1, 3);
    EXPECT_EQ(result[2], 3);  // old top row is now first, its byte 0 moved to byte 2
    EXPECT_EQ(result[6], 2);
    EXPECT_EQ(result[10], 1);
}
