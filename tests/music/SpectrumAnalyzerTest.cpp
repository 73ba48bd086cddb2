#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <vector>

#include "music/DecodedMusic.h"
#include "music/SpectrumAnalyzer.h"
#include "support/TestAudio.h"

namespace {

constexpr float fullScaleHannPeak = 4.0f / SpectrumAnalyzer::windowFrames;

class SpectrumAnalyzerTest : public ::testing::Test {
protected:
    DecodedMusic Track(const std::vector<float>& samples, int channels = 1) const
    {
        return DecodedMusic::Load(
            folder.Write("track" + std::to_string(++written) + ".wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 8192, channels, samples));
    }

    // The largest reading outside bins first..last.
    float LargestOutside(int first, int last) const
    {
        float largest = 0.0f;
        for (int k = 0; k < spectrumBins; ++k) {
            if (k < first || k > last) {
                largest = std::max(largest, bins[k]);
            }
        }
        return largest;
    }

    float Largest() const { return *std::max_element(bins.begin(), bins.end()); }

    TestAudioFolder folder;
    mutable int written = 0;
    SpectrumAnalyzer analyzer;
    std::array<float, spectrumBins> bins{};
};

std::vector<float> Silence(std::int64_t frames)
{
    return std::vector<float>(static_cast<std::size_t>(frames), 0.0f);
}

}  // namespace

TEST_F(SpectrumAnalyzerTest, FullScaleSineCentredOnABinReadsOneThereAndHalfNextToIt)
{
    for (const int bin : {3, 64, 100, 511, 700, 1000}) {
        SCOPED_TRACE(bin);
        analyzer.Analyze(Track(BinSine(bin, 8192)), 4096, bins);
        EXPECT_NEAR(bins[bin], 1.0f, 1e-3f);
        // The Hann window spreads a centred tone over exactly three bins.
        EXPECT_NEAR(bins[bin - 1], 0.5f, 1e-3f);
        EXPECT_NEAR(bins[bin + 1], 0.5f, 1e-3f);
        EXPECT_LT(LargestOutside(bin - 1, bin + 1), 1e-3f);
    }
}

TEST_F(SpectrumAnalyzerTest, ReadingsScaleWithAmplitude)
{
    analyzer.Analyze(Track(BinSine(40, 4096, 0.25f)), 3000, bins);
    EXPECT_NEAR(bins[40], 0.25f, 1e-3f);
}

TEST_F(SpectrumAnalyzerTest, SilenceReadsZeroEverywhere)
{
    analyzer.Analyze(Track(Silence(4096)), 2048, bins);
    EXPECT_EQ(Largest(), 0.0f);
}

TEST_F(SpectrumAnalyzerTest, ChannelsAreAveraged)
{
    const std::vector<float> tone = BinSine(50, 4096);
    std::vector<float> inverted = tone;
    std::transform(inverted.begin(), inverted.end(), inverted.begin(), [](float sample) { return -sample; });

    analyzer.Analyze(Track(Interleave({tone, Silence(4096)}), 2), 4096, bins);
    EXPECT_NEAR(bins[50], 0.5f, 1e-3f) << "tone on one side only";

    analyzer.Analyze(Track(Interleave({tone, tone}), 2), 4096, bins);
    EXPECT_NEAR(bins[50], 1.0f, 1e-3f) << "the same tone on both sides";

    analyzer.Analyze(Track(Interleave({tone, inverted}), 2), 4096, bins);
    EXPECT_LT(Largest(), 1e-6f) << "opposite phases cancel";

    analyzer.Analyze(Track(Interleave({tone, Silence(4096), Silence(4096), Silence(4096)}), 4), 4096, bins);
    EXPECT_NEAR(bins[50], 0.25f, 1e-3f) << "one of four channels";
}

TEST_F(SpectrumAnalyzerTest, WindowIsTheFramesBeforeTheEndFrame)
{
    // One click at frame 5000: its spectrum is flat, at the height of the
    // window where the click falls.
    std::vector<float> click = Silence(12000);
    click[5000] = 1.0f;
    const DecodedMusic music = Track(click);

    analyzer.Analyze(music, 5000 + 1024, bins);
    EXPECT_NEAR(bins[0], fullScaleHannPeak, 1e-6f) << "click in the middle of the window";
    EXPECT_NEAR(bins[777], fullScaleHannPeak, 1e-6f);

    analyzer.Analyze(music, 5000 + 512, bins);
    EXPECT_NEAR(bins[300], fullScaleHannPeak / 2, 1e-6f) << "click three quarters of the way in";

    analyzer.Analyze(music, 5000, bins);
    EXPECT_EQ(Largest(), 0.0f) << "the end frame itself is not yet heard";

    analyzer.Analyze(music, 5000 + 2049, bins);
    EXPECT_EQ(Largest(), 0.0f) << "the click has left the window";
}

TEST_F(SpectrumAnalyzerTest, WindowBeforeTheStartContinuesFromTheEnd)
{
    const DecodedMusic music = Track(Concatenate({Silence(6144), BinSine(30, 2048)}));

    analyzer.Analyze(music, 0, bins);
    EXPECT_NEAR(bins[30], 1.0f, 1e-3f);

    analyzer.Analyze(music, 8192 * 3, bins);
    EXPECT_NEAR(bins[30], 1.0f, 1e-3f) << "a whole number of loops later";

    analyzer.Analyze(music, -2048, bins);
    EXPECT_EQ(Largest(), 0.0f);

    analyzer.Analyze(music, 6144, bins);
    EXPECT_EQ(Largest(), 0.0f);
}

TEST_F(SpectrumAnalyzerTest, TrackShorterThanTheWindowRepeatsWithinIt)
{
    // 512 frames hold exactly 8 periods of bin 32, so the loop is seamless.
    const DecodedMusic music = Track(BinSine(32, 512));
    for (const std::int64_t endFrame : {0LL, 100LL, -7777LL, 5'000'000'001LL}) {
        SCOPED_TRACE(endFrame);
        analyzer.Analyze(music, endFrame, bins);
        EXPECT_NEAR(bins[32], 1.0f, 1e-3f);
        EXPECT_LT(LargestOutside(31, 33), 1e-3f);
    }
}
