#include <cmath>

#include "core/DemoRandom.h"
#include "effects/Plasma2D.h"
#include "support/GlTestContext.h"
#include "support/ShippedData.h"

using Effekter::Plasma2D;

namespace {

// Shows the square's texture coordinates: red is s, green is t.
const std::string coordinateProbe = "#version 110\nvoid main() { gl_FragColor = vec4(gl_TexCoord[0].st, 0.0, 1.0); }\n";

class Plasma2DDrawing : public GlTest {
protected:
    void UseShippedShader() const { CopyShipped(folder, "plasma/effekt2.fs"); }
    void UseProbe() const { folder.WriteFile("data/plasma/effekt2.fs", coordinateProbe); }

    ScriptFolder folder;
};

std::array<std::array<float, 4>, 4> Coefficients(const Plasma2D& plasma)
{
    return {plasma.dx0Values, plasma.dy0Values, plasma.dx1Values, plasma.dy1Values};
}

}  // namespace

TEST_F(Plasma2DDrawing, OneSeedGivesTheSameSixteenCoefficientsAnotherChangesThemAll)
{
    UseShippedShader();
    Plasma2D plasma(0, 100000, 7);
    Plasma2D other(0, 100000, 8);
    plasma.Draw(1000, 0.0f);
    const auto first = Coefficients(plasma);
    DemoRandom::Next();  // draws of other effects in between
    plasma.Draw(52000, 1.0f);
    EXPECT_EQ(Coefficients(plasma), first);
    other.Draw(1000, 0.0f);
    const auto changed = Coefficients(other);
    for (std::size_t vector = 0; vector < 4; ++vector) {
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NE(changed[vector][i], first[vector][i]) << "vector " << vector << " element " << i;
        }
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Plasma2DDrawing, CoefficientsAreDrawnInterleavedAndReachTheShader)
{
    UseShippedShader();
    Plasma2D plasma(0, 100000, 4242);
    plasma.Draw(61500, 0.5f);
    DemoRandom::Seed(4242);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(plasma.dx0Values[i], static_cast<float>(DemoRandom::Next() / 32767.0) * 10.0f);
        EXPECT_EQ(plasma.dy0Values[i], static_cast<float>(DemoRandom::Next() / 32767.0) * 10.0f);
        EXPECT_EQ(plasma.dx1Values[i], static_cast<float>(DemoRandom::Next() / 32767.0));
        EXPECT_EQ(plasma.dy1Values[i], static_cast<float>(DemoRandom::Next() / 32767.0));
        EXPECT_LE(plasma.dx0Values[i], 10.0f);
        EXPECT_LE(plasma.dx1Values[i], 1.0f);
    }
    const GLuint program = plasma.shader.program;
    const std::array<GLfloat, 4> dx0 = UniformVector(program, plasma.dx0Location);
    const std::array<GLfloat, 4> dy1 = UniformVector(program, plasma.dy1Location);
    EXPECT_EQ((std::array<float, 4>{dx0[0], dx0[1], dx0[2], dx0[3]}), plasma.dx0Values);
    EXPECT_EQ((std::array<float, 4>{dy1[0], dy1[1], dy1[2], dy1[3]}), plasma.dy1Values);
    EXPECT_FLOAT_EQ(UniformValue(program, plasma.timeLocation), 61.5f) << "seconds of music time";
}

TEST_F(Plasma2DDrawing, LeavesTheGeneratorAfterItsSixteenDraws)
{
    UseShippedShader();
    Plasma2D plasma(0, 100000, 99);
    plasma.Draw(5000, 0.0f);
    const int next = DemoRandom::Next();
    DemoRandom::Seed(99);
    for (int draw = 0; draw < 16; ++draw) {
        DemoRandom::Next();
    }
    EXPECT_EQ(next, DemoRandom::Next());
}

TEST_F(Plasma2DDrawing, TurnsTwentyDegreesASecondAndComesNearerOnTheBeat)
{
    UseProbe();
    testing::internal::CaptureStderr();  // the probe has none of the uniforms
    Plasma2D plasma(0, 100000, 1);
    testing::internal::GetCapturedStderr();
    const auto coordinates = [](double x, double y) {
        const Rgba pixel = ReadPixelAt(x, y);
        return std::pair{pixel.r / 255.0, pixel.g / 255.0};
    };
    plasma.Draw(0, 0.0f);
    const auto [s0, t0] = coordinates(0.75, 0.5);
    EXPECT_GT(s0, 0.6);
    EXPECT_NEAR(t0, 0.5, 0.02);

    plasma.Draw(4500, 0.0f);  // a quarter turn, counter-clockwise
    const auto [s90, t90] = coordinates(0.75, 0.5);
    EXPECT_NEAR(s90, 0.5, 0.02);
    EXPECT_NEAR(0.5 - t90, s0 - 0.5, 0.02);

    plasma.Draw(18000, 0.0f);  // a full turn
    const auto [s360, t360] = coordinates(0.75, 0.5);
    EXPECT_NEAR(s360, s0, 0.01);
    EXPECT_NEAR(t360, t0, 0.01);

    // Beat 1: 1.875 units away instead of 2, so the square looks larger.
    plasma.Draw(0, 1.0f);
    const auto [sBeat, tBeat] = coordinates(0.75, 0.5);
    EXPECT_NEAR((sBeat - 0.5) / (s0 - 0.5), 1.875 / 2.0, 0.04);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Plasma2DDrawing, IsNamedAndShadesTheWholeWindow)
{
    UseShippedShader();
    Plasma2D plasma(0, 100000, 3);
    EXPECT_EQ(plasma.name, "Plasma2D");
    EXPECT_EQ(plasma.seed, 3);
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    plasma.Draw(30000, 0.3f);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.999, 0.0}, {0.0, 0.999}, {0.999, 0.999}}) {
        const Rgba pixel = ReadPixelAt(x, y);
        EXPECT_FALSE(pixel.r == 255 && pixel.g == 0 && pixel.b == 255) << "corner " << x << "," << y << " not covered";
    }
    EXPECT_TRUE(BetweenEffectsState());
}
