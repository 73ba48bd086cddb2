#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "effects/ColorBox.h"
#include "effects/EffectTest.h"

using Effekter::ColorBox;

namespace {

// No pictures: the tiles draw their plain colour, which feedback reports.
using ColorBoxDrawing = EffectTest;

// A box aimed at a tile with the camera over it, and a level that does not fall.
void Settle(ColorBox& box, std::int32_t x, std::int32_t y)
{
    box.targetX = x;
    box.targetY = y;
    box.cameraX = static_cast<float>(x);
    box.cameraY = static_cast<float>(y);
    box.lastBeat = 0.0f;
}

bool HasColour(const std::vector<FeedbackPolygon>& polygons, float colour)
{
    return std::any_of(polygons.begin(), polygons.end(), [&](const FeedbackPolygon& polygon) { return std::fabs(polygon.colour[0] - colour) < 1e-4f; });
}

float BrightestBelowOne(const std::vector<FeedbackPolygon>& polygons)
{
    float brightest = 0.0f;
    for (const FeedbackPolygon& polygon : polygons) {
        if (polygon.colour[0] < 1.0f) {
            brightest = std::max(brightest, polygon.colour[0]);
        }
    }
    return brightest;
}

}  // namespace

// The level starts at 10, so any first beat falls.
TEST_F(ColorBoxDrawing, OnlyAFallingBeatChoosesAndNotTwiceWithin200Milliseconds)
{
    ColorBox early(0, 10000);
    early.Draw(200, 1.0f);
    EXPECT_EQ(early.lastTrigger, 0u) << "exactly 200 ms after the start is not enough";
    ColorBox box(0, 10000);
    box.Draw(1000, 0.5f);
    ASSERT_EQ(box.lastTrigger, 1000u);
    box.Draw(1300, 0.5f);
    EXPECT_EQ(box.lastTrigger, 1000u) << "a steady level";
    box.Draw(1400, 0.9f);
    EXPECT_EQ(box.lastTrigger, 1000u) << "a rising level";
    box.Draw(1600, 0.2f);
    EXPECT_EQ(box.lastTrigger, 1600u) << "a falling level";
    box.Draw(1700, 0.9f);
    box.Draw(1800, 0.1f);
    EXPECT_EQ(box.lastTrigger, 1600u) << "exactly 200 ms after the last choice";
    box.Draw(1801, 0.1f);
    EXPECT_EQ(box.lastTrigger, 1600u) << "the level fell the frame before, not this one";
    box.Draw(1802, 0.9f);
    box.Draw(1803, 0.8f);
    EXPECT_EQ(box.lastTrigger, 1803u);
}

// A choice seeds the generator with the music time and takes its next two
// values, whatever it held; other frames take none.
TEST_F(ColorBoxDrawing, AChoiceIsTheTileOfTheTimesFirstTwoValues)
{
    for (const std::uint32_t time : {1000u, 4321u, 77777u}) {
        ColorBox box(0, 100000);
        DemoRandom::Seed(2);
        box.Draw(time, 0.5f);
        CRuntimeRandom seeded{time};
        EXPECT_EQ(box.targetX, static_cast<int>(seeded.Unit() * 4.0f)) << time;
        EXPECT_EQ(box.targetY, static_cast<int>(seeded.Unit() * 4.0f)) << time;
        EXPECT_EQ(DemoRandom::Next(), seeded.Next()) << time;

        DemoRandom::Seed(31);
        box.Draw(time + 100, 0.6f);
        EXPECT_EQ(DemoRandom::Next(), CRuntimeRandom{31}.Next()) << time;
    }
}

TEST_F(ColorBoxDrawing, AChoiceBefore70MillisecondsAimsOutsideTheGrid)
{
    // Only possible after seeking back: the unsigned difference wraps.
    ColorBox box(0, 10000);
    box.Draw(1000, 0.5f);
    const std::vector<FeedbackPolygon> polygons = Polygons(box, 50, 0.4f);
    EXPECT_EQ(box.lastTrigger, 50u);
    EXPECT_EQ(box.targetX, 100);
    EXPECT_EQ(box.targetY, 100);
    ASSERT_FALSE(polygons.empty());
    for (const FeedbackPolygon& polygon : polygons) {
        EXPECT_LT(polygon.colour[0], 0.004f);
    }
}

TEST_F(ColorBoxDrawing, TheCameraGlidesATenthPerFrameAndRestsJustBelowTheTarget)
{
    ColorBox box(0, 100000);
    Settle(box, 2, 1);
    box.cameraX = 0.0f;
    box.cameraY = 0.0f;
    box.Draw(10000, 0.0f);
    EXPECT_FLOAT_EQ(box.cameraX, 0.1f);
    EXPECT_FLOAT_EQ(box.cameraY, 0.1f);
    for (std::uint32_t frame = 1; frame < 40; ++frame) {
        box.Draw(10000 + frame, 0.0f);
    }
    EXPECT_GT(box.cameraX, 1.9f);
    EXPECT_LE(box.cameraX, 2.0f);
    EXPECT_GT(box.cameraY, 0.9f);
    EXPECT_LE(box.cameraY, 1.0f);
    const float restingX = box.cameraX;
    box.Draw(10041, 0.0f);
    EXPECT_EQ(box.cameraX, restingX) << "at rest it stays";
}

// The target tile, seen by the rolling camera, glows white, turned by its
// own spin; its neighbours glow by their distance, and its mark flashes
// over it at twice the beat.
TEST_F(ColorBoxDrawing, TheTargetGlowsAndSpinsUnderTheRollingCameraItsNeighboursByDistance)
{
    ColorBox box(0, 100000);
    Settle(box, 1, 2);
    const std::uint32_t time = 50000;
    const float beat = 0.2f;
    const std::vector<FeedbackPolygon> polygons = Polygons(box, time, beat);
    const auto target = std::find_if(polygons.begin(), polygons.end(), [](const FeedbackPolygon& polygon) { return polygon.colour[0] == 1.0f; });
    ASSERT_NE(target, polygons.end());
    const double t = time * 0.001;
    DrawnCorners corners;
    corners.AddSquare(Matrix4::ScreenPerspective() * Matrix4::LookAt({0.25, 0.5, 4.0}, {1.0, 2.0, 0.0}, {t, 1.0, 0.0}) *
                          Matrix4::Translation(1.0, 2.0, 0.0) * Matrix4::Rotation(180.0 * std::sin(0.05 * 3.0 * t + 2.0), 0, 0, 1),
                      1.0 + beat * 0.5);
    EXPECT_TRUE(corners.MatchedBy({*target}, 0, 2));
    ASSERT_NE(target + 1, polygons.end());
    EXPECT_NEAR((target + 1)->colour[0], 0.4f, 1e-4f);
    EXPECT_EQ((target + 1)->vertices, target->vertices);
    EXPECT_TRUE(HasColour(polygons, 0.5f)) << "distance 1";
    EXPECT_TRUE(HasColour(polygons, 0.25f)) << "distance 2";
    EXPECT_NEAR(BrightestBelowOne(polygons), 0.5f, 1e-4f);
}

TEST_F(ColorBoxDrawing, FadesInOverFiveSecondsAndOutOverTheLastTwo)
{
    ColorBox box(10000, 30000);
    Settle(box, 0, 0);
    EXPECT_NEAR(BrightestBelowOne(Polygons(box, 12500, 0.0f)), 0.25f, 1e-4f);
    EXPECT_NEAR(BrightestBelowOne(Polygons(box, 20000, 0.0f)), 0.5f, 1e-4f);
    EXPECT_NEAR(BrightestBelowOne(Polygons(box, 29000, 0.0f)), 0.25f, 1e-4f);
    EXPECT_TRUE(HasColour(Polygons(box, 29000, 0.0f), 1.0f)) << "the target itself does not fade";
}
