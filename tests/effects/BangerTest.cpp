#include "effects/Banger.h"
#include "effects/EffectTest.h"

using Effekter::Banger;

namespace {

// The entrance shader replaced by one solid colour, so the phase shows.
const std::string entranceProbe = "#version 110\nuniform float time;\nvoid main() { gl_FragColor = vec4(0.0, 1.0, time * 0.0, 1.0); }\n";

// Card: red over blue. Flash layer: green over black.
class BangerDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteBandedPicture("data/banger/bang.jpg", red, blue);
        WriteBandedPicture("data/banger/bang1.jpg", green, black);
    }
};

}  // namespace

TEST_F(BangerDrawing, EntranceRunsThroughItsShaderForTheFirstSecond)
{
    CopyShipped(folder, "banger/slider.txt");
    Banger banger(10000, 20000);
    banger.Draw(10999, 0.0f);
    EXPECT_EQ(UniformValue(banger.shader.program, banger.timeLocation), 999.0f) << "milliseconds since the start";
    banger.Draw(10001, 0.0f);
    EXPECT_EQ(UniformValue(banger.shader.program, banger.timeLocation), 1.0f);
}

TEST_F(BangerDrawing, SwitchesToTheAdditivePhaseAtOneSecond)
{
    folder.WriteFile("data/banger/slider.txt", entranceProbe);
    Banger banger(10000, 20000);
    Fill(white);
    banger.Draw(10999, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.0, 0.0), green) << "the overhanging card covers the window";
    EXPECT_EQ(ReadPixelAt(0.999, 0.999), green);

    Fill(white);
    banger.Draw(11000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), red) << "the window was cleared, then the card added";
    EXPECT_EQ(ReadPixelAt(0.5, 0.8), blue);
}

TEST_F(BangerDrawing, FlashLayerIsAddedAtTheBeatsBrightness)
{
    folder.WriteFile("data/banger/slider.txt", entranceProbe);
    Banger banger(0, 20000);
    banger.Draw(5000, 1.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.2), (Rgba{255, 255, 0, 255}));
    banger.Draw(5000, 0.5f);
    const Rgba half = ReadPixelAt(0.5, 0.2);
    EXPECT_EQ(half.r, 255);
    EXPECT_NEAR(half.g, 128, 2);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.5f) << "the beat's grey stays the current colour";
    EXPECT_FLOAT_EQ(colour[3], 0.5f);
}

TEST_F(BangerDrawing, TheBeatShiftsTheCardDown)
{
    folder.WriteFile("data/banger/slider.txt", entranceProbe);
    Banger banger(0, 20000);
    // The card's middle, where red meets blue, lies at the window's middle at
    // beat 0 and 0.05 lower (2.5 % of the height) at beat 0.5.
    const int justBelowMiddle = testHeight / 2 + 1;
    banger.Draw(5000, 0.0f);
    EXPECT_EQ(ReadPixel(testWidth / 2, justBelowMiddle).r, 0);
    banger.Draw(5000, 0.5f);
    EXPECT_EQ(ReadPixel(testWidth / 2, justBelowMiddle).r, 255);
    EXPECT_EQ(ReadPixel(testWidth / 2, testHeight / 2 + 4).r, 0);
}
