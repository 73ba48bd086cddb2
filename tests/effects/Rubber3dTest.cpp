#include "core/DemoRandom.h"
#include "effects/ModelEffectFiles.h"
#include "effects/Rubber3d.h"
#include "effects/RubberBackdrop.h"
#include "support/GlTestContext.h"

using Effekter::Rubber3d;

namespace {

const Rgba white{255, 255, 255, 255};
const Rgba black{0, 0, 0, 255};

// A chrome square far larger than the view, a white environment and
// black backdrops: wherever the model is drawn the screen turns white.
class Rubber3dDrawing : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        WriteRubberFiles(folder, 400.0f);
    }

    ScriptFolder folder;
};

}  // namespace

TEST(Rubber3dStrips, NinePixelsWideAt1024)
{
    int covered = 0;
    for (int i = 0; i < Rubber3d::strips; ++i) {
        const Rubber3d::Strip strip = Rubber3d::StripOf(i, 1024);
        EXPECT_EQ(strip.width, 9) << i;
        EXPECT_EQ(strip.x, 1024 * i / 125) << i;  // trunc(8.192 i)
        EXPECT_LE(strip.x, covered) << "gap before strip " << i;
        EXPECT_GE(strip.x, covered - 1) << "strip " << i << " overlaps by more than a column";
        covered = strip.x + strip.width;
    }
    EXPECT_GE(covered, 1024);
    EXPECT_EQ(Rubber3d::StripOf(124, 160).width, 2);
    EXPECT_EQ(Rubber3d::StripOf(124, 160).x, 158);
}

TEST(RubberEdgeAmount, FallsAndRisesAtTheWindowEdges)
{
    EXPECT_FLOAT_EQ(Effekter::EdgeAmount(1001, 1000, 9000), 0.996f);
    EXPECT_EQ(Effekter::EdgeAmount(1250, 1000, 9000), 0.0f);
    EXPECT_EQ(Effekter::EdgeAmount(5000, 1000, 9000), 0.0f);
    EXPECT_EQ(Effekter::EdgeAmount(8750, 1000, 9000), 0.0f);
    EXPECT_FLOAT_EQ(Effekter::EdgeAmount(8999, 1000, 9000), 0.996f);
    // In a window shorter than 500 ms the closing edge wins.
    EXPECT_FLOAT_EQ(Effekter::EdgeAmount(100, 0, 300), 0.2f);
}

TEST_F(Rubber3dDrawing, TheModelComesCloseOnlyOnABeatAboveAQuarter)
{
    // At 7.2 s the model has turned twice round to face the viewer again;
    // before any strong beat it stands 7.7 km away, beyond the far plane.
    for (const float beat : {0.0f, 0.25f, 0.2501f}) {
        Rubber3d rubber(0, 100000);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        rubber.Draw(7200, beat);
        EXPECT_TRUE(BetweenEffectsState()) << beat;
        const bool triggered = beat > 0.25f;
        EXPECT_EQ(rubber.lastTrigger, triggered ? 7200u : 0u) << beat;
        EXPECT_EQ(ReadPixelAt(0.1, 0.5) == white, triggered) << beat;
    }
}

TEST_F(Rubber3dDrawing, EveryStripDrawsTheSameTenRandomValues)
{
    Rubber3d rubber(0, 100000);
    DemoRandom::Seed(5);
    rubber.Draw(7200, 1.0f);
    const int after = DemoRandom::Next();
    DemoRandom::Seed(72);
    for (int i = 0; i < 10; ++i) {
        DemoRandom::Next();
    }
    EXPECT_EQ(after, DemoRandom::Next());
}

TEST_F(Rubber3dDrawing, BackdropIsPushedDownAtTheStartOfTheWindow)
{
    WritePlainPicture(folder, "data/rubber/background.jpg", white);
    Rubber3d rubber(20000, 100000);
    rubber.Draw(20001, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(ReadPixelAt(0.5, 0.8), white);
    EXPECT_TRUE(BetweenEffectsState());

    glClear(GL_COLOR_BUFFER_BIT);
    rubber.Draw(30000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), white);
}
