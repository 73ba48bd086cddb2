#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <array>
#include <vector>

#include "core/DemoMessage.h"
#include "music/DecodedMusic.h"
#include "music/MusicDecoding.h"
#include "music/SpectrumAnalyzer.h"
#include "support/TestAudio.h"

namespace {

constexpr int floatWav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

// 0, 1, 2, ... as sample values, so that every sample says where it came from.
std::vector<float> Ramp(std::size_t count)
{
    std::vector<float> ramp(count);
    for (std::size_t i = 0; i < count; ++i) {
        ramp[i] = static_cast<float>(i);
    }
    return ramp;
}

void ExpectLoadFails(const std::string& path, const std::string& why = "")
{
    try {
        DecodedMusic::Load(path);
        ADD_FAILURE() << "loaded " << path;
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "Unable to load music: " + path + why);
    }
}

}  // namespace

TEST(DecodedMusicLoad, FloatWavKeepsLayoutAndSamplesExactly)
{
    const TestAudioFolder folder;
    const std::vector<float> samples = Interleave({BinSine(3, 3000), BinSine(7, 3000, 0.25f)});
    const DecodedMusic music = DecodedMusic::Load(folder.Write("stereo.wav", floatWav, 22050, 2, samples));

    EXPECT_EQ(music.SampleRate(), 22050);
    EXPECT_EQ(music.Channels(), 2);
    EXPECT_EQ(music.Frames(), 3000);
    EXPECT_DOUBLE_EQ(music.Seconds(), 3000.0 / 22050.0);
    ASSERT_EQ(music.Samples().size(), samples.size());
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), music.Samples().begin()));
}

TEST(DecodedMusicLoad, IntegerFormatsAreScaledToTheUnitRange)
{
    const TestAudioFolder folder;
    const std::vector<float> samples = BinSine(5, 4096, 0.5f);
    for (const auto& [name, format] : {std::pair{"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                                       std::pair{"pcm16.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                                       std::pair{"pcm24.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24}}) {
        SCOPED_TRACE(name);
        const DecodedMusic music = DecodedMusic::Load(folder.Write(name, format, 44100, 1, samples));
        ASSERT_EQ(music.Frames(), 4096);
        float worst = 0.0f;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            worst = std::max(worst, std::abs(music.Samples()[i] - samples[i]));
        }
        EXPECT_LT(worst, 1.0f / 16384.0f);
    }
}

TEST(DecodedMusicLoad, LossyFormatsDecodeToTheToneThatWasEncoded)
{
    const TestAudioFolder folder;
    constexpr int rate = 44100;
    const std::vector<float> tone = BinSine(100, rate, 0.5f);
    for (const auto& [name, format] : {std::pair{"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                                       std::pair{"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}}) {
        SCOPED_TRACE(name);
        const DecodedMusic music = DecodedMusic::Load(folder.Write(name, format, rate, 1, tone));
        EXPECT_EQ(music.SampleRate(), rate);
        EXPECT_EQ(music.Channels(), 1);
        // Codecs pad to whole blocks; the length stays within a few of them.
        EXPECT_GE(music.Frames(), rate - 4096);
        EXPECT_LE(music.Frames(), rate + 4096);

        SpectrumAnalyzer analyzer;
        std::array<float, spectrumBins> bins{};
        analyzer.Analyze(music, rate / 2, bins);
        EXPECT_NEAR(bins[100], 0.5f, 0.05f);
        EXPECT_LT(bins[20], 0.01f);
        EXPECT_LT(bins[400], 0.01f);
    }
}

TEST(DecodedMusicLoad, FailuresNameThePath)
{
    const TestAudioFolder folder;
    ExpectLoadFails((folder.Root() / "missing.ogg").string());
    ExpectLoadFails(folder.WriteBytes("notes.ogg", "These are not the sounds you are looking for.\n"));
    ExpectLoadFails(folder.WriteBytes("empty.wav", ""));
    ExpectLoadFails(folder.Write("no-frames.wav", floatWav, 44100, 2, {}));
    // Opened by name, a named pipe would wait for a writer for ever.
    ExpectLoadFails(folder.Root().string(), " (not a regular file)");
    const std::string pipe = (folder.Root() / "pipe.ogg").string();
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    ExpectLoadFails(pipe, " (not a regular file)");
}

TEST(DecodedMusicLoop, EveryFrameIndexLandsInTheTrack)
{
    const TestAudioFolder folder;
    const DecodedMusic music = DecodedMusic::Load(folder.Write("ten.wav", floatWav, 8000, 1, Ramp(10)));
    EXPECT_EQ(music.LoopedFrame(0), 0);
    EXPECT_EQ(music.LoopedFrame(9), 9);
    EXPECT_EQ(music.LoopedFrame(10), 0);
    EXPECT_EQ(music.LoopedFrame(25), 5);
    EXPECT_EQ(music.LoopedFrame(-1), 9);
    EXPECT_EQ(music.LoopedFrame(-10), 0);
    EXPECT_EQ(music.LoopedFrame(-21), 9);
    EXPECT_EQ(music.LoopedFrame(1'000'000'000'003), 3);
}

TEST(DecodedMusicLoop, CopyGoesRoundTheLoopAsOftenAsNeeded)
{
    const TestAudioFolder folder;
    // Three stereo frames: (0,1) (2,3) (4,5).
    const DecodedMusic music = DecodedMusic::Load(folder.Write("three.wav", floatWav, 8000, 2, Ramp(6)));

    std::vector<float> copy(16, -1.0f);
    music.CopyLooped(2, copy);
    EXPECT_EQ(copy, (std::vector<float>{4, 5, 0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 0, 1}));

    std::vector<float> fromBefore(4, -1.0f);
    music.CopyLooped(-1, fromBefore);
    EXPECT_EQ(fromBefore, (std::vector<float>{4, 5, 0, 1}));

    std::vector<float> within(2, -1.0f);
    music.CopyLooped(1, within);
    EXPECT_EQ(within, (std::vector<float>{2, 3}));
}

// Decoding while the show is built gives the same music, and a failure is
// told where the music is taken, as loading it there would.
TEST(MusicDecoding, TakesWhatStartBeganOrDecodesThen)
{
    TestAudioFolder folder;
    const std::string first = folder.Write("first.wav", floatWav, 22050, 2, Ramp(2000));
    const std::string second = folder.Write("second.wav", floatWav, 8000, 1, Ramp(300));
    MusicDecoding decoding;
    decoding.Start(first);
    // Decoding began at Start: the file may be gone by the time it is taken.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::filesystem::rename(first, first + ".moved");
    const auto taken = decoding.Take(first);
    EXPECT_EQ(taken->SampleRate(), 22050);
    EXPECT_TRUE(std::equal(taken->Samples().begin(), taken->Samples().end(), Ramp(2000).begin()));
    EXPECT_EQ(decoding.Take(second)->Frames(), 300) << "a file Start was not given is decoded when taken";

    MusicDecoding failing;
    failing.Start(folder.Root().string() + "/missing.ogg");
    try {
        failing.Take(folder.Root().string() + "/missing.ogg");
        ADD_FAILURE() << "a missing file was decoded";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "Unable to load music: " + folder.Root().string() + "/missing.ogg");
    }
}
