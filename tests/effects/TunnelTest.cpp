#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "effects/EffectTest.h"
#include "effects/Tunnel.h"
#include "gfx/Guards.h"

using Effekter::Tunnel;

namespace {

// No pictures: the feedback of the polygons drawn tells what the tunnel did.
using TunnelDrawing = EffectTest;

// What a cloud at this depth gets, with the strength K of the frame.
float CloudColour(float depth, float strength)
{
    const float brightness = depth > -10.0f ? -depth / 10.0f : 1.0f - (-depth - 10.0f) / 5.0f;
    return std::clamp(brightness * strength, 0.0f, 1.0f);
}

bool CoversTheWindow(const FeedbackPolygon& polygon)
{
    const auto [left, right] = std::minmax_element(polygon.vertices.begin(), polygon.vertices.end(),
                                                   [](const auto& a, const auto& b) { return a[0] < b[0]; });
    const auto [bottom, top] = std::minmax_element(polygon.vertices.begin(), polygon.vertices.end(),
                                                   [](const auto& a, const auto& b) { return a[1] < b[1]; });
    return (*left)[0] <= 0.0f && (*bottom)[1] <= 0.0f && (*right)[0] >= testWidth && (*top)[1] >= testHeight;
}

}  // namespace

TEST_F(TunnelDrawing, HalfASecondInTheCloudsInFrontOfTheViewerShowFarToNear)
{
    // Clouds 1 to 19 are drawn; 1 to 5 lie at or behind the eye and are
    // clipped; 6 to 19 are seen at depths -1 to -14, fading in from -15.
    Tunnel tunnel(1000, 60000);
    const std::vector<FeedbackPolygon> polygons = Polygons(tunnel, 1500, 0.0f);
    ASSERT_EQ(polygons.size(), 14u);
    for (std::size_t k = 0; k < polygons.size(); ++k) {
        const float depth = -14.0f + static_cast<float>(k);
        EXPECT_NEAR(polygons[k].colour[0], CloudColour(depth, 1.125f), 1e-3f) << "cloud at depth " << depth;
    }
}

TEST_F(TunnelDrawing, TheSkyBeginsOneMillisecondAfterFifteenSecondsBeforeTheEnd)
{
    // Started half a cloud's step off the whole seconds, so that no cloud
    // crosses depth -15 between the two frames.
    Tunnel tunnel(1050, 60000);
    const std::vector<FeedbackPolygon> before = Polygons(tunnel, 45000, 0.0f);
    const std::vector<FeedbackPolygon> after = Polygons(tunnel, 45001, 0.0f);
    ASSERT_EQ(after.size(), before.size() + 2);
    EXPECT_TRUE(CoversTheWindow(after[0])) << "the landscape covers everything";
    EXPECT_LT(after[0].colour[0], 0.001f) << "and starts out black";
    EXPECT_EQ(after[1].colour[0], 0.0f) << "no beat, no lights";
    for (std::size_t k = 0; k < before.size(); ++k) {
        EXPECT_NEAR(after[k + 2].colour[0], before[k].colour[0], 5e-3f) << "cloud " << k;
    }
}

TEST_F(TunnelDrawing, TheSkyFadesInWhileTheCloudsFadeOut)
{
    // Five seconds into the sky: fade 0.45; the lights get a tenth of the
    // beat times that and the clouds (1 - 0.45) x (beat + 1.125).
    Tunnel tunnel(1000, 60000);
    const std::vector<FeedbackPolygon> polygons = Polygons(tunnel, 50000, 0.8f);
    ASSERT_GE(polygons.size(), 3u);
    EXPECT_NEAR(polygons[0].colour[0], 0.45f, 1e-3f);
    EXPECT_NEAR(polygons[1].colour[0], 0.45f * 0.8f * 0.125f, 1e-3f);
    EXPECT_TRUE(CoversTheWindow(polygons[1]));
    EXPECT_NEAR(polygons[2].colour[0], CloudColour(-14.0f, 0.55f * 1.925f), 1e-3f);

    const std::vector<FeedbackPolygon> later = Polygons(tunnel, 59000, 0.0f);
    EXPECT_NEAR(later[0].colour[0], 0.9f, 1e-3f) << "ten seconds in the landscape is at 0.9";
}

TEST_F(TunnelDrawing, AWindowShorterThanTheSkyNeverShowsItAndAfterHundredSecondsEveryCloudHasPassed)
{
    Tunnel tunnel(0, 10000);
    const std::vector<FeedbackPolygon> polygons = Polygons(tunnel, 9000, 0.0f);
    ASSERT_EQ(polygons.size(), 14u) << "clouds only";
    EXPECT_NEAR(polygons[0].colour[0], CloudColour(-14.0f, 1.125f), 1e-3f) << "the farthest cloud comes first";
    Tunnel longer(0, 300000);
    EXPECT_TRUE(Polygons(longer, 100500, 1.0f).empty());
}

// Seen through a wide orthographic view nothing is clipped: every cloud's
// square lies where the description puts it, turned by the coil and by the
// tunnel's own turn.
TEST_F(TunnelDrawing, EachCloudLiesAndTurnsWhereTheCoilPutsIt)
{
    Tunnel tunnel(1000, 60000);
    const std::uint32_t time = 7000;  // six seconds in: the tunnel has turned 30 degrees
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-60.0, 60.0, -45.0, 45.0, -1000.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    DemoRandom::Seed(7);
    const std::vector<FeedbackPolygon> polygons = Polygons(tunnel, time, 0.0f);
    RestoreScreenProjection();

    CRuntimeRandom found{7};
    const double ra = found.Unit(), rb = found.Unit();
    CRuntimeRandom seeded{89};
    const double r1 = seeded.Unit(), r2 = seeded.Unit(), r3 = seeded.Unit();
    const double pos = 6000 * 0.01;
    double turn = 6000 * 0.005;  // degrees, growing by each cloud's own angle
    DrawnCorners corners;
    for (int i = 1000; i >= 1; --i) {
        turn += 10.0 * std::sin(i * ra) * std::cos(i * rb);
        const double dz = pos - i;
        if (dz > -15.0) {
            corners.AddSquare(Matrix4::Ortho(60.0, 45.0) * Matrix4::Rotation(turn, 0, 0, 1) *
                                  Matrix4::Translation(dz * r3, r2 * std::sin(r1 * dz), dz),
                              10.0);
        }
    }
    EXPECT_TRUE(corners.MatchedBy(polygons, 0, 4 * 74));
    EXPECT_EQ(DemoRandom::Next(), seeded.Next()) << "the seed's three draws, and no more";
}

// The lights' picture is laid over the landscape upside down.
TEST_F(TunnelDrawing, TheLightsAreTheLandscapesAddedPictureMirrored)
{
    WriteSolidPicture("data/sky/landskab1.jpg", black);
    WriteSolidPicture("data/sky/clouds.jpg", black);
    WriteBandedPicture("data/sky/landskab1_add.jpg", red, blue);
    Tunnel tunnel(1000, 30000);
    tunnel.Draw(29000, 1.0f);  // fourteen seconds into the sky: fade 0.9, lights 0.1125
    const Rgba top = ReadPixelAt(0.5, 0.25);
    const Rgba bottom = ReadPixelAt(0.5, 0.75);
    EXPECT_NEAR(top.b, 0.1125 * 255, 3) << "the picture's blue bottom at the top";
    EXPECT_EQ(top.r, 0);
    EXPECT_NEAR(bottom.r, 0.1125 * 255, 3);
    EXPECT_EQ(bottom.b, 0);
}
