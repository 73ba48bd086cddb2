#include <gtest/gtest.h>

#include "music/Arrangement.h"
#include "music/Tempo.h"

#include <utility>
#include <vector>

TEST(Arrangement, KickOnEveryBeatButInShortBreakdownsOnPhraseBoundaries)
{
    std::vector<std::pair<int, int>> breakdowns;  // first bar, length
    for (int bar = 0; bar < Arrangement::barCount - 1; ++bar) {
        const bool first = Arrangement::KickOnBeat(bar * Tempo::beatsPerBar);
        for (int beat = 1; beat < Tempo::beatsPerBar; ++beat) {
            EXPECT_EQ(Arrangement::KickOnBeat(bar * Tempo::beatsPerBar + beat), first) << "bar " << bar;
        }
        if (!first) {
            if (breakdowns.empty() || breakdowns.back().first + breakdowns.back().second != bar) {
                breakdowns.emplace_back(bar, 0);
            }
            ++breakdowns.back().second;
        }
    }
    ASSERT_EQ(breakdowns.size(), static_cast<std::size_t>(1 + Arrangement::laterActs)) << "one breakdown an act";
    for (const auto& [firstBar, length] : breakdowns) {
        EXPECT_EQ(firstBar % 8, 0) << firstBar;
        EXPECT_GE(length, 4);
        EXPECT_LE(length, 8);
        EXPECT_TRUE(Arrangement::KickOnBeat((firstBar + length) * Tempo::beatsPerBar)) << "the kick returns after bar " << firstBar;
    }
}

TEST(Arrangement, KickFramesListTheKickBeats)
{
    const std::int64_t end = Tempo::BarFrame(Arrangement::barCount);
    const std::vector<std::int64_t> frames = Arrangement::KickFrames(end);
    std::size_t next = 0;
    for (int beat = 0; Tempo::BeatFrame(beat) < end; ++beat) {
        if (Arrangement::KickOnBeat(beat)) {
            ASSERT_LT(next, frames.size());
            EXPECT_EQ(frames[next++], Tempo::BeatFrame(beat));
        }
    }
    EXPECT_EQ(next, frames.size());
    EXPECT_EQ(Arrangement::KickFrames(Tempo::BeatFrame(3)).size(), 3u);
}

TEST(Arrangement, BassSitsAboveTheKicksFundamental)
{
    for (int bar = 0; bar < Arrangement::barCount; ++bar) {
        // MIDI 40 is E2, 82 Hz.
        EXPECT_GE(Arrangement::ChordOfBar(bar).bassRoot, 40) << bar;
    }
}

TEST(Arrangement, StartsAndEndsInAMinor)
{
    EXPECT_EQ(Arrangement::ChordOfBar(0).bassRoot % 12, 9);
    EXPECT_EQ(Arrangement::ChordOfBar(Arrangement::barCount - 1).bassRoot % 12, 9);
    EXPECT_EQ(Arrangement::MelodyOfBar(Arrangement::barCount - 1).front().note % 12, 9);
}
