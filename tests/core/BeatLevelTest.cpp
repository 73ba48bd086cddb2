#include <gtest/gtest.h>

#include <array>

#include "core/BeatLevel.h"

namespace {

// A spectrum whose 16 lowest bins add up to the given sum.
std::array<float, 1024> LowBinsSumming(float sum)
{
    std::array<float, 1024> spectrum{};
    for (int bin = 0; bin < 16; ++bin) {
        spectrum[static_cast<std::size_t>(bin)] = sum / 16.0f;
    }
    return spectrum;
}

}  // namespace

TEST(BeatLevel, IsTheSixthPowerOfTheLowBins)
{
    EXPECT_FLOAT_EQ(BeatLevel(LowBinsSumming(0.5f)), 0.015625f);
    EXPECT_NEAR(BeatLevel(LowBinsSumming(0.9f)), 0.531441f, 1e-6f);
}

TEST(BeatLevel, IsClampedToOne)
{
    EXPECT_EQ(BeatLevel(LowBinsSumming(1.0f)), 1.0f);
    EXPECT_EQ(BeatLevel(LowBinsSumming(1.2f)), 1.0f);  // not 2.985984
}

TEST(BeatLevel, ReadsOnlyTheSixteenLowestBins)
{
    std::array<float, 1024> spectrum{};
    spectrum[16] = 1.0f;
    spectrum[1023] = 1.0f;
    EXPECT_EQ(BeatLevel(spectrum), 0.0f);
    spectrum[15] = 1.0f;
    EXPECT_EQ(BeatLevel(spectrum), 1.0f);
}

TEST(BeatLevel, SilenceIsZero)
{
    EXPECT_EQ(BeatLevel(std::array<float, 1024>{}), 0.0f);
}
