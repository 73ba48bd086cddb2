#include <gtest/gtest.h>

#include "core/DemoRandom.h"

TEST(DemoRandom, SeedOneGivesTheClassicSequence)
{
    DemoRandom::Seed(1);
    EXPECT_EQ(DemoRandom::Next(), 41);
    EXPECT_EQ(DemoRandom::Next(), 18467);
    EXPECT_EQ(DemoRandom::Next(), 6334);
    EXPECT_EQ(DemoRandom::Next(), 26500);
    EXPECT_EQ(DemoRandom::Next(), 19169);
}

TEST(DemoRandom, ReseedingRepeatsTheSequence)
{
    DemoRandom::Seed(89);
    const int first = DemoRandom::Next();
    const int second = DemoRandom::Next();
    DemoRandom::Seed(89);
    EXPECT_EQ(DemoRandom::Next(), first);
    EXPECT_EQ(DemoRandom::Next(), second);
}

TEST(DemoRandom, StateWrapsModulo32Bits)
{
    DemoRandom::Seed(0);
    EXPECT_EQ(DemoRandom::Next(), 38);  // 2531011 >> 16
    DemoRandom::Seed(0xFFFFFFFFu);
    EXPECT_EQ(DemoRandom::Next(), 35);  // (2531011 - 214013) >> 16
}

TEST(RandomUnit, IsOneDrawOver32767)
{
    DemoRandom::Seed(1);
    EXPECT_FLOAT_EQ(RandomUnit(), 41.0f / 32767.0f);
    EXPECT_FLOAT_EQ(RandomUnit(), 18467.0f / 32767.0f);
}
