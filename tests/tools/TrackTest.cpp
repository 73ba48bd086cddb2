#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "support/TemporaryFolder.h"
#include "music/Arrangement.h"
#include "music/OggVorbisFile.h"
#include "music/SoundFile.h"
#include "music/Tempo.h"
#include "music/Track.h"
#include "AssetList.h"

namespace {

// Frames where the low end jumps up after a quiet spell: what a listener
// hears as the start of a kick.
std::vector<std::int64_t> LowOnsets(const std::vector<float>& mono)
{
    constexpr float threshold = 0.1f;
    const std::int64_t quietSpell = Tempo::SecondsToFrames(0.15);
    const float smoothing = 1.0f - std::exp(-2.0f * 3.14159265f * 200.0f / Tempo::sampleRate);
    std::vector<std::int64_t> onsets;
    float low = 0.0f;
    float lower = 0.0f;
    std::int64_t lastLoud = -quietSpell;
    for (std::size_t i = 0; i < mono.size(); ++i) {
        low += smoothing * (mono[i] - low);
        lower += smoothing * (low - lower);
        const auto frame = static_cast<std::int64_t>(i);
        if (std::fabs(lower) > threshold) {
            if (frame - lastLoud >= quietSpell) {
                onsets.push_back(frame);
            }
            lastLoud = frame;
        }
    }
    return onsets;
}

float Peak(const StereoBuffer& audio)
{
    float peak = 0.0f;
    for (std::size_t i = 0; i < audio.Frames(); ++i) {
        peak = std::max({peak, std::fabs(audio.left[i]), std::fabs(audio.right[i])});
    }
    return peak;
}

}  // namespace

TEST(Track, BuiltFileIsTheWholeTrackInStereoVorbisAt44100)
{
    const DecodedSound sound = ReadSound(std::filesystem::path(BUILT_DATA_DIR) / musicAsset);
    EXPECT_EQ(sound.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sampleRate, 44100);
    EXPECT_EQ(static_cast<std::int64_t>(sound.audio.Frames()), Tempo::SecondsToFrames(Arrangement::LengthSeconds()));
}

TEST(Track, ExcerptHasExactlyTheAskedLength)
{
    EXPECT_EQ(SynthesiseTrack(1.5).Frames(), static_cast<std::size_t>(1.5 * Tempo::sampleRate));
}

TEST(Track, LastsOverAMinuteWithItsClosingBar)
{
    EXPECT_GE(Arrangement::LengthSeconds(), 64.0);
    EXPECT_GT(Arrangement::LengthSeconds(), Tempo::BarFrame(Arrangement::barCount) / static_cast<double>(Tempo::sampleRate));
}

TEST(Track, KicksStartOnTheBeat)
{
    const std::vector<std::int64_t> onsets = LowOnsets(Mono(SynthesiseTrack(4.0)));
    const int beats = static_cast<int>(std::ceil(4.0 * Tempo::beatsPerMinute / 60.0));
    ASSERT_EQ(onsets.size(), static_cast<std::size_t>(beats));
    const std::int64_t tolerance = Tempo::SecondsToFrames(0.003);
    for (int beat = 0; beat < beats; ++beat) {
        EXPECT_NEAR(onsets[static_cast<std::size_t>(beat)], Tempo::BeatFrame(beat), tolerance) << "beat " << beat;
    }
}

// Decoded samples past full scale would clip in the player.
TEST(Track, BuiltFileStaysBelowFullScale)
{
    const float peak = Peak(ReadSound(std::filesystem::path(BUILT_DATA_DIR) / musicAsset).audio);
    EXPECT_LT(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);
}

TEST(Track, EncodesAsStereoVorbisAt44100)
{
    const TemporaryFolder folder;
    const StereoBuffer audio = SynthesiseTrack(2.0);
    SaveOggVorbis(audio, folder.Path() / "excerpt.ogg");
    const DecodedSound sound = ReadSound(folder.Path() / "excerpt.ogg");
    EXPECT_EQ(sound.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sampleRate, 44100);
    ASSERT_EQ(sound.audio.Frames(), audio.Frames());
    // Lossy, but the same music: the loudest moment survives encoding.
    EXPECT_NEAR(Peak(sound.audio), Peak(audio), 0.1f);
}

TEST(Track, EncodesTheSameBytesEveryTime)
{
    const TemporaryFolder folder;
    const StereoBuffer audio = SynthesiseTrack(1.0);
    SaveOggVorbis(audio, folder.Path() / "first.ogg");
    SaveOggVorbis(audio, folder.Path() / "second.ogg");
    EXPECT_EQ(ReadBytes(folder.Path() / "first.ogg"), ReadBytes(folder.Path() / "second.ogg"));
}

TEST(Track, SynthesisesTheSameSamplesEveryTime)
{
    const StereoBuffer first = SynthesiseTrack(1.0);
    const StereoBuffer second = SynthesiseTrack(1.0);
    EXPECT_EQ(first.left, second.left);
    EXPECT_EQ(first.right, second.right);
}

TEST(SoundFile, ReportsAFileItCannotRead)
{
    const TemporaryFolder folder;
    EXPECT_THROW(ReadSound(folder.Path() / "missing.ogg"), std::runtime_error);
}
