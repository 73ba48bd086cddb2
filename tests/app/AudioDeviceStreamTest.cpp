#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <memory>
#include <set>
#include <thread>

#include "app/AudioDeviceStream.h"
#include "core/DemoMessage.h"
#include "support/AudioDriver.h"
#include "support/TestAudio.h"

namespace {

using namespace std::chrono_literals;

constexpr int rate = 22050;
constexpr double trackSeconds = 10.0;
constexpr int toneBin = 64;

// Ten seconds: five of silence, then five of a full-scale tone.
std::shared_ptr<const DecodedMusic> SilenceThenTone(const TestAudioFolder& folder)
{
    const int half = static_cast<int>(rate * trackSeconds / 2);
    const std::vector<float> samples = Concatenate({std::vector<float>(half, 0.0f), BinSine(toneBin, half)});
    return std::make_shared<const DecodedMusic>(
        DecodedMusic::Load(folder.Write("ten-seconds.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, rate, 1, samples)));
}

class AudioDeviceStreamTest : public ::testing::Test {
protected:
    // A seek lands on a whole frame; reading soon after it should find the
    // clock within this of the target.
    static void ExpectShortlyAfter(double position, double target)
    {
        EXPECT_GE(position, target - 1.0 / rate);
        EXPECT_LT(position, target + 0.5);
    }

    DummyAudioDriver driver;
    TestAudioFolder folder;
    AudioDeviceStream stream{SilenceThenTone(folder)};
};

}  // namespace

TEST_F(AudioDeviceStreamTest, StandsAtTheStartUntilPlay)
{
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(stream.Position(), 0.0);
}

TEST_F(AudioDeviceStreamTest, AdvancesSmoothlyAndNeverRunsBackwards)
{
    stream.Play();
    // The device takes a buffer every 46 ms or so; the timer has to fill in
    // between, so most reads a millisecond or more apart see a new value.
    constexpr int reads = 150;
    double previous = 0.0;
    std::set<long> milliseconds;
    for (int read = 0; read < reads; ++read) {
        std::this_thread::sleep_for(1ms);
        const double position = stream.Position();
        ASSERT_GE(position, previous) << "read " << read;
        milliseconds.insert(std::lround(position * 1000.0));
        previous = position;
    }
    EXPECT_GT(previous, 0.0);
    EXPECT_LT(previous, trackSeconds);
    EXPECT_GT(milliseconds.size(), reads / 2u);
}

TEST_F(AudioDeviceStreamTest, SeeksMoveThePositionEitherWay)
{
    stream.Play();
    std::this_thread::sleep_for(50ms);
    stream.SetPosition(6.0);
    ExpectShortlyAfter(stream.Position(), 6.0);
    stream.SetPosition(2.0);
    ExpectShortlyAfter(stream.Position(), 2.0);
    stream.SetPosition(-1.0);
    ExpectShortlyAfter(stream.Position(), 0.0);
    stream.SetPosition(trackSeconds + 3.0);
    ExpectShortlyAfter(stream.Position(), 3.0);

    double previous = stream.Position();
    for (int read = 0; read < 50; ++read) {
        std::this_thread::sleep_for(2ms);
        const double position = stream.Position();
        ASSERT_GE(position, previous) << "after the seeks, read " << read;
        previous = position;
    }
    EXPECT_GT(previous, 3.0);
}

TEST_F(AudioDeviceStreamTest, PlaysOnRoundTheLoop)
{
    stream.Play();
    stream.SetPosition(trackSeconds - 0.05);
    std::this_thread::sleep_for(300ms);
    const double position = stream.Position();
    EXPECT_GE(position, 0.0);
    EXPECT_LT(position, 2.0);
}

TEST_F(AudioDeviceStreamTest, SpectrumIsOfTheMusicAtThePosition)
{
    std::array<float, spectrumBins> bins{};
    stream.Play();
    stream.SetPosition(7.0);
    stream.FillSpectrum(bins);
    EXPECT_NEAR(bins[toneBin], 1.0f, 1e-3f);
    stream.SetPosition(2.0);
    stream.FillSpectrum(bins);
    EXPECT_EQ(*std::max_element(bins.begin(), bins.end()), 0.0f);
}

TEST(AudioDeviceStream, PlaysStereoAtTheTracksOwnRate)
{
    const DummyAudioDriver driver;
    const TestAudioFolder folder;
    const std::vector<float> samples = Interleave({BinSine(10, 48000), BinSine(20, 48000)});
    AudioDeviceStream stream(std::make_shared<const DecodedMusic>(
        DecodedMusic::Load(folder.Write("stereo.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, samples))));
    stream.Play();
    std::this_thread::sleep_for(200ms);
    const double position = stream.Position();
    EXPECT_GT(position, 0.0);
    EXPECT_LT(position, 1.0);
}

TEST(AudioDeviceStream, WithoutAnAudioDriverTheErrorGivesSdlsReason)
{
    const AudioDriver bogus("no-such-driver");
    const TestAudioFolder folder;
    const auto music = std::make_shared<const DecodedMusic>(
        DecodedMusic::Load(folder.Write("tone.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, rate, 1, BinSine(4, 4096))));
    try {
        AudioDeviceStream stream(music);
        ADD_FAILURE() << "opened a device without a driver";
    } catch (const DemoMessage& message) {
        const std::string& text = message.Text();
        EXPECT_EQ(text.rfind("No audio device (", 0), 0u) << text;
        EXPECT_EQ(text.back(), ')') << text;
        EXPECT_GT(text.size(), std::string("No audio device ()").size()) << text;
    }
}
