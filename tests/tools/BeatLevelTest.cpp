#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "music/Arrangement.h"
#include "music/BeatLevel.h"
#include "music/Tempo.h"
#include "music/SoundFile.h"
#include "AssetList.h"

namespace {

std::vector<float> Sine(double frequency, float amplitude, std::size_t frames)
{
    std::vector<float> samples(frames);
    for (std::size_t n = 0; n < frames; ++n) {
        samples[n] = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(n) / Tempo::sampleRate));
    }
    return samples;
}

constexpr double binWidth = static_cast<double>(Tempo::sampleRate) / BeatLevel::windowSize;

}  // namespace

TEST(BeatLevel, AFullScaleSineOnABinReadsOne)
{
    BeatLevel level;
    const std::vector<float> magnitudes = level.Magnitudes(Sine(5 * binWidth, 1.0f, 4096), 4096);
    ASSERT_EQ(magnitudes.size(), 1024u);
    EXPECT_NEAR(magnitudes[5], 1.0f, 0.01f);
    EXPECT_NEAR(magnitudes[4], 0.5f, 0.01f);
    EXPECT_NEAR(magnitudes[6], 0.5f, 0.01f);
    EXPECT_NEAR(magnitudes[9], 0.0f, 0.01f);
}

TEST(BeatLevel, SumsOnlyTheLowestSixteenBins)
{
    BeatLevel level;
    EXPECT_NEAR(level.LowBandSum(Sine(8 * binWidth, 0.5f, 4096), 4096), 1.0f, 0.01f);
    // Bin 20 and its neighbours lie above the band.
    EXPECT_NEAR(level.LowBandSum(Sine(20 * binWidth, 1.0f, 4096), 4096), 0.0f, 0.01f);
}

TEST(BeatLevel, ReadsTheWindowEndingJustBeforeThePosition)
{
    std::vector<float> samples(8192, 0.0f);
    const std::vector<float> burst = Sine(4 * binWidth, 1.0f, 2048);
    std::copy(burst.begin(), burst.end(), samples.begin() + 4000);
    BeatLevel level;
    EXPECT_EQ(level.LowBandSum(samples, 4000), 0.0f);
    EXPECT_GT(level.LowBandSum(samples, 6048), 1.9f);
    EXPECT_EQ(level.LowBandSum(samples, 8192), 0.0f);
}

TEST(BeatLevel, TreatsTimeBeforeTheStartAsSilence)
{
    const std::vector<float> samples = Sine(4 * binWidth, 1.0f, 4096);
    std::vector<float> padded(2048, 0.0f);
    padded.insert(padded.end(), samples.begin(), samples.end());
    BeatLevel level;
    EXPECT_EQ(level.LowBandSum(samples, 0), 0.0f);
    EXPECT_GT(level.LowBandSum(samples, 1024), 0.1f);
    EXPECT_EQ(level.LowBandSum(samples, 1024), level.LowBandSum(padded, 2048 + 1024));
}

TEST(BeatLevel, RaisesTheSumToTheSixthPowerUpToOne)
{
    EXPECT_FLOAT_EQ(BeatLevel::LevelOfSum(0.5f), 0.015625f);
    EXPECT_FLOAT_EQ(BeatLevel::LevelOfSum(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(BeatLevel::LevelOfSum(2.0f), 1.0f);
}

TEST(MeasureBeats, GroupsReadingsByBeat)
{
    // A short low tone at the start of each of the first eight beats.
    const std::int64_t frames = Tempo::BeatFrame(8);
    std::vector<float> samples(static_cast<std::size_t>(frames), 0.0f);
    const std::vector<float> tone = Sine(3 * binWidth, 0.8f, static_cast<std::size_t>(Tempo::SecondsToFrames(0.1)));
    for (int beat = 0; beat < 8; ++beat) {
        std::copy(tone.begin(), tone.end(), samples.begin() + Tempo::BeatFrame(beat));
    }
    const std::vector<BeatStats> beats = MeasureBeats(samples);
    ASSERT_EQ(beats.size(), 8u);
    for (const BeatStats& stats : beats) {
        EXPECT_GT(stats.peak, 0.25f) << stats.beat;
        EXPECT_EQ(stats.betweenKicks, 0.0f) << stats.beat;
        EXPECT_EQ(stats.minimum, 0.0f) << stats.beat;
        EXPECT_TRUE(stats.kick);
    }
}

// The show follows the kick: on each kick of the built track the level
// crosses 0.25; between kicks (bass included) and through the breakdown it
// stays well below it.
TEST(MeasureBeats, BuiltTrackLiftsTheLevelOnKicksOnly)
{
    const DecodedSound sound = ReadSound(std::filesystem::path(BUILT_DATA_DIR) / musicAsset);
    const std::vector<BeatStats> beats = MeasureBeats(Mono(sound.audio));
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
    EXPECT_EQ(kicks, static_cast<int>(Arrangement::KickFrames(static_cast<std::int64_t>(sound.audio.Frames())).size()));
}
