#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "effects/EffectTest.h"
#include "effects/Rubber3d.h"
#include "effects/RubberBackdrop.h"

using Effekter::Rubber3d;

namespace {

// A chrome square far larger than the view, a white environment and
// black backdrops: wherever the model is drawn the screen turns white.
class Rubber3dDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteRubberFiles(400.0f);
    }
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
        const bool triggered = beat > 0.25f;
        EXPECT_EQ(rubber.lastTrigger, triggered ? 7200u : 0u) << beat;
        EXPECT_EQ(ReadPixelAt(0.1, 0.5) == white, triggered) << beat;
    }
}

// A small square seen through feedback, where nothing is cut to strips:
// strip i shows the model with the step of the ten random values applied
// i + 1 times, each strip turned further than the one before. Only the
// strips the square reaches draw it (the last always does), in order.
TEST_F(Rubber3dDrawing, EachStripTurnsTheModelOneStepFurther)
{
    WriteRubberFiles(20.0f);
    Rubber3d rubber(0, 100000);
    const std::uint32_t time = 7300;  // turned 365 degrees about y
    const float beat = 0.3f;
    CRuntimeRandom random{72};  // as every strip seeds it
    float r[11];
    for (int k = 1; k <= 10; ++k) {
        r[k] = random.Unit();
    }
    const float t = static_cast<float>(time);
    const auto wave = [t](float a, float b, float c) {
        return static_cast<double>(std::sin(a * t / 500.0f) * b * std::cos(c * t / 500.0f));
    };
    const Matrix4 step = Matrix4::Translation(0, 0, r[1] * beat) * Matrix4::Rotation(wave(r[9], r[8], r[10]), 1, 0, 0) *
                         Matrix4::Rotation(wave(r[6], r[5], r[7]), 0, 1, 0) *
                         Matrix4::Rotation(wave(r[3], r[2], r[4]), 0, 0, 1);
    Matrix4 strip = Matrix4::ScreenPerspective() * Matrix4::Translation(time / 75.0 - 150.0, 0.0, -500.0) *
                    Matrix4::Rotation(t / 20.0, 0, 1, 0);
    std::vector<DrawnCorners> squares(Rubber3d::strips);
    // How far the square reaches over the strip's pixel centres: below 0 it
    // misses them by that much.
    std::vector<double> overlaps;
    for (int i = 0; i < Rubber3d::strips; ++i) {
        strip = strip * step;
        squares[static_cast<std::size_t>(i)].AddSquare(strip, 20.0);
        double left = testWidth;
        double right = 0.0;
        for (const double x : {-20.0, 20.0}) {
            for (const double y : {-20.0, 20.0}) {
                left = std::min(left, strip.ToWindow(x, y, 0.0)[0]);
                right = std::max(right, strip.ToWindow(x, y, 0.0)[0]);
            }
        }
        const Rubber3d::Strip columns = Rubber3d::StripOf(i, testWidth);
        overlaps.push_back(std::min(right - (columns.x + 0.5), columns.x + columns.width - 0.5 - left));
    }
    const std::vector<FeedbackPolygon> polygons = Polygons(rubber, time, beat);
    std::vector<bool> drawn(Rubber3d::strips, false);
    int previous = -1;
    for (const FeedbackPolygon& polygon : polygons) {
        const bool backdrop = std::ranges::none_of(polygon.vertices, [](const std::array<GLfloat, 3>& vertex) {
            return vertex[0] > 1.0f && vertex[0] < testWidth - 1.0f && vertex[1] > 1.0f && vertex[1] < testHeight - 1.0f;
        });
        if (backdrop) {
            continue;  // the window-filling layers, drawn first
        }
        int match = previous + 1;
        while (match < Rubber3d::strips && !squares[static_cast<std::size_t>(match)].MatchedBy({polygon})) {
            ++match;
        }
        ASSERT_LT(match, Rubber3d::strips) << "a square drawn after strip " << previous << " belongs to no later strip";
        drawn[static_cast<std::size_t>(match)] = true;
        previous = match;
    }
    int reached = 0;
    for (int i = 0; i < Rubber3d::strips; ++i) {
        const double overlap = overlaps[static_cast<std::size_t>(i)];
        if (overlap > 2.0) {
            ++reached;
            EXPECT_TRUE(drawn[static_cast<std::size_t>(i)]) << "strip " << i << " misses a square that reaches it";
        } else if (overlap < -2.0 && i + 1 < Rubber3d::strips) {
            EXPECT_FALSE(drawn[static_cast<std::size_t>(i)]) << "strip " << i << " draws a square out of its reach";
        }
    }
    EXPECT_GT(reached, 5);
    EXPECT_TRUE(drawn.back()) << "the last strip draws the last part";
    EXPECT_EQ(DemoRandom::Next(), random.Next()) << "the last strip's ten draws, and no more";
}

TEST_F(Rubber3dDrawing, BackdropIsPushedDownAtTheStartOfTheWindow)
{
    WriteSolidPicture("data/rubber/background.jpg", white);
    Rubber3d rubber(20000, 100000);
    rubber.Draw(20001, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), cleared);
    EXPECT_EQ(ReadPixelAt(0.5, 0.8), white);

    glClear(GL_COLOR_BUFFER_BIT);
    rubber.Draw(30000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), white);
}
