#include <gtest/gtest.h>

#include "music/PlaybackClock.h"

namespace {

// A microsecond timer and 48 kHz audio: 48 frames per millisecond.
constexpr std::uint64_t ticksPerSecond = 1'000'000;
constexpr std::uint64_t ms = 1'000;
constexpr std::uint64_t start = 5'000'000;

PlaybackClock MakeClock()
{
    return PlaybackClock(48000.0, ticksPerSecond);
}

}  // namespace

TEST(PlaybackClock, StandsStillUntilTheDeviceTakesABuffer)
{
    PlaybackClock clock = MakeClock();
    EXPECT_EQ(clock.FrameAt(start), 0.0);
    EXPECT_EQ(clock.FrameAt(start + 1000 * ms), 0.0);

    clock.Restart(700);
    EXPECT_EQ(clock.FrameAt(start + 2000 * ms), 700.0);
}

TEST(PlaybackClock, BuffersFollowOneAnotherFromTheRestartFrame)
{
    PlaybackClock clock = MakeClock();
    EXPECT_EQ(clock.Take(1024, start), 0);
    EXPECT_EQ(clock.Take(1024, start + 21 * ms), 1024);
    EXPECT_EQ(clock.Take(512, start + 42 * ms), 2048);

    clock.Restart(96000);
    EXPECT_EQ(clock.Take(1024, start + 50 * ms), 96000);
    EXPECT_EQ(clock.Take(1024, start + 71 * ms), 97024);
}

TEST(PlaybackClock, TimerMovesTheEstimateOnBetweenCallbacks)
{
    PlaybackClock clock = MakeClock();
    clock.Take(1024, start);
    EXPECT_EQ(clock.FrameAt(start), 0.0);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 5 * ms), 240.0);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 10 * ms), 480.0);

    clock.Take(1024, start + 21 * ms);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 21 * ms), 1024.0);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 31 * ms), 1024.0 + 480.0);
}

TEST(PlaybackClock, EstimateStopsAtTheEndOfTheLastBuffer)
{
    PlaybackClock clock = MakeClock();
    clock.Take(1024, start);
    EXPECT_EQ(clock.FrameAt(start + 30 * ms), 1024.0) << "the next callback is late";
    EXPECT_EQ(clock.FrameAt(start + 3000 * ms), 1024.0);
    clock.Take(1024, start + 3001 * ms);
    EXPECT_EQ(clock.FrameAt(start + 3001 * ms), 1024.0);
}

TEST(PlaybackClock, ReadsNeverRunBackwardsWithoutARestart)
{
    PlaybackClock clock = MakeClock();
    clock.Take(1024, start);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 10 * ms), 480.0);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 5 * ms), 480.0) << "an earlier timer reading";

    clock.Take(1024, start + 21 * ms);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 20 * ms), 1024.0) << "a reading stamped before the callback";
}

TEST(PlaybackClock, RestartMovesTheClockEitherWay)
{
    PlaybackClock clock = MakeClock();
    clock.Take(1024, start);
    clock.Take(1024, start + 21 * ms);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 31 * ms), 1504.0);

    clock.Restart(100);
    EXPECT_EQ(clock.FrameAt(start + 32 * ms), 100.0);
    clock.Take(1024, start + 40 * ms);
    EXPECT_DOUBLE_EQ(clock.FrameAt(start + 45 * ms), 100.0 + 240.0);

    clock.Restart(480000);
    EXPECT_EQ(clock.FrameAt(start + 46 * ms), 480000.0);
}

TEST(PlaybackClock, IrregularCallbacksNeverMakeItJumpBackOrAhead)
{
    // Callbacks nominally every 21.3 ms, each early or late by up to 9 ms,
    // read every millisecond: the estimate must rise steadily and never
    // pass what the device has been given.
    PlaybackClock clock = MakeClock();
    const std::int64_t offsets[] = {0, 9, -9, 4, -3, 8, -8, 1, 7, -6, 2, -1, 9, -9, 5};
    std::uint64_t nextCallback = start;
    std::int64_t handedOut = 0;
    double previous = 0.0;
    int callbacks = 0;
    for (std::uint64_t now = start; now < start + 300 * ms; now += ms) {
        if (now >= nextCallback) {
            handedOut = clock.Take(1024, now) + 1024;
            ++callbacks;
            const std::int64_t jitter = offsets[callbacks % std::size(offsets)];
            nextCallback = static_cast<std::uint64_t>(static_cast<std::int64_t>(now) + 21333 + jitter * 1000);
        }
        const double frame = clock.FrameAt(now);
        ASSERT_GE(frame, previous) << "at " << now;
        ASSERT_LE(frame, static_cast<double>(handedOut)) << "at " << now;
        previous = frame;
    }
    EXPECT_GT(previous, 300 * 48 - 2048);
}
