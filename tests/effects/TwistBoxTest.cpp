#include <cmath>

#include "effects/TwistBox.h"
#include "support/GlTestContext.h"
#include "support/Pictures.h"
#include "support/ShippedData.h"

using Effekter::TwistBox;

namespace {

const Rgba white{255, 255, 255, 255};

class TwistBoxDrawing : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_TRUE(WriteTwoBandPicture("data/__grid.jpg", FIF_PNG, 24, white, white, 16));
    }

    ScriptFolder folder;
};

GLint ModelviewDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

}  // namespace

TEST_F(TwistBoxDrawing, IntensityDropsWithTheBeat)
{
    CopyShipped(folder, "bump.fs");
    TwistBox box(0, 100000);
    box.Draw(1000, 0.0f);
    EXPECT_EQ(UniformValue(box.shader.program, box.intensityLocation), 0.25f);
    box.Draw(1000, 1.0f);
    EXPECT_FLOAT_EQ(UniformValue(box.shader.program, box.intensityLocation), 0.15f);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(TwistBoxDrawing, PassesTheWindowSizeAndASwingingLamp)
{
    CopyShipped(folder, "bump.fs");
    TwistBox box(0, 100000);
    GLfloat values[4] = {};
    box.Draw(0, 0.0f);
    glGetUniformfv(box.shader.program, box.resolutionLocation, values);
    EXPECT_EQ(values[0], static_cast<float>(testWidth));
    EXPECT_EQ(values[1], static_cast<float>(testHeight));
    glGetUniformfv(box.shader.program, box.posLocation, values);
    EXPECT_EQ(values[0], 0.0f);
    EXPECT_EQ(values[1], 0.5f);
    // sin(0.0005 t) peaks at t = pi / 0.001 ms.
    box.Draw(3142, 0.0f);
    glGetUniformfv(box.shader.program, box.posLocation, values);
    EXPECT_NEAR(values[0], 0.5f, 1e-6);
}

TEST_F(TwistBoxDrawing, ClearsTheWindowAndDrawsTheTowerInItsMiddle)
{
    folder.WriteFile("data/bump.fs", "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    testing::internal::CaptureStderr();
    TwistBox box(0, 100000);
    testing::internal::GetCapturedStderr();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const GLint depthBefore = ModelviewDepth();
    box.Draw(0, 0.0f);
    EXPECT_EQ(ModelviewDepth(), depthBefore);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), white) << "slice 150, half width about 1.27, lies across the middle";
    EXPECT_EQ(ReadPixelAt(0.02, 0.5), (Rgba{0, 0, 0, 0})) << "beside the tower the window was cleared";
    EXPECT_TRUE(BetweenEffectsState()) << "fog, depth test, texture and program all undone";
}
