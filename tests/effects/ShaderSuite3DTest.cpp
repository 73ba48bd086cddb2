#include <cmath>

#include "effects/EffectTest.h"
#include "effects/ShaderSuite3D.h"
#include "gfx/ShaderInputs.h"

using Effekter::ShaderSuite3D;

namespace {

const std::string passThrough =
    "#version 110\nvoid main() { gl_FrontColor = gl_Color; gl_Position = ftransform(); }\n";

// White only in the pass whose step is this value.
std::string StepProbe(float value)
{
    return "#version 110\nuniform float step;\nuniform float time;\nvoid main() {\n"
           "  if (abs(step - " + std::to_string(value) + ") > 0.001 || time < 0.0) discard;\n"
           "  gl_FragColor = vec4(1.0);\n}\n";
}

// The window puts the model, a square facing the viewer, in the middle of
// the screen at 14.4 s: it has drifted back to x = 0 and turned twice.
constexpr std::uint32_t startTime = 3150;
constexpr std::uint32_t centredTime = 14400;

class ShaderSuite3DDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteRubberFiles(100.0f);
    }
};

}  // namespace

TEST_F(ShaderSuite3DDrawing, StepTakesTwentyValuesBelowOne)
{
    folder.WriteFile("data/suite/vs.txt", passThrough);
    for (int k = 0; k <= 20; ++k) {
        folder.WriteFile("data/suite/fs.txt", StepProbe(static_cast<float>(k) * 0.05f));
        ShaderSuite3D suite(startTime, 100000);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        suite.Draw(centredTime, 0.0f);
        EXPECT_EQ(ReadPixelAt(0.5, 0.5) == white, k < 20) << "step " << k * 0.05;
        EXPECT_EQ(ReadPixelAt(0.05, 0.05), black);
    }
}

TEST_F(ShaderSuite3DDrawing, TimeIsInSecondsAndDepthWritesComeBackOn)
{
    CopyShipped(folder, "suite/vs.txt");
    CopyShipped(folder, "suite/fs.txt");
    ShaderSuite3D suite(startTime, 100000);
    EXPECT_NE(suite.stepLocation, -1);
    EXPECT_NE(suite.timeLocation, -1);
    suite.Draw(12345, 1.0f);
    EXPECT_FLOAT_EQ(UniformValue(suite.suiteProgram.program, suite.timeLocation), 12.345f);
    EXPECT_FLOAT_EQ(UniformValue(suite.suiteProgram.program, suite.stepLocation), 0.95f);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);

    // So the frame loop's clear still clears depth.
    glClearDepth(0.5);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    GLfloat depth = 0.0f;
    glReadPixels(1, 1, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.5f, 0.01f);
}

TEST_F(ShaderSuite3DDrawing, ShippedShadersShowTheModelOverItsBackdrop)
{
    CopyShipped(folder, "suite/vs.txt");
    CopyShipped(folder, "suite/fs.txt");
    WriteSolidPicture("data/rubber/background.jpg", Rgba{0, 0, 128, 255});
    ShaderSuite3D suite(startTime, 100000);
    suite.Draw(centredTime, 0.0f);
    const Rgba corner = ReadPixelAt(0.02, 0.02);
    EXPECT_EQ(corner.b, 128) << "the backdrop shows";
    EXPECT_NE(ReadPixelAt(0.5, 0.5), corner) << "the model shows";
}

// At 15 s the square has drifted 8 units right and turned 750 degrees:
// every pass's corners land where that puts them.
TEST_F(ShaderSuite3DDrawing, TheModelDriftsAndTurnsWithTheMusicTime)
{
    folder.WriteFile("data/suite/vs.txt", passThrough);
    folder.WriteFile("data/suite/fs.txt", "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    const auto suite = Quietly<ShaderSuite3D>(startTime, 100000);  // no step, no time
    const std::uint32_t time = 15000;
    DrawnCorners corners;
    corners.AddSquare(Matrix4::ScreenPerspective() * Matrix4::Translation((time - startTime) / 75.0 - 150.0, 0.0, -500.0) *
                          Matrix4::Rotation(time / 20.0, 0, 1, 0),
                      100.0);
    const std::vector<FeedbackPolygon> polygons = Polygons(*suite, time, 0.0f);
    ASSERT_GE(polygons.size(), 20u);
    EXPECT_TRUE(corners.MatchedBy(polygons, polygons.size() - 20, 4));
}

// Twenty passes of a dark grey g, each blended as src * src + dst * (1 - src)
// over white: g + (1 - g) (1 - g)^20.
TEST_F(ShaderSuite3DDrawing, TheTwentyPassesBlendByTheirOwnColour)
{
    folder.WriteFile("data/suite/vs.txt", passThrough);
    folder.WriteFile("data/suite/fs.txt", "#version 110\nvoid main() { gl_FragColor = vec4(0.1); }\n");
    const auto suite = Quietly<ShaderSuite3D>(startTime, 100000);
    Fill(white);
    suite->Draw(15000, 0.0f);
    const double g = 0.1;
    EXPECT_NEAR(ReadPixelAt(0.5, 0.5).r, (g + (1.0 - g) * std::pow(1.0 - g, 20)) * 255.0, 2.0);
    EXPECT_EQ(ReadPixelAt(0.02, 0.02), white) << "beside the model the black backdrop added nothing";
}

// Uniforms other than step and time are the show's to drive, and a value
// set between frames reaches the passes.
TEST_F(ShaderSuite3DDrawing, ItsShadersOwnUniformsAreTheShowsToDrive)
{
    folder.WriteFile("data/suite/vs.txt", passThrough);
    folder.WriteFile("data/suite/fs.txt", "#version 110\nuniform float step;\nuniform float time;\nuniform vec3 shade;\n"
                                          "void main() { if (step > 0.0 || time < 0.0) discard; gl_FragColor = vec4(shade, 1.0); }\n");
    ShaderSuite3D suite(startTime, 100000);
    std::vector<std::string> names;
    for (const DrivenUniforms::Uniform& uniform : suite.uniforms.Uniforms()) {
        names.push_back(uniform.name);
    }
    EXPECT_EQ(names, std::vector<std::string>{"shade"}) << "step and time are the effect's";

    suite.uniforms.Uniforms()[0].value = {0.0f, 1.0f, 0.0f, 0.0f};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    suite.Draw(centredTime, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), green);
}

// The pair may read the shader inputs too, as the frame loop sets them.
TEST_F(ShaderSuite3DDrawing, ItsShadersHearTheFrame)
{
    folder.WriteFile("data/suite/vs.txt", passThrough);
    folder.WriteFile("data/suite/fs.txt", "#version 110\nuniform float step;\nuniform float fGlobalTime;\n"
                                          "void main() { if (step > 0.0) discard; gl_FragColor = vec4(0.0, fGlobalTime / 28.8, 0.0, 1.0); }\n");
    ShaderInputs inputs;
    ShaderSuite3D suite(startTime, 100000, &inputs);
    inputs.BeginFrame({.time = centredTime, .frameSeconds = 0.0, .frame = 0});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    suite.Draw(centredTime, 0.0f);
    // 14.4 s of music gives a half, which the passes' blend squares over black.
    EXPECT_NEAR(ReadPixelAt(0.5, 0.5).g, 64, 1);
    EXPECT_TRUE(BetweenEffectsState());
}
