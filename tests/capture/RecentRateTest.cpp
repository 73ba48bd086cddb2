#include <gtest/gtest.h>

#include "capture/RecentRate.h"
#include "capture/VideoFormat.h"

TEST(RecentRate, NothingIsKnownBeforeTwoSamplesApart)
{
    RecentRate rate;
    EXPECT_EQ(rate.FramesPerSecond(), 0.0);
    EXPECT_EQ(rate.SecondsLeft(100), 0);
    rate.Add(0.5, 10);
    EXPECT_EQ(rate.FramesPerSecond(), 0.0);
    rate.Add(0.5, 10);
    EXPECT_EQ(rate.SecondsLeft(100), 0) << "no time has passed";
    rate.Add(1.5, 40);
    EXPECT_DOUBLE_EQ(rate.FramesPerSecond(), 30.0);
    EXPECT_EQ(rate.SecondsLeft(300), 10);
    EXPECT_EQ(rate.SecondsLeft(0), 0);
}

// A show whose later scenes draw slower: the time left follows at once,
// where an average since the start would stand still for long.
TEST(RecentRate, FollowsTheLastFewSecondsOnly)
{
    RecentRate rate;
    double seconds = 0.0;
    long frames = 0;
    for (int tick = 0; tick < 200; ++tick, seconds += 0.1, frames += 6) {  // 60 frames a second
        rate.Add(seconds, frames);
    }
    EXPECT_NEAR(rate.FramesPerSecond(), 60.0, 1e-9);
    for (int tick = 0; tick < 100; ++tick) {  // then 10 a second, for ten seconds
        seconds += 0.1;
        frames += 1;
        rate.Add(seconds, frames);
    }
    EXPECT_NEAR(rate.FramesPerSecond(), 10.0, 1e-9) << "more samples than are kept";
    EXPECT_EQ(rate.SecondsLeft(120), 12);

    // Fewer samples than are kept, two a second: only the last five
    // seconds' count.
    RecentRate sparse;
    seconds = 0.0;
    frames = 0;
    for (int tick = 0; tick < 30; ++tick, seconds += 0.5, frames += 30) {
        sparse.Add(seconds, frames);
    }
    for (int tick = 0; tick < 20; ++tick) {
        seconds += 0.5;
        frames += 5;
        sparse.Add(seconds, frames);
    }
    EXPECT_NEAR(sparse.FramesPerSecond(), 10.0, 1e-9);
}

TEST(RecentRate, SlowFramesStillGiveARate)
{
    RecentRate rate;
    for (int frame = 0; frame <= 3; ++frame) {
        rate.Add(frame * 8.0, frame);  // one frame every eight seconds, longer than the span
    }
    EXPECT_NEAR(rate.FramesPerSecond(), 0.125, 1e-12);
    EXPECT_EQ(rate.SecondsLeft(2), 16);
}

TEST(VideoFormats, TheExtensionDecidesWhateverItsCase)
{
    for (const char* mp4 : {"show.mp4", "SHOW.MP4", "a/b.Mp4"}) {
        ASSERT_TRUE(VideoFormatFor(mp4)) << mp4;
        EXPECT_STREQ(VideoFormatFor(mp4)->containerName, "mp4") << mp4;
        EXPECT_STREQ(VideoFormatFor(mp4)->audioEncoder, "aac") << mp4;
    }
    ASSERT_TRUE(VideoFormatFor("Show.MKV"));
    EXPECT_STREQ(VideoFormatFor("Show.MKV")->containerName, "matroska");
    EXPECT_STREQ(VideoFormatFor("Show.MKV")->audioEncoder, "flac");
    for (const char* other : {"show.avi", "show", "mp4", "show.mp4.txt", ".MKV"}) {
        EXPECT_FALSE(VideoFormatFor(other)) << other;
    }
}
