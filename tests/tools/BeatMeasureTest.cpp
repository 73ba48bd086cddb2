#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "AssetList.h"
#include "music/Arrangement.h"
#include "music/BeatMeasure.h"
#include "music/DecodedMusic.h"
#include "music/Tempo.h"
#include "support/TestAudio.h"

// Short low tones on the beat read as kicks, and silence after them as calm.
TEST(MeasureBeats, GroupsReadingsByBeat)
{
    const std::int64_t frames = Tempo::BeatFrame(8);
    std::vector<float> samples(static_cast<std::size_t>(frames), 0.0f);
    const std::vector<float> tone = BinSine(3, Tempo::SecondsToFrames(0.1), 0.8f);
    for (int beat = 0; beat < 8; ++beat) {
        std::copy(tone.begin(), tone.end(), samples.begin() + Tempo::BeatFrame(beat));
    }
    const TestAudioFolder folder;
    const std::string path = folder.Write("beats.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, Tempo::sampleRate, 1, samples);

    const std::vector<BeatStats> beats = MeasureBeats(std::make_shared<const DecodedMusic>(DecodedMusic::Load(path)));
    ASSERT_EQ(beats.size(), 8u);
    for (const BeatStats& stats : beats) {
        EXPECT_GT(stats.peak, 0.25f) << stats.beat;
        EXPECT_EQ(stats.betweenKicks, 0.0f) << stats.beat;
        EXPECT_EQ(stats.minimum, 0.0f) << stats.beat;
        EXPECT_TRUE(stats.kick);
    }
}

// The show follows the kick: on each kick of the built track the level
// crosses 0.25; between kicks (bass included) and through the breakdowns it
// stays well below it.
TEST(MeasureBeats, BuiltTrackLiftsTheLevelOnKicksOnly)
{
    auto music = std::make_shared<const DecodedMusic>(DecodedMusic::Load((std::filesystem::path(BUILT_DATA_DIR) / musicAsset).string()));
    const std::int64_t frames = music->Frames();
    const std::vector<BeatStats> beats = MeasureBeats(std::move(music));
    int kicks = 0;
    for (const BeatStats& stats : beats) {
        if (stats.kick) {
            EXPECT_GT(stats.peak, 0.25f) << "beat " << stats.beat;
            ++kicks;
        } else {
            EXPECT_LT(stats.peak, 0.05f) << "beat " << stats.beat;
        }
        EXPECT_LT(stats.betweenKicksSum, 0.6f) << "beat " << stats.beat;
    }
    EXPECT_EQ(kicks, static_cast<int>(Arrangement::KickFrames(frames).size()));
}
