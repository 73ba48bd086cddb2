#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "effects/Solaris.h"
#include "support/DrawnCorners.h"
#include "support/Feedback.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"
#include "support/TestPictures.h"

using Effekter::Solaris;

namespace {

const Rgba white{255, 255, 255, 255};
const Rgba black{0, 0, 0, 255};

// The sprites have no picture and draw their plain colour; the overlay
// blacks out the top half and leaves the bottom alone.
class SolarisDrawing : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        WriteBandedPicture("data/solaris/it.jpg", white, black);
    }

    ScriptFolder folder;
};

// How many values the trail took from the generator after its seed.
int DrawsAfterTheSeed()
{
    const int next = DemoRandom::Next();
    DemoRandom::Seed(4);
    for (int draws = 0; draws < 10000; ++draws) {
        if (DemoRandom::Next() == next) {
            return draws;
        }
    }
    return -1;
}

}  // namespace

TEST_F(SolarisDrawing, WipesTheFrameFirst)
{
    WriteSolidPicture("data/solaris/solaris1.jpg", black);
    WriteSolidPicture("data/solaris/solaris2.jpg", black);
    WriteSolidPicture("data/solaris/it.jpg", black);
    Solaris solaris(0, 60000);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    solaris.Draw(2000, 1.0f);
    const std::vector<Rgba> frame = ReadFrame();
    EXPECT_TRUE(std::all_of(frame.begin(), frame.end(), [](Rgba pixel) { return pixel.r == 0 && pixel.g == 0 && pixel.b == 0; }));
}

TEST_F(SolarisDrawing, TheOverlayDarkensWhereWhiteAndDropsWithTheBeat)
{
    // The nearest sprite fills the screen with white; the overlay's edge lies
    // at mid-screen without beat and 0.12 lower (of a height of 2) at beat 1.
    Solaris solaris(0, 60000);
    const auto grey = [](double y) { return ReadPixelAt(0.5, y).g; };
    solaris.Draw(0, 0.0f);
    EXPECT_EQ(grey(0.45), 0);
    EXPECT_EQ(grey(0.53), 255);
    EXPECT_EQ(grey(0.6), 255);
    solaris.Draw(0, 1.0f);
    EXPECT_EQ(grey(0.45), 0);
    EXPECT_EQ(grey(0.53), 0);
    EXPECT_EQ(grey(0.6), 255);
}

namespace {

// Sprite colours of a frame without beat, leaving out the flash layer (0)
// and the overlay (1).
std::vector<float> SpriteColours(Solaris& solaris)
{
    std::vector<float> colours;
    for (const FeedbackPolygon& shape : CapturePolygons([&] { solaris.Draw(1000, 0.0f); })) {
        if (shape.colour[0] > 0.0f && shape.colour[0] < 1.0f) {
            colours.push_back(shape.colour[0]);
        }
    }
    return colours;
}

}  // namespace

TEST_F(SolarisDrawing, SpritesFallOffWithTheSquareOfTheirDistance)
{
    // Without beat the trail only turns about the viewing axis, so each
    // sprite's distance follows from its depth: the position is (a, a^2, z)
    // with a = z^2 / 20. The flash layer adds nothing.
    Solaris solaris(0, 60000);
    const std::vector<FeedbackPolygon> shapes = CapturePolygons([&] { solaris.Draw(1000, 0.0f); });
    ASSERT_FALSE(shapes.empty());
    int sprites = 0;
    int flashes = 0;
    for (std::size_t k = 0; k + 1 < shapes.size(); ++k) {
        const double z = EyeDepth(shapes[k].vertices[0][2]);
        const double a = 0.05 * z * z;
        const double brightness = 1.0 / (z * z + a * a + a * a * a * a);
        if (shapes[k].colour[0] == 0.0f) {
            ++flashes;
        } else {
            EXPECT_NEAR(shapes[k].colour[0], std::min(1.0, brightness), 2e-3) << "sprite at depth " << z;
            ++sprites;
        }
    }
    EXPECT_GE(sprites, 5);
    EXPECT_GE(flashes, sprites - 2) << "every sprite is drawn twice, up to pieces clipping splits";
    EXPECT_EQ(shapes.back().colour[0], 1.0f) << "the overlay comes last";
}

TEST_F(SolarisDrawing, TheSecondLayerFlashesWithAnEighthOfTheBeat)
{
    Solaris solaris(0, 60000);
    const std::vector<float> sprites = SpriteColours(solaris);
    ASSERT_GE(sprites.size(), 5u);
    std::vector<float> withBeat;
    for (const FeedbackPolygon& shape : CapturePolygons([&] { solaris.Draw(1000, 0.5f); })) {
        withBeat.push_back(shape.colour[0]);
    }
    for (const float sprite : sprites) {
        const bool flashed = std::any_of(withBeat.begin(), withBeat.end(), [&](float colour) { return std::fabs(colour - sprite * 0.0625f) < 1e-5f; });
        EXPECT_TRUE(flashed) << "no flash for the sprite of brightness " << sprite;
    }
}

// Every sprite corner in view lies where the rising curve, the sprite's own
// turn (from the values after seed 4) and the trail's spin put it.
TEST_F(SolarisDrawing, TheSpritesFollowTheCurveAndTurnByTheirSeed)
{
    Solaris solaris(0, 100000);
    const std::uint32_t time = 2345;
    const float beat = 0.7f;
    const float t = static_cast<float>(time);
    const Matrix4 trail = Matrix4::ScreenPerspective() * Matrix4::Rotation(2.0 * beat, 0, 1, 0) *
                          Matrix4::Rotation(t * 0.05f, 0, 0, 1);
    CRuntimeRandom random{4};
    DrawnCorners corners;
    for (int i = 0; t * 0.002f - static_cast<float>(i) / 3.0f > -10.0f; ++i) {
        const float z = t * 0.002f - static_cast<float>(i) / 3.0f;
        const float r = random.Unit();
        if (z > -0.1f) {
            continue;  // at or behind the near plane: clipped away
        }
        const float a = 0.05f * z * z;
        corners.AddSquare(trail * Matrix4::Translation(a, a * a, z) *
                              Matrix4::Rotation(static_cast<float>(20 * i) * r + t * 0.005f, 0, 0, 1),
                          1.0);
    }
    EXPECT_TRUE(corners.MatchedBy(CapturePolygons([&] { solaris.Draw(time, beat); }), 0, 12));
    EXPECT_EQ(DrawsAfterTheSeed(), 45) << "one value for each slot nearer than ten units, and no more";
}

TEST_F(SolarisDrawing, LeavesTheStateBetweenEffects)
{
    Solaris solaris(0, 60000);
    for (const auto& [time, beat] : {std::pair{0u, 0.0f}, {30000u, 1.0f}, {45678u, 0.3f}}) {
        solaris.Draw(time, beat);
        EXPECT_TRUE(BetweenEffectsState()) << time;
    }
}
