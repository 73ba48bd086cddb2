#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "core/DemoMessage.h"
#include "module/ModuleWriter.h"
#include "music/DecodedMusic.h"
#include "music/SteppedMusicStream.h"
#include "support/TestAudio.h"

namespace {

constexpr int rate = 48000;

std::string Written(const TestAudioFolder& folder, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    return folder.WriteBytes(name, std::string(bytes.begin(), bytes.end()));
}

// A song of one sample and one note at `noteRow` of the pattern, playing
// the sample looped from there to the end.
ModuleSong OneNoteSong(int rows, int channels, int noteRow)
{
    ModuleSong song;
    song.title = "one note";
    song.channels = channels;
    song.sample = SquareWaveSample(32);
    song.patterns.push_back(EmptyPattern(rows, channels));
    song.patterns[0].rows[static_cast<std::size_t>(noteRow)][0] = {49, 1, 0, 0};
    song.order = {0};
    return song;
}

// A MOD of one pattern whose speed goes from 6 ticks a row to 3 at row 32.
ModuleSong ModWithASpeedChange(int noteRow)
{
    ModuleSong song = OneNoteSong(64, 4, noteRow);
    song.patterns[0].rows[32][1] = {0, 0, 0x0F, 3};
    return song;
}

// An XM of 32 rows at speed 4 whose tempo goes from 150 to 250 at row 16.
ModuleSong XmWithATempoChange(int noteRow)
{
    ModuleSong song = OneNoteSong(32, 2, noteRow);
    song.speed = 4;
    song.tempo = 150;
    song.patterns[0].rows[16][1] = {0, 0, 0x0F, 250};
    return song;
}

// The first frame whose sound is not silence.
std::int64_t FirstSound(const DecodedMusic& music)
{
    const auto samples = music.Samples();
    for (std::size_t at = 0; at < samples.size(); ++at) {
        if (std::abs(samples[at]) > 1e-4f) {
            return static_cast<std::int64_t>(at) / music.Channels();
        }
    }
    return -1;
}

}  // namespace

// A tick lasts 2.5 / tempo seconds: 960 frames at 125 and 48 kHz. The
// first 32 rows take 6 ticks, the rest 3 after F03.
TEST(ModuleMusic, AModRendersItsRowsThroughASpeedChange)
{
    const TestAudioFolder folder;
    const ModuleSong song = ModWithASpeedChange(40);
    const DecodedMusic music = DecodedMusic::Load(Written(folder, "song.mod", WriteMod(song)));
    EXPECT_EQ(music.SampleRate(), rate);
    EXPECT_EQ(music.Channels(), 2);
    EXPECT_EQ(music.Frames(), (32 * 6 + 32 * 3) * 960);
    EXPECT_NEAR(static_cast<double>(FirstSound(music)), (32 * 6 + 8 * 3) * 960, 2.0) << "the note of row 40";
}

// XM's own speed and tempo, then a tempo change: 150 gives 800 frames a
// tick, 250 gives 480.
TEST(ModuleMusic, AnXmRendersItsRowsThroughATempoChange)
{
    const TestAudioFolder folder;
    const ModuleSong song = XmWithATempoChange(20);
    const DecodedMusic music = DecodedMusic::Load(Written(folder, "song.xm", WriteXm(song)));
    EXPECT_EQ(music.SampleRate(), rate);
    EXPECT_EQ(music.Frames(), 16 * 4 * 800 + 16 * 4 * 480);
    EXPECT_NEAR(static_cast<double>(FirstSound(music)), 16 * 4 * 800 + 4 * 4 * 480, 2.0) << "the note of row 20";
}

// A song that jumps back to its start would play for ever: its first pass
// is the music, which the show then loops like any other.
TEST(ModuleMusic, ASongThatLoopsByItsOwnJumpEndsAfterItsFirstPass)
{
    const TestAudioFolder folder;
    ModuleSong song = OneNoteSong(64, 4, 0);
    song.patterns.push_back(EmptyPattern(64, 4));
    song.patterns[1].rows[63][0] = {0, 0, 0x0B, 0};  // back to the first order
    song.order = {0, 1};
    const DecodedMusic music = DecodedMusic::Load(Written(folder, "loop.mod", WriteMod(song)));
    EXPECT_EQ(music.Frames(), 2 * 64 * 6 * 960);
}

// Seeking and looping act on a module's samples as on any music's: the
// clock goes round at the song's end, and the frames after the end are the
// song's first.
TEST(ModuleMusic, ARenderedSongSeeksAndLoopsAsAnyMusic)
{
    const TestAudioFolder folder;
    const ModuleSong song = ModWithASpeedChange(0);
    auto music = std::make_shared<const DecodedMusic>(DecodedMusic::Load(Written(folder, "song.mod", WriteMod(song))));
    const double length = music->Seconds();
    ASSERT_DOUBLE_EQ(length, 5.76);

    SteppedMusicStream stream(music);
    stream.Play();
    stream.SetPosition(5.5);
    stream.Advance(0.5);
    EXPECT_NEAR(stream.Position(), 0.24, 1e-9) << "round the end of the song";
    stream.SetPosition(2.0);
    stream.Advance(-3.0);
    EXPECT_NEAR(stream.Position(), length - 1.0, 1e-9) << "back round its start";

    std::vector<float> across(200 * 2);
    music->CopyLooped(music->Frames() - 100, across);
    const auto samples = music->Samples();
    for (std::size_t i = 0; i < 100 * 2; ++i) {
        EXPECT_EQ(across[i], samples[samples.size() - 200 + i]) << i;
        EXPECT_EQ(across[200 + i], samples[i]) << i;
    }
}

TEST(ModuleMusic, WhatIsNoPlayableModuleIsRefusedLikeAnyMusic)
{
    const TestAudioFolder folder;
    const auto refused = [](const std::string& path) {
        try {
            DecodedMusic::Load(path);
            ADD_FAILURE() << "loaded " << path;
        } catch (const DemoMessage& message) {
            EXPECT_EQ(message.Text(), "Unable to load music: " + path);
        }
    };
    std::vector<std::uint8_t> xm = WriteXm(OneNoteSong(32, 2, 0));
    xm.resize(80);  // the header, cut in its order table
    refused(Written(folder, "cut.xm", xm));
    refused(folder.WriteBytes("junk.xm", "Extended Module: but nothing that follows is one"));

    // 256 orders of 256 rows of 31 ticks at tempo 32: days of sound from a
    // few bytes, refused before a sample is rendered.
    ModuleSong endless = OneNoteSong(256, 1, 0);
    endless.speed = 31;
    endless.tempo = 32;
    endless.order.assign(256, 0);
    refused(Written(folder, "days.xm", WriteXm(endless)));
}

// Row n of a module's grid is the n-th row played, wherever a speed change
// puts it: 5760 frames a row before row 32 of the pattern, 2880 after.
TEST(ModuleRows, EachRowPlayedStartsWhereItsSoundDoes)
{
    const TestAudioFolder folder;
    ModuleSong song = ModWithASpeedChange(0);
    song.patterns.push_back(EmptyPattern(64, 4));
    song.order = {1, 0};
    const DecodedMusic music = DecodedMusic::Load(Written(folder, "song.mod", WriteMod(song)));
    const ModuleRows& rows = music.Rows();
    ASSERT_EQ(rows.Count(), 128u);
    EXPECT_EQ(rows.At(0).frame, 0);
    const auto startOf = [](int rowOfSecondPattern) {
        return 64 * 5760 + std::min(rowOfSecondPattern, 32) * 5760 + std::max(rowOfSecondPattern - 32, 0) * 2880;
    };
    for (const int row : {0, 1, 31, 32, 33, 63}) {
        const PlayedRow& played = rows.At(static_cast<std::size_t>(64 + row));
        EXPECT_EQ(played.order, 1);
        EXPECT_EQ(played.pattern, 0);
        EXPECT_EQ(played.row, row);
        EXPECT_LE(played.frame, startOf(row)) << row;
        EXPECT_GT(played.frame, startOf(row) - ModuleRows::precision) << row;
    }
    EXPECT_EQ(rows.At(5).pattern, 1) << "the first order plays the second pattern";
    EXPECT_EQ(rows.At(5).order, 0);

    // 120 ms a row, then 60 after the change at 64 + 32 rows played.
    EXPECT_NEAR(rows.RowAt(0.0), 0.0, 1e-9);
    EXPECT_NEAR(rows.RowAt(60.0), 0.5, 1e-9);
    EXPECT_NEAR(rows.RowAt(96 * 120.0 + 30.0), 96.5, 0.01);
    EXPECT_NEAR(rows.RowAt(96 * 120.0 + 31 * 60.0), 127.0, 0.01);
    EXPECT_EQ(rows.RowAt(music.Seconds() * 1000.0), 128.0);
    EXPECT_NEAR(rows.MillisecondsAt(64 + 40), 96 * 120.0 + 8 * 60.0, 0.34);
    EXPECT_NEAR(rows.MillisecondsAt(64 + 40.5), 96 * 120.0 + 8.5 * 60.0, 0.34);
    EXPECT_NEAR(rows.MillisecondsAt(500.0), music.Seconds() * 1000.0, 1e-9);
    for (const double row : {0.0, 3.25, 95.9, 100.5, 127.75}) {
        EXPECT_NEAR(rows.RowAt(rows.MillisecondsAt(row)), row, 1e-9) << row;
    }
}

TEST(ModuleRows, AnXmsRowsFollowItsTempoAndOtherMusicHasNone)
{
    const TestAudioFolder folder;
    const ModuleSong song = XmWithATempoChange(0);
    const DecodedMusic music = DecodedMusic::Load(Written(folder, "song.xm", WriteXm(song)));
    ASSERT_EQ(music.Rows().Count(), 32u);
    EXPECT_GT(music.Rows().At(16).frame, 16 * 3200 - ModuleRows::precision);
    EXPECT_LE(music.Rows().At(16).frame, 16 * 3200);
    EXPECT_NEAR(music.Rows().RowAt((16 * 3200 + 2 * 1920 + 960) / 48.0), 18.5, 0.01);

    const std::string wav = folder.Write("tone.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, std::vector<float>(4410, 0.5f));
    EXPECT_TRUE(DecodedMusic::Load(wav).Rows().Empty());
    EXPECT_EQ(DecodedMusic::Load(wav).Rows().RowAt(50.0), 0.0);
}
