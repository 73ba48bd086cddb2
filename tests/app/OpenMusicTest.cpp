#include <gtest/gtest.h>
#include <sndfile.h>

#include "app/AudioDeviceStream.h"
#include "app/OpenMusic.h"
#include "music/SilentMusicStream.h"
#include "support/AudioDriver.h"
#include "support/TestAudio.h"

namespace {

class OpenMusicTest : public ::testing::Test {
protected:
    TestAudioFolder folder;
    std::string path = folder.Write("tune.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                                    Interleave({BinSine(12, 44100), BinSine(12, 44100)}));
};

}  // namespace

TEST_F(OpenMusicTest, PlaysThroughTheDeviceWhenThereIsOne)
{
    const DummyAudioDriver driver;
    testing::internal::CaptureStderr();
    const std::unique_ptr<MusicStream> stream = OpenMusicStream(std::make_shared<const DecodedMusic>(DecodedMusic::Load(path)));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(dynamic_cast<AudioDeviceStream*>(stream.get()), nullptr);
    EXPECT_EQ(log, "");
}

TEST_F(OpenMusicTest, FallsBackToASilentClockAndSaysWhy)
{
    const AudioDriver bogus("no-such-driver");
    testing::internal::CaptureStderr();
    const std::unique_ptr<MusicStream> stream = OpenMusicStream(std::make_shared<const DecodedMusic>(DecodedMusic::Load(path)));
    const std::string log = testing::internal::GetCapturedStderr();

    ASSERT_NE(dynamic_cast<SilentMusicStream*>(stream.get()), nullptr);
    const std::string ending = "): playing on a silent clock\n";
    EXPECT_EQ(log.rfind("No audio device (", 0), 0u) << log;
    ASSERT_GT(log.size(), std::string("No audio device (").size() + ending.size()) << log;
    EXPECT_EQ(log.substr(log.size() - ending.size()), ending);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;

    stream->Play();
    stream->SetPosition(0.5);
    EXPECT_GE(stream->Position(), 0.5) << "the fallback keeps the track's timeline";
}
