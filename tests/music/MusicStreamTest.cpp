#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <thread>

#include "music/DecodedMusic.h"
#include "music/SilentMusicStream.h"
#include "music/SteppedMusicStream.h"
#include "support/TestAudio.h"

namespace {

using namespace std::chrono_literals;

constexpr int rate = 8192;
constexpr int toneBin = 64;

// Two seconds: a second of silence, then a second of a full-scale tone.
std::shared_ptr<const DecodedMusic> SilenceThenTone(const TestAudioFolder& folder)
{
    const std::vector<float> samples = Concatenate({std::vector<float>(rate, 0.0f), BinSine(toneBin, rate)});
    return std::make_shared<const DecodedMusic>(
        DecodedMusic::Load(folder.Write("two-seconds.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, rate, 1, samples)));
}

float Largest(const std::array<float, spectrumBins>& bins)
{
    return *std::max_element(bins.begin(), bins.end());
}

class SteppedMusicStreamTest : public ::testing::Test {
protected:
    TestAudioFolder folder;
    SteppedMusicStream stream{SilenceThenTone(folder)};
    std::array<float, spectrumBins> bins{};
};

class SilentMusicStreamTest : public ::testing::Test {
protected:
    TestAudioFolder folder;
    SilentMusicStream stream{SilenceThenTone(folder)};
    std::array<float, spectrumBins> bins{};
};

}  // namespace

TEST_F(SteppedMusicStreamTest, TimeStandsStillUntilPlay)
{
    EXPECT_EQ(stream.Position(), 0.0);
    stream.Advance(0.5);
    EXPECT_EQ(stream.Position(), 0.0);
}

TEST_F(SteppedMusicStreamTest, StepsAddUpExactlyAndWrapAtTheEnd)
{
    stream.Play();
    stream.Advance(0.25);
    stream.Advance(0.25);
    stream.Advance(0.25);
    EXPECT_EQ(stream.Position(), 0.75);
    stream.Advance(1.5);
    EXPECT_EQ(stream.Position(), 0.25);
    stream.Advance(1.75);
    EXPECT_EQ(stream.Position(), 0.0);
    stream.Advance(-0.5);
    EXPECT_EQ(stream.Position(), 1.5) << "a step back goes round the loop";
}

TEST_F(SteppedMusicStreamTest, SeeksClampAtTheStartAndWrapPastTheEnd)
{
    stream.Play();
    stream.SetPosition(1.25);
    EXPECT_EQ(stream.Position(), 1.25);
    stream.SetPosition(-3.0);
    EXPECT_EQ(stream.Position(), 0.0);
    stream.SetPosition(2.75);
    EXPECT_EQ(stream.Position(), 0.75);
    stream.SetPosition(2.0);
    EXPECT_EQ(stream.Position(), 0.0);
    stream.SetPosition(5.5);
    EXPECT_EQ(stream.Position(), 1.5);
    stream.Advance(0.125);
    EXPECT_EQ(stream.Position(), 1.625) << "time goes on from the seek";
}

TEST_F(SteppedMusicStreamTest, PlayStartsFromTheBeginningAfterASeek)
{
    stream.SetPosition(1.5);
    EXPECT_EQ(stream.Position(), 1.5);
    stream.Play();
    EXPECT_EQ(stream.Position(), 0.0);
}

TEST_F(SteppedMusicStreamTest, SpectrumIsOfTheMusicJustBeforeThePosition)
{
    stream.Play();
    stream.Advance(0.5);
    stream.FillSpectrum(bins);
    EXPECT_EQ(Largest(bins), 0.0f) << "in the silence";

    stream.Advance(1.0);
    stream.FillSpectrum(bins);
    EXPECT_NEAR(bins[toneBin], 1.0f, 1e-3f) << "in the tone";

    stream.SetPosition(1.0);
    stream.FillSpectrum(bins);
    EXPECT_EQ(Largest(bins), 0.0f) << "the tone starts at the position";

    stream.SetPosition(0.0);
    stream.FillSpectrum(bins);
    EXPECT_NEAR(bins[toneBin], 1.0f, 1e-3f) << "at the start the end of the loop was just heard";
}

TEST_F(SilentMusicStreamTest, TimeStandsStillUntilPlay)
{
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(stream.Position(), 0.0);
    stream.SetPosition(1.25);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(stream.Position(), 1.25);
    stream.Play();
    EXPECT_GE(stream.Position(), 0.0);
    EXPECT_LT(stream.Position(), 0.5) << "Play starts from the beginning";
}

TEST_F(SilentMusicStreamTest, PositionFollowsWallTimeFromPlay)
{
    stream.Play();
    std::this_thread::sleep_for(30ms);
    const double first = stream.Position();
    EXPECT_GT(first, 0.0);
    std::this_thread::sleep_for(30ms);
    const double second = stream.Position();
    EXPECT_GT(second, first);
    EXPECT_LT(second, 1.0);
}

TEST_F(SilentMusicStreamTest, PausedTimeStandsStillAndGoesOnFromThereAfterwards)
{
    stream.Play();
    stream.SetPosition(0.5);
    stream.SetPaused(true);
    const double paused = stream.Position();
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(stream.Position(), paused);
    stream.SetPosition(1.25);
    EXPECT_EQ(stream.Position(), 1.25) << "a seek moves paused music";
    stream.SetPaused(false);
    std::this_thread::sleep_for(20ms);
    EXPECT_GT(stream.Position(), 1.25);
    EXPECT_LT(stream.Position(), 1.75);
}

TEST_F(SilentMusicStreamTest, SeeksClampAtTheStartAndWrapPastTheEnd)
{
    stream.Play();
    stream.SetPosition(1.25);
    EXPECT_GE(stream.Position(), 1.25);
    EXPECT_LT(stream.Position(), 1.5);
    stream.SetPosition(-1.0);
    EXPECT_GE(stream.Position(), 0.0);
    EXPECT_LT(stream.Position(), 0.25);
    stream.SetPosition(2.5);
    EXPECT_GE(stream.Position(), 0.5);
    EXPECT_LT(stream.Position(), 0.75);
}

TEST_F(SilentMusicStreamTest, SpectrumFollowsThePosition)
{
    stream.Play();
    stream.SetPosition(1.75);
    stream.FillSpectrum(bins);
    EXPECT_NEAR(bins[toneBin], 1.0f, 1e-3f);
    stream.SetPosition(0.75);
    stream.FillSpectrum(bins);
    EXPECT_EQ(Largest(bins), 0.0f);
}

TEST(SilentMusicStream, ClockGoesRoundAShortLoop)
{
    const TestAudioFolder folder;
    constexpr int frames = 164;
    constexpr double length = static_cast<double>(frames) / rate;
    SilentMusicStream stream(std::make_shared<const DecodedMusic>(DecodedMusic::Load(
        folder.Write("blip.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, rate, 1, BinSine(8, frames)))));
    stream.Play();
    double previous = stream.Position();
    bool wrapped = false;
    for (int read = 0; read < 30; ++read) {
        std::this_thread::sleep_for(3ms);
        const double position = stream.Position();
        ASSERT_GE(position, 0.0);
        ASSERT_LT(position, length);
        wrapped = wrapped || position < previous;
        previous = position;
    }
    EXPECT_TRUE(wrapped) << "over 90 ms a loop of " << length << " s comes round";
}
