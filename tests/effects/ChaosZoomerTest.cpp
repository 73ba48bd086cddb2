#include <cmath>
#include <memory>

#include "core/DemoRandom.h"
#include "effects/ChaosZoomer.h"
#include "effects/EffectTest.h"
#include "gfx/Guards.h"

using Effekter::ChaosZoomer;

namespace {

// Shows the composed picture unchanged.
const std::string displayProbe =
    "#version 110\nuniform sampler2D picture;\nvoid main() { gl_FragColor = texture2D(picture, gl_TexCoord[0].st); }\n";

class ChaosZoomerDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteSquareModel("data/misc/simple.3ds", 60.0f);
        for (const char* picture : {"blomster", "env", "border", "twist"}) {
            WriteSolidPicture(std::string("data/misc/") + picture + ".jpg", black);
        }
        WriteSolidPicture("data/misc/sesk.jpg", red);
        WriteSolidPicture("data/misc/mig.jpg", green);
        WriteSolidPicture("data/misc/tolvik.jpg", blue);
        WriteSolidPicture("data/misc/bust.jpg", white);
        CopyShipped(folder, "misc/split.txt");
    }
};

}  // namespace

// A scene is drawn from the generator once more than five seconds have
// passed since the last; the echo is fed back at most every 20 ms.
TEST_F(ChaosZoomerDrawing, SwitchesSceneAfterFiveSecondsAndFeedsBackEveryTwentyMilliseconds)
{
    ChaosZoomer zoomer(0, 100000);
    ChaosZoomer::scene = ChaosZoomer::Twist;
    DemoRandom::Seed(1);
    for (const auto& [time, feedback] : {std::pair{20u, 0u}, {21u, 21u}, {41u, 21u}, {42u, 42u}}) {
        zoomer.Draw(time, 0.0f);
        EXPECT_EQ(zoomer.lastFeedback, feedback) << time;
    }
    zoomer.Draw(5000, 0.0f);
    EXPECT_EQ(zoomer.switchCount, 0);
    EXPECT_EQ(ChaosZoomer::scene, ChaosZoomer::Twist);
    zoomer.Draw(5001, 0.0f);
    EXPECT_EQ(zoomer.switchCount, 1);
    EXPECT_EQ(zoomer.lastSwitch, 5001u);
    EXPECT_EQ(ChaosZoomer::scene, 41 & 3);  // the first draw after seed 1
    zoomer.Draw(10001, 0.0f);
    EXPECT_EQ(zoomer.switchCount, 1);
    zoomer.Draw(10002, 0.0f);
    EXPECT_EQ(zoomer.switchCount, 2);
}

TEST_F(ChaosZoomerDrawing, EverySceneLeavesTheStateBetweenEffects)
{
    for (const int scene : {0, 1, 2, 3, 4}) {
        ChaosZoomer zoomer(0, 100000);
        ChaosZoomer::scene = scene;
        zoomer.Draw(1000, 0.6f);
        EXPECT_EQ(ChaosZoomer::scene, scene);
        EXPECT_TRUE(BetweenEffectsState()) << "scene " << scene;
        EXPECT_EQ(UniformValue(zoomer.splitShader.program, zoomer.timeLocation), 1000.0f);
        EXPECT_FLOAT_EQ(UniformValue(zoomer.splitShader.program, zoomer.beatLocation), 0.6f);
        if (scene == ChaosZoomer::Mesh) {
            EXPECT_FLOAT_EQ(zoomer.ObjPos.z, 0.6f * 50.0f - 400.0f);
        }
    }
}

TEST_F(ChaosZoomerDrawing, PictureSceneShowsAPhotographBySwitchCount)
{
    folder.WriteFile("data/misc/split.txt", displayProbe);
    const Rgba expected[4] = {red, green, white, blue};
    testing::internal::CaptureStderr();  // the probe has no time or beat
    for (int switches = 0; switches < 4; ++switches) {
        ChaosZoomer zoomer(0, 100000);
        ChaosZoomer::scene = ChaosZoomer::Picture;
        zoomer.switchCount = switches;
        zoomer.Draw(1000, 0.0f);
        EXPECT_EQ(ReadPixelAt(0.5, 0.5), expected[switches]) << switches << " switches";
        EXPECT_EQ(ReadPixelAt(0.02, 0.02), black);
    }
    testing::internal::GetCapturedStderr();
}

// A flower a second of music time flies at the viewer, each turned 20
// degrees further than the one before it and all turning with the music;
// those at or behind the near plane are clipped away.
TEST_F(ChaosZoomerDrawing, TheFlowersFlyAtTheViewerEachTurnedFurther)
{
    ChaosZoomer zoomer(0, 100000);
    ChaosZoomer::scene = ChaosZoomer::FlowerTunnel;
    const std::uint32_t time = 2345;
    DrawnCorners corners;
    for (int i = 3; i < 13; ++i) {
        corners.AddSquare(Matrix4::ScreenPerspective() * Matrix4::Translation(0.0, 0.0, time / 1000.0 - i) *
                              Matrix4::Rotation(20.0 * i + time / 500.0, 0, 0, 1),
                          0.5);
    }
    // After the echo of the previous pass; the copies and the border cover
    // the whole window, their corners on or beyond its edges.
    EXPECT_TRUE(corners.MatchedBy(Polygons(zoomer, time, 0.0f), 1, 30));
}

TEST_F(ChaosZoomerDrawing, ReleasesItsTargetsWithTheEffect)
{
    auto zoomer = std::make_unique<ChaosZoomer>(0, 100000);
    const GLuint compose = zoomer->composeTarget->framebuffer;
    const GLuint history = zoomer->historyTarget->framebuffer;
    EXPECT_EQ(zoomer->composeTarget->width, testWidth);
    EXPECT_EQ(zoomer->historyTarget->height, testHeight);
    EXPECT_TRUE(glIsFramebufferEXT(compose));
    zoomer.reset();
    EXPECT_FALSE(glIsFramebufferEXT(compose));
    EXPECT_FALSE(glIsFramebufferEXT(history));
}

// The echo: each feedback pass draws the previous pass's picture 1.02 times
// larger, so a square in the history grows by that much per pass, and the
// screen shows it.
TEST_F(ChaosZoomerDrawing, EachPassEnlargesThePreviousPicture)
{
    folder.WriteFile("data/misc/split.txt", displayProbe);
    const auto zoomer = Quietly<ChaosZoomer>(0, 100000);
    ChaosZoomer::scene = 4;  // no scene: only the echo is drawn
    zoomer->historyTarget->Bind();
    glClear(GL_COLOR_BUFFER_BIT);
    const CEnabler scissor(GL_SCISSOR_TEST);
    glScissor(testWidth / 2 - 10, testHeight / 2 - 10, 20, 20);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    RestoreScreenProjection();

    const auto whiteWidth = [] {
        int width = 0;
        for (int x = 0; x < testWidth; ++x) {
            width += ReadPixel(x, testHeight / 2).r > 128;
        }
        return width;
    };
    for (int pass = 1; pass <= 25; ++pass) {
        glClear(GL_COLOR_BUFFER_BIT);
        // Passes 21 ms apart, early in the music, where the turn is a
        // fifth of a degree at most.
        zoomer->Draw(static_cast<std::uint32_t>(21 * pass), 0.0f);
        if (pass == 1 || pass == 25) {
            EXPECT_NEAR(whiteWidth(), 20.0 * std::pow(1.02, pass), 1.5) << "after " << pass << " passes";
        }
    }
    EXPECT_TRUE(BetweenEffectsState());
}
