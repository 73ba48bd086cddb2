#include <gtest/gtest.h>

#include "core/DemoMessage.h"
#include "script/EndDemo.h"
#include "script/Overlays.h"

namespace {

class Probe : public Effekt {
public:
    using Effekt::Effekt;
    void Draw(std::uint32_t, float) override {}
};

}  // namespace

TEST(EffektWindow, IsOpenAtBothEnds)
{
    const Probe probe(1000, 2000);
    EXPECT_FALSE(probe.IsActiveAt(1000));
    EXPECT_TRUE(probe.IsActiveAt(1001));
    EXPECT_TRUE(probe.IsActiveAt(1999));
    EXPECT_FALSE(probe.IsActiveAt(2000));
    EXPECT_FALSE(probe.IsActiveAt(0));
}

TEST(EffektWindow, TooNarrowWindowsAreNeverOpen)
{
    const Probe empty(500, 500);
    const Probe oneApart(500, 501);
    for (std::uint32_t time = 498; time < 504; ++time) {
        EXPECT_FALSE(empty.IsActiveAt(time)) << time;
        EXPECT_FALSE(oneApart.IsActiveAt(time)) << time;
    }
}

TEST(EffektWindow, ComparesUnsigned)
{
    // A script start of -1 reads as 4294967295: nothing comes after it.
    const Probe negativeStart(static_cast<std::uint32_t>(-1), 1000);
    EXPECT_FALSE(negativeStart.IsActiveAt(500));
    const Probe untilTheEnd(0, static_cast<std::uint32_t>(-1));
    EXPECT_TRUE(untilTheEnd.IsActiveAt(0xFFFFFFFEu));
}

TEST(EndDemo, DrawingEndsTheShow)
{
    Effekter::EndDemo end(5000, 6000);
    try {
        end.Draw(5001, 0.0f);
        FAIL() << "EndDemo::Draw returned";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "End of show");
        EXPECT_TRUE(message.IsEnding());
    }
}

TEST(EndDemo, TheShowEndsAtTheFirstWindowItReaches)
{
    EffectList effects;
    effects.Append(std::make_unique<Effekter::EndDemo>(9000, 9500));
    effects.Append(std::make_unique<Probe>(100, 200));
    effects.Append(std::make_unique<Effekter::EndDemo>(5000, 6000));
    effects.Append(std::make_unique<Effekter::EndDemo>(3000, 3001));  // too narrow to be reached
    EXPECT_EQ(ShowEndTime(effects, 0), 5000u);
    EXPECT_EQ(ShowEndTime(effects, 5500), 5500u) << "starting inside a window ends at once";
    EXPECT_EQ(ShowEndTime(effects, 6000), 9000u) << "the window is open at its end";
    EXPECT_EQ(ShowEndTime(effects, 9499), 9499u);
    EXPECT_FALSE(ShowEndTime(effects, 9500));
}
