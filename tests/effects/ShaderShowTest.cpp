#include <algorithm>
#include <cmath>
#include <vector>

#include "core/DemoMessage.h"
#include "effects/EffectTest.h"
#include "effects/ShaderShow.h"
#include "script/TweakTracks.h"

using Effekter::ShaderShow;

namespace {

// Shows the bound picture unchanged, and reads both uniforms.
const std::string pictureProbe =
    "#version 110\nuniform sampler2D image;\nuniform float time;\nuniform float beat;\n"
    "void main() { gl_FragColor = texture2D(image, gl_TexCoord[0].st) + vec4(0.0 * time * beat); }\n";

// Colours the window with uniforms of its own, besides the two it is given.
const std::string drivenProbe =
    "#version 110\nuniform float time;\nuniform float beat;\nuniform float glow;\nuniform vec3 tint;\n"
    "uniform float unused;\nuniform float spread[2];\nuniform sampler2D image;\n"
    "void main() { gl_FragColor = vec4(tint * glow + vec3(spread[0] + spread[1]), 1.0) + vec4(0.0 * time * beat)"
    " + 0.0 * texture2D(image, gl_TexCoord[0].st); }\n";

// Colours each pixel by its window position as Shadertoy gives it: red is
// the column, green the row counted from the bottom.
const std::string shadertoyPosition =
    "void mainImage(out vec4 fragColor, in vec2 fragCoord)\n"
    "{\n"
    "    fragColor = vec4((fragCoord - 0.5) / 255.0, 0.0, 1.0);\n"
    "}\n";

// Colours each pixel by the texture coordinate Bonzomatic gives it.
const std::string bonzomaticCoordinate =
    "#version 410 core\n"
    "uniform float fGlobalTime;\n"
    "in vec2 out_texcoord;\n"
    "layout(location = 0) out vec4 out_color;\n"
    "void main(void)\n"
    "{\n"
    "    out_color = vec4(out_texcoord, 0.0, 1.0);\n"
    "}";

class ShaderShowDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteBandedPicture("data/card.png", red, blue);
        CopyShipped(folder, "shadershow/aurora.fs");
        CopyShipped(folder, "shadershow/tunnel.fs");
        folder.WriteFile("data/probe.fs", pictureProbe);
        folder.WriteFile("data/driven.fs", drivenProbe);
        folder.WriteFile("data/green.fs", "#version 110\nvoid main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n");
    }
};

}  // namespace

TEST_F(ShaderShowDrawing, PassesAbsoluteSecondsAndTheBeat)
{
    for (const char* shader : {"data/shadershow/aurora.fs", "data/shadershow/tunnel.fs"}) {
        ShaderShow show(60000, 70000, shader, "data/card.png");
        show.Draw(61500, 0.75f);
        EXPECT_EQ(UniformValue(show.shader.program, show.timeLocation), 61.5f) << shader;
        EXPECT_EQ(UniformValue(show.shader.program, show.beatLocation), 0.75f) << shader;
    }
}

// Through a shader that shows it as it is, or through none, the picture
// stands upright over the whole window; away from the top and bottom rows,
// where the repeating picture's filtering mixes in the other edge.
TEST_F(ShaderShowDrawing, DrawsThePictureUprightOverTheWholeWindowWithAShaderOrWithout)
{
    ShaderShow show(0, 10000, "data/probe.fs", "data/card.png");
    Fill(white);
    show.Draw(5000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.0, 0.05), red);
    EXPECT_EQ(ReadPixelAt(0.999, 0.45), red);
    EXPECT_EQ(ReadPixelAt(0.0, 0.55), blue);
    EXPECT_EQ(ReadPixelAt(0.999, 0.95), blue);

    testing::internal::CaptureStderr();
    ShaderShow plain(0, 10000, "", "data/card.png");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Unable to locate shader handle for: time\nUnable to locate shader handle for: beat\n");
    EXPECT_EQ(plain.shader.program, 0u);
    Fill(white);
    plain.Draw(5000, 0.5f);
    EXPECT_EQ(ReadPixelAt(0.0, 0.05), red);
    EXPECT_EQ(ReadPixelAt(0.999, 0.95), blue);
    EXPECT_TRUE(BetweenEffectsState()) << "no GL error from uniforms without a program";
}

TEST_F(ShaderShowDrawing, TwoEntriesWithDifferentFilesRunIndependently)
{
    const auto plain = Quietly<ShaderShow>(0, 10000, "data/green.fs", "data/card.png");
    ShaderShow picture(0, 10000, "data/probe.fs", "data/card.png");
    plain->Draw(1000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), green);
    picture.Draw(1000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), red);
    plain->Draw(1000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.8), green);
    EXPECT_NE(plain->shader.program, picture.shader.program);
}

TEST_F(ShaderShowDrawing, TheShadersOwnFloatAndVectorUniformsAreTheShowsToDrive)
{
    EffectList effects;
    effects.Append(std::make_unique<ShaderShow>(0, 10000, "data/driven.fs", "data/card.png"));
    auto& show = static_cast<ShaderShow&>(effects[0]);
    std::vector<std::string> names;
    for (const DrivenUniforms::Uniform& uniform : show.uniforms.Uniforms()) {
        names.push_back(uniform.name);
        EXPECT_EQ(uniform.value, (std::array<float, 4>{})) << uniform.name << " starts as the program holds it";
    }
    EXPECT_EQ(names, (std::vector<std::string>{"glow", "tint"})) << "not those it is given, arrays, samplers or unused ones";

    SyncTracks tracks;
    tracks.tempo = {120.0, 8};
    const TweakTracks bound(effects, tracks);
    ASSERT_NE(tracks.Find("tint.z"), nullptr);
    bound.Apply(0.0);
    show.Draw(1000, 0.5f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{0, 0, 0, 255})) << "without keys the program keeps its own values";

    tracks.Track("glow").SetKey({0, 0.0f, KeyInterpolation::Linear});
    tracks.Track("glow").SetKey({16, 1.0f, KeyInterpolation::Step});
    for (const char* component : {"tint.x", "tint.y", "tint.z"}) {
        tracks.Track(component).SetKey({0, component[5] == 'x' ? 1.0f : 0.5f, KeyInterpolation::Step});
    }
    bound.Apply(tracks.RowAt(1000));
    show.Draw(1000, 0.5f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{255, 128, 128, 255}));
    bound.Apply(tracks.RowAt(500));
    show.Draw(500, 0.5f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{128, 64, 64, 255})) << "halfway to the second key";
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderShowDrawing, MissingShaderFileStopsTheLoad)
{
    try {
        ShaderShow show(0, 10000, "data/shadershow/none.fs", "data/card.png");
        FAIL() << "a missing shader was accepted";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "Error opening: data/shadershow/none.fs");
    }
}

TEST_F(ShaderShowDrawing, AShadertoyShaderGetsEveryPixelsPositionFromTheBottomLeft)
{
    folder.WriteFile("data/position.fs", shadertoyPosition);
    const auto show = Quietly<ShaderShow>(0, 10000, "data/position.fs", "data/card.png");
    ASSERT_NE(show->shader.vertexShader, 0u);
    Fill(white);
    show->Draw(1000, 0.0f);
    const std::vector<Rgba> frame = ReadFrame();
    int wrong = 0;
    for (int row = 0; row < testHeight; ++row) {
        for (int x = 0; x < testWidth; ++x) {
            const Rgba expected{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(row), 0, 255};
            if (frame[static_cast<std::size_t>(row * testWidth + x)] != expected && ++wrong <= 3) {
                ADD_FAILURE() << "column " << x << ", row " << row << " from the bottom";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ReadPixel(0, 0), (Rgba{0, testHeight - 1, 0, 255})) << "the top left";
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderShowDrawing, ABonzomaticShaderGetsTheTextureCoordinateFromBottomLeftToTopRight)
{
    folder.WriteFile("data/coordinate.fs", bonzomaticCoordinate);
    const auto show = Quietly<ShaderShow>(0, 10000, "data/coordinate.fs", "data/card.png");
    Fill(white);
    show->Draw(1000, 0.0f);
    const std::vector<Rgba> frame = ReadFrame();
    int wrong = 0;
    for (int row = 0; row < testHeight; ++row) {
        for (int x = 0; x < testWidth; ++x) {
            // The pixel's centre, as a fraction of the window, in 8 bits.
            const double u = (x + 0.5) / testWidth * 255.0;
            const double v = (row + 0.5) / testHeight * 255.0;
            const Rgba pixel = frame[static_cast<std::size_t>(row * testWidth + x)];
            if ((std::abs(pixel.r - u) > 1.0 || std::abs(pixel.g - v) > 1.0 || pixel.b != 0) && ++wrong <= 3) {
                ADD_FAILURE() << "column " << x << ", row " << row << " from the bottom: " << testing::PrintToString(pixel);
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ReadPixelAt(0.0, 0.0), (Rgba{1, 254, 0, 255})) << "the top left";
    EXPECT_EQ(ReadPixelAt(0.999, 0.999), (Rgba{254, 1, 0, 255})) << "the bottom right";
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderShowDrawing, ShadersOfEveryStyleCoverTheSamePixels)
{
    folder.WriteFile("data/toy.fs", "void mainImage(out vec4 c, in vec2 p) { c = vec4(0.0, 1.0, 0.0, 1.0); }\n");
    folder.WriteFile("data/bonzo.fs", "#version 330\nout vec4 colour;\nvoid main() { colour = vec4(0.0, 1.0, 0.0, 1.0); }\n");
    std::vector<std::vector<Rgba>> frames;
    for (const char* shader : {"data/green.fs", "data/toy.fs", "data/bonzo.fs"}) {
        const auto show = Quietly<ShaderShow>(0, 10000, shader, "data/card.png");
        Fill(white);
        show->Draw(1000, 0.0f);
        frames.push_back(ReadFrame());
    }
    EXPECT_EQ(std::count(frames[0].begin(), frames[0].end(), green), testWidth * testHeight);
    EXPECT_TRUE(frames[1] == frames[0]) << "Shadertoy";
    EXPECT_TRUE(frames[2] == frames[0]) << "Modern";
}

TEST_F(ShaderShowDrawing, AShadertoyErrorStopsTheLoadNamingTheFileAndItsLine)
{
    folder.WriteFile("data/shadershow/waves.fs",
                     "void mainImage(out vec4 fragColor, in vec2 fragCoord)\n{\n    fragColor = undeclaredShade;\n}\n");
    testing::internal::CaptureStderr();
    try {
        ShaderShow show(0, 10000, "data/shadershow/waves.fs", "data/card.png");
        ADD_FAILURE() << "a broken shader was accepted";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text().rfind("Compiler error in data/shadershow/waves.fs (GLSL ", 0), 0u) << message.Text();
        EXPECT_NE(message.Text().find("): 0:3("), std::string::npos) << message.Text();
    }
    testing::internal::GetCapturedStderr();
}
