#include <gtest/gtest.h>

#include <vector>

#include "ui/TimeControls.h"

namespace {

// A clock moved by hand that remembers seeks and pauses; it stands still
// while paused, as the real streams do.
class HandClock : public MusicStream {
public:
    void Play() override {}
    double Position() override { return position; }
    void SetPosition(double seconds) override
    {
        position = seconds < 0.0 ? 0.0 : seconds;
        seeks.push_back(position);
    }
    void SetPaused(bool paused) override { pauses.push_back(paused); }
    void FillSpectrum(std::span<float, spectrumBins>) override {}

    void Pass(double seconds)
    {
        if (pauses.empty() || !pauses.back()) {
            position += seconds;
        }
    }

    double position = 0.0;
    std::vector<double> seeks;
    std::vector<bool> pauses;
};

KeyRequests Keys(bool KeyRequests::*key)
{
    KeyRequests keys;
    keys.*key = true;
    return keys;
}

}  // namespace

TEST(TimeControls, WithNoKeysAndNoLoopTheMusicIsLeftAlone)
{
    HandClock clock;
    TimeControls controls;
    for (int frame = 0; frame < 100; ++frame) {
        clock.Pass(0.5);
        controls.Apply({}, clock);
    }
    EXPECT_TRUE(clock.seeks.empty());
    EXPECT_TRUE(clock.pauses.empty());
}

TEST(TimeControls, SpacePausesAndResumesWhereTheMusicWas)
{
    HandClock clock;
    clock.position = 42.25;
    TimeControls controls;
    controls.Apply(Keys(&KeyRequests::pause), clock);
    EXPECT_TRUE(controls.Paused());
    clock.Pass(3.0);
    controls.Apply({}, clock);
    EXPECT_DOUBLE_EQ(clock.position, 42.25) << "music time stands still";

    controls.Apply(Keys(&KeyRequests::seekForward), clock);
    EXPECT_DOUBLE_EQ(clock.position, 43.25) << "seeking works while paused";
    controls.Apply(Keys(&KeyRequests::pause), clock);
    EXPECT_FALSE(controls.Paused());
    EXPECT_EQ(clock.pauses, (std::vector<bool>{true, false}));
    EXPECT_EQ(clock.seeks, std::vector<double>{43.25}) << "resuming is no seek";
}

TEST(TimeControls, ShiftSeeksTenSecondsAndThePlainArrowsOne)
{
    HandClock clock;
    clock.position = 30.0;
    TimeControls controls;
    controls.Apply(Keys(&KeyRequests::seekFarForward), clock);
    controls.Apply(Keys(&KeyRequests::seekBack), clock);
    controls.Apply(Keys(&KeyRequests::seekFarBack), clock);
    controls.Apply(Keys(&KeyRequests::seekFarBack), clock);
    EXPECT_EQ(clock.seeks, (std::vector<double>{40.0, 39.0, 29.0, 19.0}));
}

TEST(TimeControls, ALoopSendsTheMusicBackToItsStartWhenItReachesItsEnd)
{
    HandClock clock;
    TimeControls controls;
    controls.SetLoop(12000, 20000);
    clock.position = 19.9;
    controls.Apply({}, clock);
    EXPECT_TRUE(clock.seeks.empty()) << "19.9 s lies inside the loop";
    clock.Pass(0.1);
    controls.Apply({}, clock);
    EXPECT_EQ(clock.seeks, std::vector<double>{12.0});
    clock.position = 5.0;
    controls.Apply({}, clock);
    EXPECT_EQ(clock.seeks.size(), 1u) << "before the loop the music plays into it";
}

TEST(TimeControls, BracketsSetTheLoopAtTheCurrentTimeAndBackspaceClearsIt)
{
    HandClock clock;
    TimeControls controls;
    clock.position = 61.5;
    controls.Apply(Keys(&KeyRequests::loopStart), clock);
    EXPECT_FALSE(controls.Looping()) << "no end yet";
    clock.position = 64.25;
    controls.Apply(Keys(&KeyRequests::loopEnd), clock);
    EXPECT_EQ(controls.LoopStart(), 61500u);
    EXPECT_EQ(controls.LoopEnd(), 64250u);
    clock.Pass(0.01);
    controls.Apply({}, clock);
    EXPECT_EQ(clock.seeks, std::vector<double>{61.5});

    controls.Apply(Keys(&KeyRequests::loopClear), clock);
    EXPECT_FALSE(controls.LoopStart());
    clock.position = 70.0;
    controls.Apply({}, clock);
    EXPECT_EQ(clock.seeks.size(), 1u);
}

TEST(TimeControls, ATimelineSeekHappensAtTheNextFrameOnce)
{
    HandClock clock;
    TimeControls controls;
    controls.RequestSeek(95.5);
    EXPECT_TRUE(clock.seeks.empty());
    controls.Apply({}, clock);
    controls.Apply({}, clock);
    EXPECT_EQ(clock.seeks, std::vector<double>{95.5});
}
