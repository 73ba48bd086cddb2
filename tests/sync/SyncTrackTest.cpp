#include <gtest/gtest.h>

#include "sync/SyncTracks.h"

namespace {

// Two keys ten rows apart, from 2 to 6, moving by the interpolation given.
SyncTrack Segment(KeyInterpolation interpolation)
{
    SyncTrack track("segment");
    track.SetKey({10, 2.0f, interpolation});
    track.SetKey({20, 6.0f, KeyInterpolation::Step});
    return track;
}

TEST(SyncTrackTest, EverySegmentStartsAtItsKeyAndEndsAtTheNextOnesValue)
{
    for (const KeyInterpolation interpolation :
         {KeyInterpolation::Step, KeyInterpolation::Linear, KeyInterpolation::Smooth, KeyInterpolation::Ramp}) {
        const SyncTrack track = Segment(interpolation);
        EXPECT_DOUBLE_EQ(track.ValueAt(10.0), 2.0);
        EXPECT_DOUBLE_EQ(track.ValueAt(20.0), 6.0);
    }
}

TEST(SyncTrackTest, TheMiddleOfASegmentFollowsItsInterpolation)
{
    // A quarter of the way: t = 0.25.
    EXPECT_DOUBLE_EQ(Segment(KeyInterpolation::Step).ValueAt(12.5), 2.0);
    EXPECT_DOUBLE_EQ(Segment(KeyInterpolation::Linear).ValueAt(12.5), 3.0);
    EXPECT_DOUBLE_EQ(Segment(KeyInterpolation::Smooth).ValueAt(12.5), 2.0 + 4.0 * 0.15625);  // t²(3 - 2t)
    EXPECT_DOUBLE_EQ(Segment(KeyInterpolation::Ramp).ValueAt(12.5), 2.0 + 4.0 * 0.0625);     // t²
    // Just before the next key each is nearly there, step still holding.
    EXPECT_DOUBLE_EQ(Segment(KeyInterpolation::Step).ValueAt(19.999), 2.0);
    EXPECT_NEAR(Segment(KeyInterpolation::Linear).ValueAt(19.999), 6.0, 1e-3);
    EXPECT_NEAR(Segment(KeyInterpolation::Smooth).ValueAt(19.999), 6.0, 1e-6);
    EXPECT_NEAR(Segment(KeyInterpolation::Ramp).ValueAt(19.999), 6.0, 1e-3);
    // Smooth is symmetric about the middle; ramp is slow, then fast.
    EXPECT_DOUBLE_EQ(Segment(KeyInterpolation::Smooth).ValueAt(15.0), 4.0);
    EXPECT_DOUBLE_EQ(Segment(KeyInterpolation::Ramp).ValueAt(15.0), 3.0);
}

TEST(SyncTrackTest, OutsideItsKeysATrackHoldsTheNearestKeysValue)
{
    const SyncTrack track = Segment(KeyInterpolation::Linear);
    EXPECT_DOUBLE_EQ(track.ValueAt(0.0), 2.0);
    EXPECT_DOUBLE_EQ(track.ValueAt(9.99), 2.0);
    EXPECT_DOUBLE_EQ(track.ValueAt(20.5), 6.0);
    EXPECT_DOUBLE_EQ(track.ValueAt(1e9), 6.0);
    // The last key's own interpolation leads nowhere.
    SyncTrack single("single");
    single.SetKey({4, -1.5f, KeyInterpolation::Ramp});
    EXPECT_DOUBLE_EQ(single.ValueAt(0.0), -1.5);
    EXPECT_DOUBLE_EQ(single.ValueAt(100.0), -1.5);
    EXPECT_DOUBLE_EQ(SyncTrack("empty").ValueAt(5.0), 0.0);
}

TEST(SyncTrackTest, ValuesTakeTheDifferenceOfTheKeysInSinglePrecision)
{
    SyncTrack track("precise");
    track.SetKey({0, 0.1f, KeyInterpolation::Linear});
    track.SetKey({3, 16777217.0f, KeyInterpolation::Step});
    const float change = 16777217.0f - 0.1f;
    EXPECT_EQ(track.ValueAt(1.0), 0.1f + change * (1.0 / 3.0));
}

TEST(SyncTrackTest, HeldValuesIgnoreTheInterpolation)
{
    const SyncTrack track = Segment(KeyInterpolation::Smooth);
    EXPECT_DOUBLE_EQ(track.HeldValueAt(5.0), 2.0);
    EXPECT_DOUBLE_EQ(track.HeldValueAt(19.9), 2.0);
    EXPECT_DOUBLE_EQ(track.HeldValueAt(20.0), 6.0);
}

TEST(SyncTrackTest, KeysStayInRowOrderOneARow)
{
    SyncTrack track("keys");
    track.SetKey({30, 3.0f, KeyInterpolation::Linear});
    track.SetKey({10, 1.0f, KeyInterpolation::Linear});
    track.SetKey({20, 2.0f, KeyInterpolation::Linear});
    track.SetKey({20, 5.0f, KeyInterpolation::Ramp});
    ASSERT_EQ(track.Keys().size(), 3u);
    EXPECT_EQ(track.Keys()[0].row, 10);
    EXPECT_EQ(track.Keys()[1], (TrackKey{20, 5.0f, KeyInterpolation::Ramp}));
    EXPECT_EQ(track.Keys()[2].row, 30);

    EXPECT_FALSE(track.DeleteKey(25));
    EXPECT_TRUE(track.DeleteKey(20));
    EXPECT_EQ(track.KeyAt(20), nullptr);
    ASSERT_NE(track.KeyAt(30), nullptr);
    EXPECT_EQ(track.KeyAt(30)->value, 3.0f);
}

TEST(SyncTrackTest, FindsTheSegmentAndTheNeighbouringKeysOfARow)
{
    SyncTrack track("neighbours");
    track.SetKey({10, 1.0f, KeyInterpolation::Linear});
    track.SetKey({20, 2.0f, KeyInterpolation::Smooth});
    EXPECT_EQ(track.SegmentKeyAt(9), nullptr);
    EXPECT_EQ(track.SegmentKeyAt(10)->row, 10);
    EXPECT_EQ(track.SegmentKeyAt(19)->row, 10);
    EXPECT_EQ(track.SegmentKeyAt(500)->row, 20);

    EXPECT_EQ(track.PreviousKeyRow(10), std::nullopt);
    EXPECT_EQ(track.PreviousKeyRow(11), 10);
    EXPECT_EQ(track.PreviousKeyRow(20), 10);
    EXPECT_EQ(track.NextKeyRow(0), 10);
    EXPECT_EQ(track.NextKeyRow(10), 20);
    EXPECT_EQ(track.NextKeyRow(20), std::nullopt);
}

TEST(SyncTempoTest, RowsFollowTheTempoAtFractionsOfARow)
{
    const SyncTempo shipped{124.0, 8};
    EXPECT_DOUBLE_EQ(shipped.RowAt(0), 0.0);
    // 124 beats a minute: one beat every 60000 / 124 ms.
    EXPECT_NEAR(shipped.RowAt(483), 483.0 * 124.0 / 60000.0 * 8.0, 1e-12);
    EXPECT_NEAR(shipped.RowAt(60000), 992.0, 1e-9);
    const SyncTempo odd{97.3, 3};
    EXPECT_NEAR(odd.RowAt(1000), 97.3 / 60.0 * 3.0, 1e-12);
    EXPECT_NEAR(odd.RowAt(4294967295u), 4294967295.0 * 97.3 / 60000.0 * 3.0, 1e-3);
    const SyncTempo defaults;
    EXPECT_DOUBLE_EQ(defaults.RowAt(500), 8.0);  // 120 beats a minute, 8 rows a beat: 16 rows a second
}

TEST(SyncTempoTest, ASeekToARowLandsOnItsFirstMillisecond)
{
    for (const SyncTempo tempo : {SyncTempo{124.0, 8}, SyncTempo{97.3, 3}, SyncTempo{175.0, 16}, SyncTempo{120.0, 8}}) {
        for (int row = 1; row < 5000; row += 7) {
            const std::uint32_t start = tempo.StartOfRow(row);
            EXPECT_GE(tempo.RowAt(start), row) << tempo.beatsPerMinute << " " << row;
            EXPECT_LT(tempo.RowAt(start - 1), row) << tempo.beatsPerMinute << " " << row;
        }
    }
    EXPECT_EQ(SyncTempo{}.StartOfRow(0), 0u);
    EXPECT_EQ(SyncTempo{}.StartOfRow(-3), 0u);
    EXPECT_EQ(SyncTempo{}.StartOfRow(16), 1000u);
}

// Rows of 120 ms at 48 kHz, then of 60 ms from the fifth: a speed change.
ModuleRows SixRowsOfAModule()
{
    return ModuleRows({{0, 0, 0, 0}, {5760, 0, 0, 1}, {11520, 0, 0, 2}, {17280, 0, 0, 3}, {23040, 0, 0, 4}, {25920, 0, 0, 5}},
                      48000, 28800);
}

// When the tracks file asks for them, a module's rows are the grid: row n
// is the n-th row played, however long each lasts, both ways.
TEST(SyncTempoTest, OnAModulesRowsTheRowsAreThoseItPlayed)
{
    const ModuleRows rows = SixRowsOfAModule();
    SyncTempo tempo{124.0, 8};
    tempo.moduleRows = &rows;
    EXPECT_NEAR(tempo.RowAt(180), 180.0 * 124.0 / 60000.0 * 8.0, 1e-9) << "the tempo's, until the file asks";
    tempo.moduleGrid = true;
    EXPECT_NEAR(tempo.RowAt(180), 1.5, 1e-9);
    EXPECT_NEAR(tempo.RowAt(510), 4.5, 1e-9);
    EXPECT_EQ(tempo.RowAt(600), 6.0) << "the song's end";
    EXPECT_EQ(tempo.StartOfRow(4), 480u);
    EXPECT_EQ(tempo.StartOfRow(5), 540u);
    for (int row = 1; row < 6; ++row) {
        const std::uint32_t start = tempo.StartOfRow(row);
        EXPECT_GE(tempo.RowAt(start), row) << row;
        EXPECT_LT(tempo.RowAt(start - 1), row) << row;
    }
    const ModuleRows none;
    tempo.moduleRows = &none;
    EXPECT_NEAR(tempo.RowAt(180), 180.0 * 124.0 / 60000.0 * 8.0, 1e-9) << "music that is no module: the tempo's";
}

TEST(SyncTempoTest, OnlyPositiveFiniteTemposAreValid)
{
    EXPECT_TRUE((SyncTempo{124.0, 8}).Valid());
    EXPECT_FALSE((SyncTempo{0.0, 8}).Valid());
    EXPECT_FALSE((SyncTempo{-120.0, 8}).Valid());
    EXPECT_FALSE((SyncTempo{std::numeric_limits<double>::infinity(), 8}).Valid());
    EXPECT_FALSE((SyncTempo{std::numeric_limits<double>::quiet_NaN(), 8}).Valid());
    EXPECT_FALSE((SyncTempo{120.0, 0}).Valid());
}

TEST(SyncTracksTest, TracksKeepTheirAddressesAsMoreAreMade)
{
    SyncTracks tracks;
    SyncTrack& first = tracks.Track("first");
    for (int index = 0; index < 1000; ++index) {
        tracks.Track("t" + std::to_string(index));
    }
    EXPECT_EQ(&tracks.Track("first"), &first);
    EXPECT_EQ(tracks.Find("first"), &first);
    EXPECT_EQ(tracks.Find("absent"), nullptr);
    EXPECT_EQ(tracks.Size(), 1001u);
    EXPECT_EQ(&tracks[0], &first);
}

TEST(SyncTracksTest, DrivenTracksAreListedOnceInTheOrderFirstDriven)
{
    SyncTracks tracks;
    tracks.Track("in the file only");
    SyncTrack& glow = tracks.Drive("glow");
    tracks.Drive("NanoBall:Light pos.x");
    tracks.Drive("glow");
    ASSERT_EQ(tracks.Driven().size(), 2u);
    EXPECT_EQ(tracks.Driven()[0], &glow);
    EXPECT_EQ(tracks.Driven()[1]->Name(), "NanoBall:Light pos.x");
}

TEST(SyncTracksTest, AdoptingAReadSetKeepsTheMusicsRows)
{
    const ModuleRows rows = SixRowsOfAModule();
    SyncTracks tracks;
    tracks.tempo.moduleRows = &rows;
    SyncTracks read;
    read.tempo = {97.0, 4};
    read.tempo.moduleGrid = true;
    tracks.Adopt(std::move(read));
    EXPECT_EQ(tracks.tempo.beatsPerMinute, 97.0);
    EXPECT_TRUE(tracks.tempo.OnModuleRows()) << "the file's grid, on the music's rows";
}

TEST(SyncTracksTest, AdoptingAReadSetChangesKeysNeverTracks)
{
    SyncTracks show;
    SyncTrack& kept = show.Drive("kept");
    kept.SetKey({1, 1.0f, KeyInterpolation::Step});
    SyncTrack& dropped = show.Drive("dropped");
    dropped.SetKey({2, 2.0f, KeyInterpolation::Step});
    dropped.keptInFile = true;

    SyncTracks read;
    read.tempo = {124.0, 4};
    read.tracksAttributes = {{"rows", "10000"}};
    read.editorMarks = {"<bookmark row=\"8\"/>"};
    SyncTrack& readKept = read.Track("kept");
    readKept.SetKey({5, 5.0f, KeyInterpolation::Linear});
    readKept.keptInFile = true;
    readKept.editorAttributes = {{"color", "ff00ff00"}};
    read.Track("new").SetKey({7, 7.0f, KeyInterpolation::Ramp});

    show.Adopt(std::move(read));
    EXPECT_EQ(show.tempo, (SyncTempo{124.0, 4}));
    EXPECT_EQ(show.tracksAttributes, (XmlAttributes{{"rows", "10000"}}));
    EXPECT_EQ(show.editorMarks, std::vector<std::string>{"<bookmark row=\"8\"/>"});
    EXPECT_EQ(&show.Track("kept"), &kept);
    EXPECT_EQ(kept.Keys(), (std::vector<TrackKey>{{5, 5.0f, KeyInterpolation::Linear}}));
    EXPECT_TRUE(kept.keptInFile);
    EXPECT_EQ(kept.editorAttributes, (XmlAttributes{{"color", "ff00ff00"}}));
    EXPECT_FALSE(dropped.HasKeys());
    EXPECT_FALSE(dropped.keptInFile);
    ASSERT_NE(show.Find("new"), nullptr);
    EXPECT_EQ(show.Find("new")->Keys().size(), 1u);
    EXPECT_EQ(show.Driven().size(), 2u);
}

}  // namespace
