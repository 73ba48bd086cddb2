#include <gtest/gtest.h>

#include <cmath>

#include "capture/CaptureTimeline.h"

// Every frame time in [from, to) gets a frame, and no other.
TEST(CaptureTimeline, FramesCoverTheSpanAndNoMore)
{
    EXPECT_EQ(CaptureTimeline(0, 1000, 60, 44100).Frames(), 60);
    EXPECT_EQ(CaptureTimeline(0, 1001, 60, 44100).Frames(), 61);
    EXPECT_EQ(CaptureTimeline(2500, 5500, 10, 48000).Frames(), 30);
    EXPECT_EQ(CaptureTimeline(1000, 1000, 60, 44100).Frames(), 0);
    EXPECT_EQ(CaptureTimeline(0, 1000, 60, 44100).TimeOf(59), 983u);
    EXPECT_EQ(CaptureTimeline(400, 1000, 30, 44100).TimeOf(3), 500u);
}

// Over a whole show the sound is exactly the music's samples from `from` to
// `to`, and every frame's share starts at its own time, whatever the rates.
TEST(CaptureTimeline, TheSoundNeverDriftsFromThePictures)
{
    struct Case {
        std::uint32_t from, to;
        int fps, rate;
    };
    for (const Case c : {Case{0, 3'600'000, 60, 44100}, Case{1234, 201'290, 7, 44100}, Case{999, 65'537, 24, 48000},
                         Case{0, 10'001, 1000, 22050},
                         // from rounds down and to up: the last frame carries one sample more
                         Case{6, 16, 100, 22050}}) {
        const CaptureTimeline timeline(c.from, c.to, c.fps, c.rate);
        const std::int64_t first = std::llround(c.from * static_cast<double>(c.rate) / 1000.0);
        EXPECT_EQ(timeline.FirstSample(), first);
        EXPECT_EQ(timeline.SoundBefore(0), 0);
        EXPECT_EQ(timeline.SoundBefore(timeline.Frames()), std::llround(c.to * static_cast<double>(c.rate) / 1000.0) - first)
            << c.to;
        for (long n = 0; n < timeline.Frames(); ++n) {
            const std::int64_t start = timeline.SoundBefore(n);
            const std::int64_t share = timeline.SoundBefore(n + 1) - start;
            ASSERT_LE(std::abs(static_cast<double>(start) - static_cast<double>(n) * c.rate / c.fps), 1.0) << n;
            ASSERT_GE(share, 0);
            ASSERT_LE(share, timeline.MostSoundPerFrame());
        }
    }
}
