#include <cmath>

#include "core/DemoRandom.h"
#include "effects/EffectTest.h"
#include "effects/Plasma2D.h"
#include "script/TweakBar.h"

using Effekter::Plasma2D;

namespace {

// Shows the square's texture coordinates: red is s, green is t.
const std::string coordinateProbe = "#version 110\nvoid main() { gl_FragColor = vec4(gl_TexCoord[0].st, 0.0, 1.0); }\n";

class Plasma2DDrawing : public EffectTest {
protected:
    void UseShippedShader() const { CopyShipped(folder, "plasma/effekt2.fs"); }
};

std::array<std::array<float, 4>, 4> Coefficients(const Plasma2D& plasma)
{
    return {plasma.dx0Values, plasma.dy0Values, plasma.dx1Values, plasma.dy1Values};
}

}  // namespace

// Seed 1 gives the C runtime's well-known sequence 41, 18467, 6334, 26500,
// ...: the coefficients take its draws four at a time, dx0 and dy0 scaled by
// ten.
TEST_F(Plasma2DDrawing, CoefficientsAreDrawnInterleavedAndReachTheShader)
{
    UseShippedShader();
    Plasma2D plasma(0, 100000, 1);
    DemoRandom::Seed(5);  // whatever other effects drew
    plasma.Draw(61500, 0.5f);
    const double draws[4][4] = {{41, 18467, 6334, 26500}, {19169, 15724, 11478, 29358},
                                {26962, 24464, 5705, 28145}, {23281, 16827, 9961, 491}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(plasma.dx0Values[i], draws[i][0] / 32767.0 * 10.0) << i;
        EXPECT_FLOAT_EQ(plasma.dy0Values[i], draws[i][1] / 32767.0 * 10.0) << i;
        EXPECT_FLOAT_EQ(plasma.dx1Values[i], draws[i][2] / 32767.0) << i;
        EXPECT_FLOAT_EQ(plasma.dy1Values[i], draws[i][3] / 32767.0) << i;
    }
    const GLuint program = plasma.shader.program;
    const std::array<GLfloat, 4> dx0 = UniformVector(program, plasma.dx0Location);
    const std::array<GLfloat, 4> dy1 = UniformVector(program, plasma.dy1Location);
    EXPECT_EQ((std::array<float, 4>{dx0[0], dx0[1], dx0[2], dx0[3]}), plasma.dx0Values);
    EXPECT_EQ((std::array<float, 4>{dy1[0], dy1[1], dy1[2], dy1[3]}), plasma.dy1Values);
    EXPECT_FLOAT_EQ(UniformValue(program, plasma.timeLocation), 61.5f) << "seconds of music time";
    CRuntimeRandom seeded{1};
    for (int draw = 0; draw < 16; ++draw) {
        seeded.Next();
    }
    EXPECT_EQ(DemoRandom::Next(), seeded.Next()) << "the sixteen draws, and no more";
}

TEST_F(Plasma2DDrawing, TurnsTwentyDegreesASecondAndComesNearerOnTheBeat)
{
    folder.WriteFile("data/plasma/effekt2.fs", coordinateProbe);
    const auto plasma = Quietly<Plasma2D>(0, 100000, 1);
    const auto coordinates = [](double x, double y) {
        const Rgba pixel = ReadPixelAt(x, y);
        return std::pair{pixel.r / 255.0, pixel.g / 255.0};
    };
    plasma->Draw(0, 0.0f);
    const auto [s0, t0] = coordinates(0.75, 0.5);
    EXPECT_GT(s0, 0.6);
    EXPECT_NEAR(t0, 0.5, 0.02);

    plasma->Draw(4500, 0.0f);  // a quarter turn, counter-clockwise
    const auto [s90, t90] = coordinates(0.75, 0.5);
    EXPECT_NEAR(s90, 0.5, 0.02);
    EXPECT_NEAR(0.5 - t90, s0 - 0.5, 0.02);

    plasma->Draw(18000, 0.0f);  // a full turn
    const auto [s360, t360] = coordinates(0.75, 0.5);
    EXPECT_NEAR(s360, s0, 0.01);
    EXPECT_NEAR(t360, t0, 0.01);

    // Beat 1: 1.875 units away instead of 2, so the square looks larger.
    plasma->Draw(0, 1.0f);
    const auto [sBeat, tBeat] = coordinates(0.75, 0.5);
    EXPECT_NEAR((sBeat - 0.5) / (s0 - 0.5), 1.875 / 2.0, 0.04);
}

TEST_F(Plasma2DDrawing, ShadesTheWholeWindow)
{
    UseShippedShader();
    Plasma2D plasma(0, 100000, 3);
    Fill(Rgba{255, 0, 255, 255});
    plasma.Draw(30000, 0.3f);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.999, 0.0}, {0.0, 0.999}, {0.999, 0.999}}) {
        const Rgba pixel = ReadPixelAt(x, y);
        EXPECT_FALSE(pixel.r == 255 && pixel.g == 0 && pixel.b == 255) << "corner " << x << "," << y << " not covered";
    }
}

TEST_F(Plasma2DDrawing, ItsSeedChangedInItsSectionGivesAnotherPlasmaFromTheNextDraw)
{
    UseShippedShader();
    Plasma2D plasma(0, 100000, 7);
    Plasma2D reference(0, 100000, 8);
    TweakBar section("Plasma2D");
    plasma.tweakBar = &section;
    plasma.RegisterTweaks();
    const TweakVariable* variable = section.Find("Plasma");
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable->label, "Plasma");

    *std::get<TweakInt32>(variable->binding).value = 8;
    plasma.Draw(1000, 0.0f);
    reference.Draw(1000, 0.0f);
    EXPECT_EQ(Coefficients(plasma), Coefficients(reference));
}
