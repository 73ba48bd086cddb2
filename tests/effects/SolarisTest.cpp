#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "effects/EffectTest.h"
#include "effects/Solaris.h"

using Effekter::Solaris;

namespace {

// The sprites have no picture and draw their plain colour; the overlay
// blacks out the top half and leaves the bottom alone.
class SolarisDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteBandedPicture("data/solaris/it.jpg", white, black);
    }
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
    Fill(red);
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

// Without beat the trail only turns about the viewing axis, so each
// sprite's distance follows from its depth: the position is (a, a^2, z) with
// a = z^2 / 20. Its second layer adds an eighth of the beat of that.
TEST_F(SolarisDrawing, SpritesFallOffWithTheSquareOfTheirDistanceAndFlashWithTheBeat)
{
    Solaris solaris(0, 60000);
    const std::vector<FeedbackPolygon> shapes = Polygons(solaris, 1000, 0.0f);
    ASSERT_FALSE(shapes.empty());
    std::vector<float> sprites;
    int flashes = 0;
    for (std::size_t k = 0; k + 1 < shapes.size(); ++k) {
        const double z = EyeDepth(shapes[k].vertices[0][2]);
        const double a = 0.05 * z * z;
        const double brightness = 1.0 / (z * z + a * a + a * a * a * a);
        if (shapes[k].colour[0] == 0.0f) {
            ++flashes;
        } else {
            EXPECT_NEAR(shapes[k].colour[0], std::min(1.0, brightness), 2e-3) << "sprite at depth " << z;
            sprites.push_back(shapes[k].colour[0]);
        }
    }
    EXPECT_GE(sprites.size(), 5u);
    EXPECT_GE(flashes + 2, static_cast<int>(sprites.size())) << "every sprite is drawn twice, up to pieces clipping splits";
    EXPECT_EQ(shapes.back().colour[0], 1.0f) << "the overlay comes last";

    const std::vector<FeedbackPolygon> withBeat = Polygons(solaris, 1000, 0.5f);
    for (const float sprite : sprites) {
        const bool flashed = std::any_of(withBeat.begin(), withBeat.end(), [&](const FeedbackPolygon& shape) {
            return std::fabs(shape.colour[0] - sprite * 0.0625f) < 1e-5f;
        });
        EXPECT_TRUE(flashed || sprite == 1.0f) << "no flash for the sprite of brightness " << sprite;  // a clamped one may be cut off
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
    EXPECT_TRUE(corners.MatchedBy(Polygons(solaris, time, beat), 0, 12));
    EXPECT_EQ(DrawsAfterTheSeed(), 45) << "one value for each slot nearer than ten units, and no more";
}
