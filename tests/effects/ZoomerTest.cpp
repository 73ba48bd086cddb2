#include <algorithm>
#include <cmath>

#include "effects/EffectTest.h"
#include "effects/Zoomba.h"
#include "effects/Zoombb.h"

using Effekter::Zoomba;
using Effekter::Zoombb;

namespace {

// A dark blue backdrop with a grey light layer; Zoomba's sprites are black,
// which this blend leaves invisible, and Zoombb's are white.
class ZoomerDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteSolidPicture("data/zoomer/bg.jpg", Rgba{0, 0, 100, 255});
        WriteSolidPicture("data/zoomer/bg1.jpg", Rgba{50, 50, 50, 255});
        WriteSolidPicture("data/zoomer/zoomer2.jpg", black);
        WriteSolidPicture("data/zoomer/zoomer2-old.jpg", white);
    }
};

void ExpectNear(Rgba actual, Rgba expected, int tolerance = 2)
{
    EXPECT_NEAR(actual.r, expected.r, tolerance) << "red";
    EXPECT_NEAR(actual.g, expected.g, tolerance) << "green";
    EXPECT_NEAR(actual.b, expected.b, tolerance) << "blue";
}

}  // namespace

TEST_F(ZoomerDrawing, WipesTheFrameWhiteUnderABackdropShiftedHalfAUnitRight)
{
    // At time 0 the backdrop is not turned and its left edge lies at x =
    // -0.75: the leftmost eighth of the screen shows the white wipe.
    Fill(red);
    Zoomba zoomer(0, 10000);
    zoomer.Draw(0, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.05, 0.5), white);
    ExpectNear(ReadPixelAt(0.2, 0.5), Rgba{5, 5, 105, 255});
    ExpectNear(ReadPixelAt(0.95, 0.05), Rgba{5, 5, 105, 255});

    // At 5027 ms (u = 4 pi, so no turn) the backdrop has swayed 0.34 units
    // up: the bottom twentieth of the screen is white, the top is not.
    zoomer.Draw(5027, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.985), white);
    ExpectNear(ReadPixelAt(0.5, 0.015), Rgba{5, 5, 105, 255});
    EXPECT_EQ(ReadPixelAt(0.05, 0.5), white) << "and 0.44 units right";

    // The light layer adds a tenth of its picture without beat, more with
    // it, and clamps: at beat 1 it adds the picture as it is.
    zoomer.Draw(0, 0.5f);
    ExpectNear(ReadPixelAt(0.5, 0.5), Rgba{30, 30, 130, 255});
    zoomer.Draw(0, 1.0f);
    ExpectNear(ReadPixelAt(0.5, 0.5), Rgba{50, 50, 150, 255});
}


TEST_F(ZoomerDrawing, ZoombaAndZoombbDifferOnlyInTheirSprite)
{
    Zoomba zoomba(0, 10000);
    zoomba.Draw(4000, 0.0f);
    const std::vector<Rgba> withBlackSprites = ReadFrame();
    ExpectNear(ReadPixelAt(0.5, 0.5), Rgba{5, 5, 105, 255});

    Zoombb zoombb(0, 10000);
    zoombb.Draw(4000, 0.0f);
    EXPECT_NE(ReadFrame(), withBlackSprites);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), white) << "the nearest white sprites cover the screen";

    WriteSolidPicture("data/zoomer/zoomer2-old.jpg", black);
    Zoombb darkened(0, 10000);
    darkened.Draw(4000, 0.0f);
    EXPECT_EQ(ReadFrame(), withBlackSprites);
}

TEST_F(ZoomerDrawing, SpritesBrightenWithTheInverseSquareOfTheirDepth)
{
    Zoomba zoomer(0, 10000);
    const std::vector<FeedbackPolygon> polygons = Polygons(zoomer, 0, 0.0f);
    ASSERT_GT(polygons.size(), 50u);
    EXPECT_EQ(polygons[0].colour[0], 1.0f) << "the backdrop";
    EXPECT_NEAR(polygons[1].colour[0], 0.1f, 1e-4f) << "its light layer";
    double nearest = -1e9;
    double farthest = 0.0;
    for (std::size_t k = 2; k < polygons.size(); ++k) {
        const double depth = EyeDepth(polygons[k].vertices[0][2]);
        nearest = std::max(nearest, depth);
        farthest = std::min(farthest, depth);
        EXPECT_NEAR(polygons[k].colour[0], std::min(1.0, 1.0 / (depth * depth)), 2e-3) << "sprite at depth " << depth;
    }
    EXPECT_NEAR(nearest, -0.1, 1e-3) << "nearer sprites lie before the near plane";
    EXPECT_GT(farthest, -2.0001);
}

// Every sprite corner that lands inside the window lies where the bending
// tube and each sprite's own turn put it.
TEST_F(ZoomerDrawing, TheSpritesFollowTheBendingTubeAndTurn)
{
    Zoombb zoomer(0, 100000);
    const std::uint32_t time = 4321;
    const float beat = 0.6f;
    const float t = static_cast<float>(time);
    const float u = t * 0.0025f, sway = std::sin(t * 0.00015f), bend = std::cos(t * 0.0001f), lift = beat * 0.0125f;
    DrawnCorners corners;
    for (int k = -100; k <= -1; ++k) {
        const float z = static_cast<float>(k) / 50.0f;
        const float p = std::pow(0.65f * z, 4.0f);
        corners.AddSquare(Matrix4::ScreenPerspective() * Matrix4::Translation(bend * p, sway * p + lift, z) *
                              Matrix4::Rotation(90.0f * std::sin(z + u) * std::cos(z + u / 2.0f), 0, 0, 1),
                          0.5);
    }
    // After the backdrop and its light layer.
    EXPECT_TRUE(corners.MatchedBy(Polygons(zoomer, time, beat), 2, 20));
}
