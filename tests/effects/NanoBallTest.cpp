#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "effects/EffectTest.h"
#include "effects/NanoBall.h"
#include "script/TweakBar.h"

using Effekter::NanoBall;

namespace {

// No pictures: the backdrop is plain grey at the brightness it is given and
// the spikes are lit grey, so every pixel that differs from the backdrop
// belongs to the ball.
using NanoBallDrawing = EffectTest;

const int backdropGrey = 128;  // 0.5 x beat + 0.5 without beat

// The mean column of the ball's pixels as a fraction of the width, and how
// many there are in the leftmost columns; -1 when none is seen.
struct BallPixels {
    double meanX = -1.0;
    int count = 0;
    int atLeftEdge = 0;
};

BallPixels FindBall()
{
    BallPixels found;
    double sumX = 0.0;
    const std::vector<Rgba> frame = ReadFrame();
    for (std::size_t pixel = 0; pixel < frame.size(); ++pixel) {
        const int x = static_cast<int>(pixel % testWidth);
        if (frame[pixel].g != backdropGrey) {
            sumX += x;
            ++found.count;
            found.atLeftEdge += x < 3 ? 1 : 0;
        }
    }
    found.meanX = found.count > 0 ? sumX / found.count / testWidth : -1.0;
    return found;
}

}  // namespace

// Its height counts from its last strong beat, the first at music time 0.
TEST_F(NanoBallDrawing, UntilABeatAboveAQuarterTheBallIsFarAboveTheScreen)
{
    NanoBall ball(0, 100000);
    ball.Draw(60000, 0.25f);
    EXPECT_EQ(ball.lastTrigger, 0u);
    ball.Draw(60001, 0.0f);
    EXPECT_EQ(FindBall().count, 0);
    ball.Draw(60100, 0.26f);
    EXPECT_EQ(ball.lastTrigger, 60100u);
    ball.Draw(60200, 0.0f);
    EXPECT_EQ(ball.lastTrigger, 60100u);
}

TEST_F(NanoBallDrawing, ASecondAfterAStrongBeatTheBallIsCentredAndSlidesInFromTheRight)
{
    // A strong beat at 1000, then the window opens at 1750: at 2000 the ball
    // is 5 units right of the axis, at 2250 on it, both at the height of the
    // screen's centre.
    NanoBall ball(1750, 60000);
    ball.Draw(1000, 1.0f);
    ASSERT_EQ(ball.lastTrigger, 1000u);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ball.Draw(2000, 0.0f);
    const BallPixels slidingIn = FindBall();
    EXPECT_EQ(slidingIn.atLeftEdge, 0) << "no spike reaches 12 units to the left";

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ball.Draw(2250, 0.0f);
    const BallPixels arrived = FindBall();
    EXPECT_NEAR(arrived.meanX, 0.5, 0.06);
    EXPECT_GT(arrived.atLeftEdge, 0);
    EXPECT_GT(slidingIn.meanX, arrived.meanX + 0.06) << "the screen's edge cuts off much of the shifted ball";
}

// Each spike's flare sits at its tip: the golden-angle direction, the
// length from the two values after seed 0, and the ball's turn. Every tip in
// view whose flare faces the viewer is drawn exactly there.
TEST_F(NanoBallDrawing, EveryFlareSitsAtItsSpikesTip)
{
    NanoBall ball(0, 60000);
    ball.Draw(3000, 1.0f);  // a strong beat
    const std::uint32_t time = 3700;
    DemoRandom::Seed(5);  // whatever other effects drew: the lengths are seed 0's
    const std::vector<FeedbackPolygon> polygons = Polygons(ball, time, 0.0f);

    const double t = time, q = time - 3000.0;
    const Matrix4 eye = Matrix4::Translation(0.0, q / 100.0 - 10.0, -16.0) * Matrix4::Rotation(t / 100.0 + q / 50.0, 1, 0, 0) *
                        Matrix4::Rotation(q / 50.0, 0, 1, 0) * Matrix4::Rotation(t / 100.0, 0, 0, 1);
    const Matrix4 screen = Matrix4::ScreenPerspective() * eye;
    const double golden = (3.0 - std::sqrt(5.0)) * M_PI;
    CRuntimeRandom random{0};
    int checked = 0;
    for (int i = 0; i < 512; ++i) {
        const double y = i / 256.0 - 1.0 + 1.0 / 512.0;
        const double r = std::sqrt(1.0 - y * y);
        const double x = std::cos(golden * i) * r, z = std::sin(golden * i) * r;
        const double base = (random.Next() & 31) * 0.099609375;
        const double length = std::sin(random.Unit() * 1024.0 + t / 1000.0) + (10.0 - base);
        const double tip[3] = {x * length, y * length, z * length};
        // Whether the flare faces the viewer: its normal is the spike's direction.
        const auto& m = eye.m;
        const double at[3] = {m[0] * tip[0] + m[4] * tip[1] + m[8] * tip[2] + m[12],
                              m[1] * tip[0] + m[5] * tip[1] + m[9] * tip[2] + m[13],
                              m[2] * tip[0] + m[6] * tip[1] + m[10] * tip[2] + m[14]};
        const double facing = -(m[0] * x + m[4] * y + m[8] * z) * at[0] - (m[1] * x + m[5] * y + m[9] * z) * at[1] -
                              (m[2] * x + m[6] * y + m[10] * z) * at[2];
        const std::array<double, 2> centre = screen.ToWindow(tip[0], tip[1], tip[2]);
        if (facing < 0.2 * length || centre[0] < 2 || centre[0] > testWidth - 2 || centre[1] < 2 || centre[1] > testHeight - 2) {
            continue;
        }
        const bool found = std::any_of(polygons.begin(), polygons.end(), [&](const FeedbackPolygon& polygon) {
            return std::any_of(polygon.vertices.begin(), polygon.vertices.end(), [&](const auto& vertex) {
                return std::hypot(vertex[0] - centre[0], vertex[1] - centre[1]) < 0.05;
            });
        });
        EXPECT_TRUE(found) << "the flare of spike " << i;
        ++checked;
    }
    EXPECT_GE(checked, 10);
}

TEST_F(NanoBallDrawing, TheBackdropPulsesWithTheBeatAndFadesOverTheLastSevenSeconds)
{
    NanoBall ball(0, 20000);
    ball.Draw(10000, 0.2f);
    EXPECT_NEAR(ReadPixelAt(0.5, 0.5).g, 153, 1) << "no strong beat yet: the ball is far above";
    ball.Draw(13000, 0.0f);
    EXPECT_NEAR(ReadPixelAt(0.5, 0.5).g, 128, 1) << "the fade starts after 13000";
    ball.Draw(16500, 0.2f);
    EXPECT_NEAR(ReadPixelAt(0.5, 0.5).g, 77, 1) << "half of 0.6";
    ball.Draw(19999, 0.2f);
    EXPECT_LE(ReadPixelAt(0.5, 0.5).g, 1);
}

// The light is set under the identity modelview, in eye space, from the
// values its section edits.
TEST_F(NanoBallDrawing, ALightEditedInItsSectionLightsTheNextDraw)
{
    NanoBall ball(0, 60000);
    TweakBar section("NanoBall");
    ball.tweakBar = &section;
    ball.RegisterTweaks();
    std::vector<std::string> labels;
    for (const TweakVariable& variable : section.Variables()) {
        labels.push_back(variable.label);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Light pos", "Light amb", "Light spc", "Light dif", "Light ref"}));

    std::get<TweakColor>(section.Find("Light spc")->binding).rgba[1] = 7.0f;
    std::get<TweakDirection>(section.Find("Light pos")->binding).xyz[0] = 3.0f;
    ball.Draw(5000, 1.0f);
    GLfloat specular[4] = {};
    glGetLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    EXPECT_EQ(specular[1], 7.0f);
    GLfloat position[4] = {};
    glGetLightfv(GL_LIGHT1, GL_POSITION, position);
    EXPECT_EQ(position[0], 3.0f);
    EXPECT_EQ(position[1], -8.0f);
    EXPECT_EQ(position[2], 32.0f);
    EXPECT_EQ(position[3], 1.0f) << "the fourth value is not the panel's";
    GLfloat shininess = 0.0f;
    glGetMaterialfv(GL_BACK, GL_SHININESS, &shininess);
    EXPECT_EQ(shininess, 96.0f);
}
