#include <cmath>

#include "core/DemoRandom.h"
#include "effects/EffectTest.h"
#include "effects/Stroboskop.h"

using Effekter::Stroboskop;

namespace {

// The text picture darkens the top half of the screen and leaves the bottom
// alone; the strip and the swirl have no picture, so they draw their plain
// colour.
class StroboskopDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteBandedPicture("data/strobo/text.jpg", white, black);
    }

    int Grey(double x, double y) { return ReadPixelAt(x, y).g; }
};

}  // namespace

// Without beat the strip is at half brightness; the white text at full
// strength takes everything away until 21 s, then beat + 0.5 of it.
TEST_F(StroboskopDrawing, WithoutBeatTheStripIsHalfGreyAndTheTextBlacksOutUntil21Seconds)
{
    Stroboskop strobe(0, 60000);
    strobe.Draw(20999, 0.0f);
    EXPECT_NEAR(Grey(0.5, 0.75), 128, 1);
    EXPECT_NEAR(Grey(0.05, 0.95), 128, 1);
    EXPECT_EQ(Grey(0.5, 0.25), 0);
    glClear(GL_COLOR_BUFFER_BIT);
    strobe.Draw(21000, 0.0f);
    EXPECT_NEAR(Grey(0.5, 0.25), 64, 2);
    EXPECT_NEAR(Grey(0.5, 0.75), 128, 1);
}

TEST_F(StroboskopDrawing, TenSwirlsAddAnEighthOfTheBeatEach)
{
    // The swirls cover the whole screen whatever their angle: ten times
    // 0.025, each rounded to 6 of 255 as the frame takes it.
    Stroboskop strobe(0, 60000);
    strobe.Draw(10000, 0.2f);
    EXPECT_NEAR(Grey(0.5, 0.2), 60, 1);
    EXPECT_NEAR(Grey(0.5, 0.8), 153 + 60, 1) << "strip at 0.6 plus the swirls";
}

TEST_F(StroboskopDrawing, TheStripDriftsSidewaysWithTheMusic)
{
    // One picture spans two units of the strip; at time 0 a seam lies on the
    // screen's centre line, and ten seconds later the strip has moved about
    // half a unit to the right, past the screen's edge at this depth.
    WriteSplitPicture("data/strobo/bg.jpg", red, blue);
    Stroboskop strobe(0, 60000);
    strobe.Draw(0, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.3, 0.75), (Rgba{0, 0, 128, 255}));
    EXPECT_EQ(ReadPixelAt(0.7, 0.75), (Rgba{128, 0, 0, 255}));
    glClear(GL_COLOR_BUFFER_BIT);
    strobe.Draw(10000, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.3, 0.75), (Rgba{0, 0, 128, 255}));
    EXPECT_EQ(ReadPixelAt(0.9, 0.75), (Rgba{0, 0, 128, 255}));
}

// Alone on a black strip under black text, the swirl shows its picture's
// red and blue halves turned by the fan's middle angle: i 5 b + P + R for
// i from 0 to 9, with P = 0.04 T and R = 90 (1 - b).
TEST_F(StroboskopDrawing, TheSwirlTurnsFortyDegreesASecondAndFansWithTheBeatTakingOneValueAFrame)
{
    WriteSplitPicture("data/strobo/twist.jpg", red, blue);
    WriteBandedPicture("data/strobo/bg.jpg", black, black);
    WriteBandedPicture("data/strobo/text.jpg", black, black);
    Stroboskop strobe(0, 60000);
    for (const auto& [time, beat] : {std::pair{10000u, 0.2f}, {12345u, 0.8f}}) {
        glClear(GL_COLOR_BUFFER_BIT);
        DemoRandom::Seed(time);
        strobe.Draw(time, beat);
        CRuntimeRandom seeded{time};
        seeded.Next();
        EXPECT_EQ(DemoRandom::Next(), seeded.Next()) << "one value a frame from the shared generator";
        const double middle = time * 0.04 + (1.0 - beat) * 90.0 + 4.5 * 5.0 * beat;
        // Round a circle about the centre, the halves meet where the line
        // between them crosses it: at the turn plus or minus 90 degrees.
        const auto redder = [](double degrees) {
            const double radians = degrees * M_PI / 180.0;
            const Rgba pixel = ReadPixel(static_cast<int>(testWidth / 2 + 40.0 * std::cos(radians)),
                                         static_cast<int>(testHeight / 2 - 40.0 * std::sin(radians)));
            return pixel.r > pixel.b;
        };
        for (const double side : {90.0, -90.0}) {
            const double crossing = middle + side;
            EXPECT_NE(redder(crossing - 4.0), redder(crossing + 4.0)) << "the halves meet near " << crossing << " at " << time;
            EXPECT_EQ(redder(crossing + 4.0), redder(crossing + 80.0)) << time;
        }
    }
}
