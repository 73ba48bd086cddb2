#include <sndfile.h>

#include <cmath>

#include "effects/EffectTest.h"
#include "effects/ShaderShow.h"
#include "gfx/ShaderInputs.h"
#include "music/DecodedMusic.h"
#include "support/TestAudio.h"

using Effekter::ShaderShow;

namespace {

constexpr int sampleRate = 48000;

// The centre pixel's red, 0 to 255.
int CentreRed()
{
    return ReadPixelAt(0.5, 0.5).r;
}

// Shaders that read the inputs and show what they read as the red of the
// whole window; the shader inputs the run shares, with a music of the test's
// own.
class ShaderInputsDrawing : public EffectTest {
protected:
    // Half a second of silence, then a tone of amplitude 0.25 in the centre
    // of spectrum bin 100 (2343.75 Hz) to the end of the fourth second.
    void SetUp() override
    {
        EffectTest::SetUp();
        const std::vector<float> silence(sampleRate / 2, 0.0f);
        const std::vector<float> tone = BinSine(100, sampleRate * 7 / 2, 0.25f);
        const std::string file = audio.Write("music.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, sampleRate, 1,
                                             Concatenate({silence, tone}));
        music = std::make_shared<const DecodedMusic>(DecodedMusic::Load(file));
    }

    // A ShaderShow entry for the fragment shader, built with the inputs.
    std::unique_ptr<ShaderShow> Show(const std::string& name, const std::string& source)
    {
        folder.WriteFile("data/" + name, source);
        return std::make_unique<ShaderShow>(0, 100000, "data/" + name, "", &inputs);
    }

    // One frame at the music time, as the frame loop draws it.
    int Frame(ShaderShow& show, std::uint32_t time, long frame = 0, double frameSeconds = 1.0 / 60.0)
    {
        inputs.BeginFrame({.time = time, .frameSeconds = frameSeconds, .frame = frame});
        show.Draw(time, 0.0f);
        const int red = CentreRed();
        inputs.EndFrame();
        return red;
    }

    TestAudioFolder audio;
    std::shared_ptr<const DecodedMusic> music;
    ShaderInputs inputs;
};

const std::string bonzomaticHeader =
    "#version 410 core\nuniform float fGlobalTime;\nuniform float fFrameTime;\nuniform vec2 v2Resolution;\n"
    "uniform sampler1D texFFT;\nuniform sampler1D texFFTSmoothed;\nuniform sampler1D texFFTIntegrated;\n"
    "uniform sampler2D texPreviousFrame;\nin vec2 out_texcoord;\nlayout(location = 0) out vec4 out_color;\n";

std::string Bonzomatic(const std::string& red)
{
    return bonzomaticHeader + "void main() { out_color = vec4(" + red + ", 0.0, 0.0, 1.0); }\n";
}

std::string Shadertoy(const std::string& red)
{
    return "void mainImage(out vec4 fragColor, in vec2 fragCoord) { fragColor = vec4(" + red + ", 0.0, 0.0, 1.0); }\n";
}

}  // namespace

TEST_F(ShaderInputsDrawing, TheTimesFramesAndSizesAreThoseOfTheFrameDrawn)
{
    inputs.SetMusic(music);
    // 2.5 s, a 50 ms frame (20 a second), frame 51, the 160 x 120 window.
    struct Case {
        std::string expression;
        bool bonzomatic;
        int red;
    };
    const Case cases[] = {
        {"fGlobalTime / 10.0", true, 64},
        {"fFrameTime * 10.0", true, 128},
        {"v2Resolution.x / 320.0", true, 128},
        {"iTime / 10.0", false, 64},
        {"iTimeDelta * 10.0", false, 128},
        {"iFrameRate / 40.0", false, 128},
        {"float(iFrame) / 255.0", false, 51},
        {"iResolution.y / 240.0 + iResolution.z * 0.0", false, 128},
        {"iSampleRate / 96000.0", false, 128},
        {"iChannelTime[0] / 10.0", false, 64},
        {"iChannelResolution[0].x / 1024.0", false, 128},
        {"iMouse.x + 0.5", false, 128},
    };
    for (const Case& probe : cases) {
        const auto show = Show("probe.fs", probe.bonzomatic ? Bonzomatic(probe.expression) : Shadertoy(probe.expression));
        EXPECT_NEAR(Frame(*show, 2500, 51, 0.05), probe.red, 1) << probe.expression;
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderInputsDrawing, ATonesBinLightsInTheSpectraAndNotFarFromIt)
{
    const auto bin = [](int index) { return "(" + std::to_string(index) + ".5 / 1024.0)"; };
    const auto texel = [](int index) { return "(" + std::to_string(index) + ".5 / 512.0)"; };
    const auto spectrum = Show("spectrum.fs", Bonzomatic("texture(texFFT, " + bin(100) + ").r"));
    const auto distant = Show("distant.fs", Bonzomatic("texture(texFFT, " + bin(300) + ").r * 100.0"));
    const auto channel = Show("channel.fs", Shadertoy("texture(iChannel0, vec2(" + texel(100) + ", 0.25)).x"));
    const auto quiet = Show("quiet.fs", Shadertoy("texture(iChannel0, vec2(" + texel(300) + ", 0.25)).x"));
    const auto wave = Show("wave.fs", Shadertoy("texture(iChannel0, vec2(0.5, 0.75)).x"));
    inputs.SetMusic(music);

    // A sine centred on a bin reads twice its amplitude there.
    EXPECT_NEAR(Frame(*spectrum, 2000), 128, 1);
    EXPECT_LE(Frame(*distant, 2000), 2);
    EXPECT_EQ(Frame(*channel, 2000), 255) << "a loud tone tops the analyser's decibels";
    EXPECT_EQ(Frame(*quiet, 2000), 0);
    EXPECT_EQ(Frame(*spectrum, 250), 0) << "silence";
    EXPECT_EQ(Frame(*wave, 250), 128) << "silence is half way in the waveform";
    EXPECT_TRUE(BetweenEffectsState());
}

// The smoothed and integrated spectra come from the music alone: a frame
// shows the same values whether it was played into or jumped to.
TEST_F(ShaderInputsDrawing, SmoothedValuesAreTheSameWhateverTheRouteToAMoment)
{
    const std::string bin = "(100.5 / 1024.0)";
    const auto smoothed = Show("smoothed.fs", Bonzomatic("texture(texFFTSmoothed, " + bin + ").r"));
    const auto integrated = Show("integrated.fs", Bonzomatic("texture(texFFTIntegrated, " + bin + ").r / 32.0"));
    inputs.SetMusic(music);

    const int jumpedSmoothed = Frame(*smoothed, 600);
    const int jumpedIntegrated = Frame(*integrated, 600);
    int playedSmoothed = 0;
    int playedIntegrated = 0;
    for (std::uint32_t time = 0; time <= 600; time += 20) {
        playedSmoothed = Frame(*smoothed, time);
        playedIntegrated = Frame(*integrated, time);
    }
    EXPECT_EQ(playedSmoothed, jumpedSmoothed);
    EXPECT_EQ(playedIntegrated, jumpedIntegrated);
    // 100 ms into the tone the smoothing has come most of the way.
    EXPECT_GT(jumpedSmoothed, 40);
    EXPECT_LT(jumpedSmoothed, 128);
    EXPECT_GT(jumpedIntegrated, 0);
}

TEST_F(ShaderInputsDrawing, ThePreviousFrameFeedsBackWhatWasDrawn)
{
    const auto echo = Show("echo.fs", Bonzomatic("texture(texPreviousFrame, out_texcoord).r * 0.5 + 0.25"));
    inputs.SetMusic(music);
    EXPECT_NEAR(Frame(*echo, 1000, 0), 64, 1) << "black before the first frame";
    EXPECT_NEAR(Frame(*echo, 1017, 1), 96, 1);
    EXPECT_NEAR(Frame(*echo, 1033, 2), 112, 1);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderInputsDrawing, WithoutMusicTheMusicsInputsAreSilent)
{
    const auto spectrum = Show("spectrum.fs", Bonzomatic("texture(texFFT, 0.1).r + 0.5"));
    const auto wave = Show("wave.fs", Shadertoy("texture(iChannel0, vec2(0.5, 0.75)).x"));
    EXPECT_EQ(Frame(*spectrum, 2000), 128);
    EXPECT_EQ(Frame(*wave, 2000), 128);
}

TEST_F(ShaderInputsDrawing, ANameOfAnotherTypeIsLeftAsItIsAndSaid)
{
    testing::internal::CaptureStderr();
    const auto show = Show("wrong.fs", "#version 110\nuniform vec2 iTime;\nvoid main() { gl_FragColor = vec4(iTime.x + 0.5); }\n");
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "The shader's iTime is a vec2, where Kestrova gives a float",
                        testing::internal::GetCapturedStderr());
    testing::internal::CaptureStderr();
    EXPECT_EQ(Frame(*show, 2000), 128);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(BetweenEffectsState());
}
