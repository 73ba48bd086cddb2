#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "music/DecodedMusic.h"
#include "music/MusicHearing.h"
#include "support/TestAudio.h"

namespace {

constexpr unsigned everything =
    MusicHearing::NeedSpectrum | MusicHearing::NeedSmoothed | MusicHearing::NeedIntegrated | MusicHearing::NeedChannel;

class MusicHearingTest : public ::testing::Test {
protected:
    std::shared_ptr<const DecodedMusic> Music(const std::vector<float>& interleaved, int sampleRate, int channels = 1)
    {
        const std::string path = folder.Write("music" + std::to_string(++written) + ".wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                                              sampleRate, channels, interleaved);
        return std::make_shared<const DecodedMusic>(DecodedMusic::Load(path));
    }

    TestAudioFolder folder;
    int written = 0;
};

std::vector<float> Silence(std::int64_t frames)
{
    return std::vector<float>(static_cast<std::size_t>(frames), 0.0f);
}

std::vector<float> Constant(std::int64_t frames, float level)
{
    return std::vector<float>(static_cast<std::size_t>(frames), level);
}

// A sine of any frequency, given in periods per 2048 frames (the bin it
// falls on, whole or not).
std::vector<float> Tone(double bin, std::int64_t frames, float amplitude)
{
    std::vector<float> samples(static_cast<std::size_t>(frames));
    for (std::int64_t n = 0; n < frames; ++n) {
        samples[static_cast<std::size_t>(n)] =
            amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * bin * static_cast<double>(n) / 2048.0));
    }
    return samples;
}

float LargestOutside(std::span<const float> bins, int first, int last)
{
    float largest = 0.0f;
    for (int k = 0; k < static_cast<int>(bins.size()); ++k) {
        if (k < first || k > last) {
            largest = std::max(largest, bins[k]);
        }
    }
    return largest;
}

int LargestTexelOutside(std::span<const std::uint8_t> texels, int first, int last)
{
    int largest = 0;
    for (int k = 0; k < static_cast<int>(texels.size()); ++k) {
        if (k < first || k > last) {
            largest = std::max(largest, static_cast<int>(texels[k]));
        }
    }
    return largest;
}

float Largest(std::span<const float> bins)
{
    return *std::max_element(bins.begin(), bins.end());
}

int LargestTexel(std::span<const std::uint8_t> texels)
{
    return *std::max_element(texels.begin(), texels.end());
}

// Everything a shader hears at a moment, with the floats as bit patterns so
// that comparisons are exact.
struct Heard {
    std::vector<std::uint32_t> spectrum;
    std::vector<std::uint32_t> smoothed;
    std::vector<std::uint32_t> integrated;
    std::vector<std::uint8_t> channelSpectrum;
    std::vector<std::uint8_t> channelWave;

    bool operator==(const Heard&) const = default;
};

std::vector<std::uint32_t> Bits(std::span<const float> values)
{
    std::vector<std::uint32_t> bits;
    for (const float value : values) {
        bits.push_back(std::bit_cast<std::uint32_t>(value));
    }
    return bits;
}

Heard HeardAt(MusicHearing& hearing, double seconds)
{
    hearing.MoveTo(seconds, everything);
    return Heard{Bits(hearing.Spectrum()),
                 Bits(hearing.SmoothedSpectrum()),
                 Bits(hearing.IntegratedSpectrum()),
                 {hearing.ChannelSpectrum().begin(), hearing.ChannelSpectrum().end()},
                 {hearing.ChannelWave().begin(), hearing.ChannelWave().end()}};
}

}  // namespace

TEST_F(MusicHearingTest, SpectrumReadsAToneAtTwiceItsAmplitudeInItsBin)
{
    {
        SCOPED_TRACE("centred on bin 100");
        MusicHearing hearing(Music(BinSine(100, 16384, 0.25f), 8192));
        hearing.MoveTo(1.0, MusicHearing::NeedSpectrum);
        EXPECT_NEAR(hearing.Spectrum()[100], 0.5f, 1e-4f);
        // Unwindowed, a centred tone leaks into no other bin.
        EXPECT_LT(LargestOutside(hearing.Spectrum(), 100, 100), 1e-4f);
    }
    {
        SCOPED_TRACE("half way between bins 100 and 101, at 48 kHz");
        MusicHearing hearing(Music(Tone(100.5, 48000, 0.5f), 48000));
        hearing.MoveTo(0.5, MusicHearing::NeedSpectrum);
        // Half a bin off, each neighbour reads 2 / pi of the centred height.
        const float expected = 2.0f * 0.5f * 2.0f / std::numbers::pi_v<float>;
        EXPECT_NEAR(hearing.Spectrum()[100], expected, 5e-3f);
        EXPECT_NEAR(hearing.Spectrum()[101], expected, 5e-3f);
        EXPECT_LT(hearing.Spectrum()[400], 0.01f) << "a distant bin";
        EXPECT_LT(hearing.Spectrum()[1023], 0.01f);
    }
}

TEST_F(MusicHearingTest, SpectrumAveragesTheChannels)
{
    const std::vector<float> tone = BinSine(40, 8192, 0.5f);
    std::vector<float> inverted = tone;
    std::transform(inverted.begin(), inverted.end(), inverted.begin(), [](float sample) { return -sample; });

    MusicHearing oneSide(Music(Interleave({tone, Silence(8192)}), 8192, 2));
    oneSide.MoveTo(0.5, MusicHearing::NeedSpectrum);
    EXPECT_NEAR(oneSide.Spectrum()[40], 0.5f, 1e-4f);

    MusicHearing cancelled(Music(Interleave({tone, inverted}), 8192, 2));
    cancelled.MoveTo(0.5, MusicHearing::NeedSpectrum);
    EXPECT_EQ(Largest(cancelled.Spectrum()), 0.0f);
}

TEST_F(MusicHearingTest, ChannelSpectrumLightsTheTonesTexelAndNoDistantOne)
{
    {
        SCOPED_TRACE("loud, centred on bin 100");
        MusicHearing hearing(Music(BinSine(100, 4 * 8192, 1.0f), 8192));
        hearing.MoveTo(2.0, MusicHearing::NeedChannel);
        EXPECT_EQ(hearing.ChannelSpectrum()[100], 255);
        // The Blackman window spreads a centred tone over five bins, no more.
        EXPECT_EQ(LargestTexelOutside(hearing.ChannelSpectrum(), 98, 102), 0);
    }
    {
        SCOPED_TRACE("loud, half way between bins 100 and 101, at 44.1 kHz");
        MusicHearing hearing(Music(Tone(100.5, 2 * 44100, 1.0f), 44100));
        hearing.MoveTo(1.5, MusicHearing::NeedChannel);
        EXPECT_EQ(hearing.ChannelSpectrum()[100], 255);
        EXPECT_EQ(hearing.ChannelSpectrum()[101], 255);
        EXPECT_EQ(hearing.ChannelSpectrum()[300], 0);
        EXPECT_EQ(hearing.ChannelSpectrum()[0], 0);
    }
    {
        SCOPED_TRACE("above the texture's 512 bins");
        MusicHearing hearing(Music(BinSine(700, 4 * 8192, 1.0f), 8192));
        hearing.MoveTo(2.0, MusicHearing::NeedChannel);
        EXPECT_EQ(LargestTexel(hearing.ChannelSpectrum()), 0);
    }
}

TEST_F(MusicHearingTest, SilenceIsHeardAsNothingAndAWaveOfMidGrey)
{
    MusicHearing hearing(Music(Silence(3 * 8000), 8000));
    for (const double seconds : {0.0, 1.0, 2.9}) {
        SCOPED_TRACE(seconds);
        hearing.MoveTo(seconds, everything);
        EXPECT_EQ(Largest(hearing.Spectrum()), 0.0f);
        EXPECT_EQ(Largest(hearing.SmoothedSpectrum()), 0.0f);
        EXPECT_EQ(Largest(hearing.IntegratedSpectrum()), 0.0f);
        EXPECT_EQ(LargestTexel(hearing.ChannelSpectrum()), 0);
        for (const std::uint8_t texel : hearing.ChannelWave()) {
            ASSERT_EQ(texel, 128);
        }
    }
}

TEST_F(MusicHearingTest, WaveRowIsTheLast512FramesAsBytes)
{
    // At 0.5 s the row holds frames 3488..3999 of an 8 kHz track.
    constexpr int firstFrame = 4000 - 512;
    {
        SCOPED_TRACE("a ramp from -1 to 1");
        std::vector<float> samples = Silence(8000);
        for (int n = 0; n < 512; ++n) {
            samples[firstFrame + n] = -1.0f + 2.0f * static_cast<float>(n) / 511.0f;
        }
        samples[4000] = 1.0f;  // the frame at the time itself is not yet heard
        MusicHearing hearing(Music(samples, 8000));
        hearing.MoveTo(0.5, MusicHearing::NeedChannel);
        for (int n = 0; n < 512; ++n) {
            const double expected = std::clamp(std::floor(128.0 * (1.0 + samples[firstFrame + n])), 0.0, 255.0);
            ASSERT_EQ(hearing.ChannelWave()[n], static_cast<int>(expected)) << n;
        }
    }
    {
        SCOPED_TRACE("the edges of the byte range, from the mean of two channels");
        // Left and right for the row's last texels, with the byte each reads.
        const std::vector<std::pair<std::pair<float, float>, int>> ends = {
            {{1.0f, 1.0f}, 255},         // 256 clamps to the top
            {{2.0f, 2.0f}, 255},         // louder than full scale
            {{-1.0f, -1.0f}, 0},         //
            {{-2.0f, -2.0f}, 0},         // a negative product clamps to the bottom
            {{1.0f, -1.0f}, 128},        // channels cancel
            {{0.5f, 0.0f}, 160},         // 128 * 1.25
            {{0.0078125f, 0.0f}, 128},   // 128.5 truncates down
            {{-0.0078125f, 0.0f}, 127},  // 127.5 truncates down
            {{-0.25f, -0.25f}, 96},
        };
        std::vector<float> left = Silence(8000);
        std::vector<float> right = Silence(8000);
        const int firstEnd = 4000 - static_cast<int>(ends.size());
        for (std::size_t i = 0; i < ends.size(); ++i) {
            left[firstEnd + i] = ends[i].first.first;
            right[firstEnd + i] = ends[i].first.second;
        }
        MusicHearing hearing(Music(Interleave({left, right}), 8000, 2));
        hearing.MoveTo(0.5, MusicHearing::NeedChannel);
        for (std::size_t i = 0; i < ends.size(); ++i) {
            EXPECT_EQ(hearing.ChannelWave()[512 - ends.size() + i], ends[i].second) << i;
        }
        EXPECT_EQ(hearing.ChannelWave()[0], 128);
    }
    {
        SCOPED_TRACE("at a time exactly on frame 15 of 44.1 kHz, where 15 / 44100.0 * 44100 rounds below 15");
        std::vector<float> samples = Silence(44100);
        samples[14] = 1.0f;
        MusicHearing hearing(Music(samples, 44100));
        hearing.MoveTo(15.0 / 44100.0, MusicHearing::NeedChannel);
        EXPECT_EQ(hearing.ChannelWave()[511], 255);
        EXPECT_EQ(hearing.ChannelWave()[510], 128);
    }
}

TEST_F(MusicHearingTest, JustAfterTheStartTheWindowsReachBackIntoTheEnd)
{
    {
        SCOPED_TRACE("wave row");
        // The first 128 frames at 0.5, the last 384 at -0.5; a second of
        // music at 8192 Hz keeps the times below exact.
        std::vector<float> samples = Silence(8192);
        std::fill(samples.begin(), samples.begin() + 128, 0.5f);
        std::fill(samples.end() - 384, samples.end(), -0.5f);
        MusicHearing hearing(Music(samples, 8192));
        for (const double seconds : {1.0 / 64.0, 1.0 + 1.0 / 64.0, -1.0 + 1.0 / 64.0, -5.0 + 1.0 / 64.0}) {
            SCOPED_TRACE(seconds);  // times outside the music go round the loop
            hearing.MoveTo(seconds, MusicHearing::NeedChannel);
            for (int n = 0; n < 512; ++n) {
                ASSERT_EQ(hearing.ChannelWave()[n], n < 384 ? 64 : 192) << n;
            }
        }
    }
    {
        SCOPED_TRACE("spectra");
        MusicHearing hearing(Music(Concatenate({Silence(8000 - 2048), BinSine(30, 2048, 0.5f)}), 8000));
        hearing.MoveTo(0.0, everything);
        EXPECT_NEAR(hearing.Spectrum()[30], 1.0f, 1e-4f);
        // Step 0 has heard the end of the music once.
        EXPECT_NEAR(hearing.SmoothedSpectrum()[30], 0.1f, 1e-5f);
        EXPECT_NEAR(hearing.IntegratedSpectrum()[30], 0.4f, 1e-5f);
        EXPECT_EQ(hearing.ChannelSpectrum()[30], 255);
    }
}

TEST_F(MusicHearingTest, SmoothedValuesFollowATonesStartStepByStep)
{
    // At 192 kHz a step is 3200 frames, longer than the 2048-frame window, so
    // the tone starting on step 30 (0.5 s) is heard whole from step 31 on and
    // not at all before.
    constexpr int rate = 192000;
    constexpr float amplitude = 0.0005f;
    MusicHearing hearing(Music(Concatenate({Silence(rate / 2), BinSine(64, rate / 2, amplitude), Silence(rate / 4)}), rate));
    hearing.MoveTo(40 / 60.0, MusicHearing::NeedSpectrum);
    const float level = hearing.Spectrum()[64];
    ASSERT_NEAR(level, 2.0f * amplitude, 1e-7f);

    // The first steps of A = 0.9 A + 0.1 S and of I = I + B, B = 0.6 B + 0.4 S,
    // as fractions of the tone's level.
    const std::vector<double> smoothed = {0.0, 0.1, 0.19, 0.271, 0.3439};
    const std::vector<double> integrated = {0.0, 0.4, 1.04, 1.824, 2.6944};
    // The analyser's level halves its distance to the tone's each step:
    // 20 log10(0.42 * amplitude / 2 * (1 - 0.5^j)) dB, from -100 dB -> 0 to -30 dB -> 255.
    const std::vector<int> channel = {0, 52, 65, 70, 72};
    for (int j = 0; j < static_cast<int>(smoothed.size()); ++j) {
        SCOPED_TRACE(j);
        for (const double seconds : {(30 + j) / 60.0, (30.99 + j) / 60.0}) {
            hearing.MoveTo(seconds, everything);
            EXPECT_NEAR(hearing.SmoothedSpectrum()[64] / level, smoothed[j], 1e-5);
            EXPECT_NEAR(hearing.IntegratedSpectrum()[64] / level, integrated[j], 1e-5);
            EXPECT_EQ(hearing.ChannelSpectrum()[64], channel[j]);
        }
    }

    // A hair before a step's time is still the step before.
    hearing.MoveTo(std::nextafter(31 / 60.0, 0.0), everything);
    EXPECT_EQ(hearing.SmoothedSpectrum()[64], 0.0f);
    hearing.MoveTo(31 / 60.0, everything);
    EXPECT_NEAR(hearing.SmoothedSpectrum()[64] / level, 0.1, 1e-5);
}

TEST_F(MusicHearingTest, StepsHearTheWindowEndingAtTheirOwnTimeNotTheMoments)
{
    // One click at frame 400 of an 8 kHz track: step 3 ends exactly there,
    // so the click is first heard at step 4, flat across the bins at 2 / 1024.
    std::vector<float> samples = Silence(8000);
    samples[400] = 1.0f;
    MusicHearing hearing(Music(samples, 8000));
    constexpr float click = 2.0f / 1024.0f;

    hearing.MoveTo(3 / 60.0, everything);
    EXPECT_EQ(Largest(hearing.SmoothedSpectrum()), 0.0f);
    EXPECT_EQ(Largest(hearing.Spectrum()), 0.0f);

    // Half a step on, the moment's own window and wave have the click; the
    // step values have not moved.
    hearing.MoveTo(3.5 / 60.0, everything);
    EXPECT_NEAR(hearing.Spectrum()[0], click, 1e-7f);
    EXPECT_NEAR(hearing.Spectrum()[777], click, 1e-7f);
    EXPECT_EQ(hearing.ChannelWave()[511 - (465 - 400)], 255);  // the row ends at frame 465
    EXPECT_EQ(Largest(hearing.SmoothedSpectrum()), 0.0f);
    EXPECT_EQ(Largest(hearing.IntegratedSpectrum()), 0.0f);

    hearing.MoveTo(4 / 60.0, everything);
    EXPECT_NEAR(hearing.SmoothedSpectrum()[0], 0.1f * click, 1e-8f);
    EXPECT_NEAR(hearing.SmoothedSpectrum()[777], 0.1f * click, 1e-8f);
}

TEST_F(MusicHearingTest, IntegratedValuesWrapAt1024)
{
    // A constant reads 4 in bin 0 at every step, so B_k = 4 (1 - 0.6^(k+1))
    // and the unwrapped sum to step k is 4 (k + 1) - 6 (1 - 0.6^(k+1)): it
    // passes 1024 between steps 256 and 257.
    MusicHearing hearing(Music(Constant(6 * 8000, 1.0f), 8000));
    const auto unwrapped = [](int step) { return 4.0 * (step + 1) - 6.0 * (1.0 - std::pow(0.6, step + 1)); };
    // At steps 123 and 245..247, step / 60.0 * 60 rounds below the step: a
    // time exactly on a step must still give that step.
    for (const int step : {0, 100, 123, 245, 246, 247, 255, 256, 257, 258, 300, 359}) {
        SCOPED_TRACE(step);
        hearing.MoveTo(step / 60.0, everything);
        const double expected = step < 257 ? unwrapped(step) : unwrapped(step) - 1024.0;
        EXPECT_NEAR(hearing.IntegratedSpectrum()[0], expected, 0.05);
        EXPECT_NEAR(hearing.SmoothedSpectrum()[0], 4.0 * (1.0 - std::pow(0.9, step + 1)), 1e-4);
        EXPECT_EQ(hearing.Spectrum()[0], 4.0f);
    }
}

TEST_F(MusicHearingTest, ValuesAtATimeDoNotDependOnHowItWasReached)
{
    // Four and a half seconds of noise under a swelling envelope, in stereo:
    // five checkpoints, the last one partly filled.
    constexpr int rate = 8000;
    constexpr int frames = rate * 9 / 2;
    std::minstd_rand noise(7);
    std::vector<float> left(frames);
    std::vector<float> right(frames);
    for (int n = 0; n < frames; ++n) {
        const float swell = static_cast<float>(0.5 + 0.5 * std::sin(2.0 * std::numbers::pi * n / (0.7 * rate)));
        left[n] = swell * (static_cast<float>(noise()) / static_cast<float>(std::minstd_rand::max()) - 0.5f);
        right[n] = swell * static_cast<float>(std::sin(2.0 * std::numbers::pi * 440.0 * n / rate));
    }
    const std::shared_ptr<const DecodedMusic> music = Music(Interleave({left, right}), rate, 2);

    std::map<double, Heard> played;
    {
        SCOPED_TRACE("played at 60 fps");
        MusicHearing hearing(music);
        for (int frame = 0; frame < 270; ++frame) {
            played[frame / 60.0] = HeardAt(hearing, frame / 60.0);
        }
        ASSERT_GT(*std::max_element(played.at(2.0).smoothed.begin(), played.at(2.0).smoothed.end()), 0u);
    }
    {
        SCOPED_TRACE("played at 24 fps");
        MusicHearing hearing(music);
        for (int frame = 0; frame < 108; ++frame) {
            const double seconds = frame / 24.0;
            const Heard heard = HeardAt(hearing, seconds);
            const auto same = played.find(seconds);
            if (same != played.end()) {
                EXPECT_TRUE(heard == same->second) << "at " << seconds << " s";
            } else {
                played[seconds] = heard;
            }
        }
    }
    {
        SCOPED_TRACE("sought: far ahead first, then back, to checkpoints, just before them, the same time twice");
        MusicHearing hearing(music);
        for (const double seconds : {264 / 60.0, 30 / 60.0, 120 / 60.0, 120 / 60.0, 119 / 60.0, 59 / 60.0, 61 / 24.0,
                                     200 / 60.0, 190 / 60.0, 0.0, 269 / 60.0, 1 / 24.0, 180 / 60.0, 179 / 60.0}) {
            EXPECT_TRUE(HeardAt(hearing, seconds) == played.at(seconds)) << "at " << seconds << " s";
        }
    }
}
