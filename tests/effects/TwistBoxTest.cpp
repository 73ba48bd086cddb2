#include <cmath>

#include "effects/EffectTest.h"
#include "effects/TwistBox.h"

using Effekter::TwistBox;

namespace {

class TwistBoxDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteSolidPicture("data/__grid.jpg", white);
    }
};

GLint ModelviewDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

}  // namespace

// The lamp swings on sin(0.0005 t), which peaks at t = pi / 0.001 ms.
TEST_F(TwistBoxDrawing, PassesAnIntensityFallingWithTheBeatTheWindowSizeAndASwingingLamp)
{
    CopyShipped(folder, "bump.fs");
    TwistBox box(0, 100000);
    const GLuint program = box.shader.program;
    box.Draw(0, 0.0f);
    EXPECT_EQ(UniformValue(program, box.intensityLocation), 0.25f);
    EXPECT_EQ(UniformVector(program, box.resolutionLocation), (std::array<GLfloat, 4>{testWidth, testHeight, 0, 0}));
    EXPECT_EQ(UniformVector(program, box.posLocation), (std::array<GLfloat, 4>{0.0f, 0.5f, 0, 0}));
    box.Draw(3142, 1.0f);
    EXPECT_FLOAT_EQ(UniformValue(program, box.intensityLocation), 0.15f);
    EXPECT_NEAR(UniformVector(program, box.posLocation)[0], 0.5f, 1e-6);
}

TEST_F(TwistBoxDrawing, ClearsTheWindowAndPutsEverythingBack)
{
    folder.WriteFile("data/bump.fs", "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    const auto box = Quietly<TwistBox>(0, 100000);
    Fill(red);
    const GLint depthBefore = ModelviewDepth();
    box->Draw(0, 0.0f);
    EXPECT_EQ(ModelviewDepth(), depthBefore);
    EXPECT_EQ(ReadPixelAt(0.02, 0.5), cleared) << "beside the tower the window was cleared";
    EXPECT_TRUE(BetweenEffectsState()) << "fog, depth test, texture and program all undone";
}

// Every slice corner in view lies where the slice's height (g / 10, a real
// division), its half widths and its turn put it.
TEST_F(TwistBoxDrawing, SlicesAreTurnedAndSizedByTheWave)
{
    CopyShipped(folder, "bump.fs");
    TwistBox box(0, 100000);
    const std::uint32_t time = 7200;
    const double base = time * 0.000125;
    const auto half = [base](int g) { return std::sin(g * 0.0225 + base) + 1.5; };
    DrawnCorners corners;
    for (int g = 0; g < 1000; ++g) {
        const Matrix4 slice = Matrix4::ScreenPerspective() * Matrix4::Translation(0.0, -15.0 + g / 10.0, -10.0) *
                              Matrix4::Rotation(std::sin(g * 0.00225 + base) * 360.0, 0, 1, 0);
        const double low = half(g), high = half(g + 1);
        corners.Add(slice, {{-low, -0.05, low}, {low, -0.05, low}, {low, -0.05, -low}, {-low, -0.05, -low},
                            {-high, 0.05, high}, {high, 0.05, high}, {high, 0.05, -high}, {-high, 0.05, -high}});
    }
    EXPECT_TRUE(corners.MatchedBy(Polygons(box, time, 0.0f), 0, 100));
}
