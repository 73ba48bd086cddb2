#include <algorithm>

#include "core/DemoMessage.h"
#include "core/DemoRandom.h"
#include "effects/AlphaBlendImage.h"
#include "effects/EffectTest.h"
#include "script/TweakBar.h"
#include "support/Pictures.h"

using Effekter::AlphaBlendImage;

namespace {

// Window (1000, 2000): time 1250 is a quarter through, 1500 half way.
class AlphaBlendImageDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteBandedPicture("data/card.png", red, blue);
    }

    AlphaBlendImage Make(const std::string& mode) { return AlphaBlendImage(1000, 2000, "data/card.png", mode); }

    void DrawFresh(AlphaBlendImage& image, std::uint32_t time, float beat)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        image.Draw(time, beat);
    }

    bool Covered(double x, double y) { return ReadPixelAt(x, y) != cleared; }
};

}  // namespace

TEST_F(AlphaBlendImageDrawing, HalfWayThroughASlideThePictureFillsTheScreenUpright)
{
    for (const char* mode : {"UP", "DOWN", "LEFT", "RIGHT"}) {
        AlphaBlendImage image = Make(mode);
        DrawFresh(image, 1500, 0.0f);
        EXPECT_EQ(ReadPixelAt(0.5, 0.1), red) << mode;
        EXPECT_EQ(ReadPixelAt(0.5, 0.9), blue) << mode;
        EXPECT_EQ(ReadPixelAt(0.01, 0.01), red) << mode;
        EXPECT_TRUE(BetweenEffectsState()) << mode;
    }
}

TEST_F(AlphaBlendImageDrawing, ATranslucentPictureIsBlendedOverTheFrameAnOpaqueOneCoversIt)
{
    const Rgba green{0, 255, 0, 255};
    ASSERT_TRUE(WriteTwoBandPicture("data/glass.png", FIF_PNG, 32, {255, 0, 0, 64}, blue));
    AlphaBlendImage glass(1000, 2000, "data/glass.png", "UP");
    Fill(green);
    glass.Draw(1500, 0.0f);
    const Rgba mixed = ReadPixelAt(0.5, 0.1);
    EXPECT_NEAR(mixed.r, 64, 1);
    EXPECT_NEAR(mixed.g, 191, 1);
    EXPECT_EQ(ReadPixelAt(0.5, 0.9), blue);

    AlphaBlendImage card = Make("UP");
    Fill(green);
    card.Draw(1500, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.1), red);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(AlphaBlendImageDrawing, SlidesComeInFromTheirSide)
{
    // A quarter through, each picture has covered half the screen.
    const struct {
        const char* mode;
        double coveredX, coveredY, emptyX, emptyY;
    } slides[] = {
        {"UP", 0.5, 0.75, 0.5, 0.25},
        {"DOWN", 0.5, 0.25, 0.5, 0.75},
        {"LEFT", 0.75, 0.5, 0.25, 0.5},
        {"RIGHT", 0.25, 0.5, 0.75, 0.5},
    };
    for (const auto& slide : slides) {
        AlphaBlendImage image = Make(slide.mode);
        DrawFresh(image, 1250, 0.0f);
        EXPECT_TRUE(Covered(slide.coveredX, slide.coveredY)) << slide.mode;
        EXPECT_FALSE(Covered(slide.emptyX, slide.emptyY)) << slide.mode;
    }
}

TEST_F(AlphaBlendImageDrawing, UpCenterRisesAndSlowsIntoTheCentre)
{
    AlphaBlendImage image = Make("UPCENTER");
    DrawFresh(image, 1500, 0.0f);  // y = 1.5: only the bottom quarter
    EXPECT_TRUE(Covered(0.5, 0.9));
    EXPECT_FALSE(Covered(0.5, 0.7));
    DrawFresh(image, 1999, 0.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.05), red);
    EXPECT_EQ(ReadPixelAt(0.5, 0.95), blue);
}

TEST_F(AlphaBlendImageDrawing, BeatUpGrowsWithTheBeat)
{
    // A quarter through the top edge lies at mid-screen; at beat 1 the
    // picture is an eighth larger and reaches above it.
    AlphaBlendImage image = Make("BEATUP");
    DrawFresh(image, 1250, 0.0f);
    EXPECT_FALSE(Covered(0.5, 0.47));
    DrawFresh(image, 1250, 1.0f);
    EXPECT_TRUE(Covered(0.5, 0.47));
    EXPECT_FALSE(Covered(0.5, 0.42));
}

TEST_F(AlphaBlendImageDrawing, BeatBackTriggersOnlyAboveAQuarter)
{
    AlphaBlendImage image = Make("BEATBACK");
    DrawFresh(image, 1500, 0.25f);
    EXPECT_EQ(image.lastTrigger, 0u);
    DrawFresh(image, 1500, 0.26f);
    EXPECT_EQ(image.lastTrigger, 1500u);
    // Full size, hanging half a screen low.
    EXPECT_FALSE(Covered(0.5, 0.15));
    EXPECT_TRUE(Covered(0.5, 0.35));
}

TEST_F(AlphaBlendImageDrawing, BeatBackShrinksAfterItsTrigger)
{
    AlphaBlendImage image = Make("BEATBACK");
    DrawFresh(image, 1500, 1.0f);
    DrawFresh(image, 1700, 0.0f);  // 200 ms later: half size
    EXPECT_EQ(image.lastTrigger, 1500u);
    EXPECT_FALSE(Covered(0.1, 0.75));
    EXPECT_FALSE(Covered(0.5, 0.3));
    EXPECT_TRUE(Covered(0.5, 0.75));
}

TEST_F(AlphaBlendImageDrawing, RandomPlacesByTheTriggerTimeAndHoldsItsPlaceFor200Milliseconds)
{
    AlphaBlendImage image = Make("RANDOM");
    DrawFresh(image, 1300, 1.0f);
    EXPECT_EQ(image.lastTrigger, 1300u);
    // Reseeded with the trigger's time: place and turn are its first three
    // values; the picture shrinks an eighth each 200 ms.
    CRuntimeRandom seeded{1300};
    const double x = seeded.Unit() - 0.5, y = seeded.Unit() - 0.5, angle = 90.0 * seeded.Unit() - 45.0;
    Matrix4 upsideDown;  // the ortho view runs from 1 at the bottom to -1 at the top
    upsideDown.m[5] = -1.0;
    DrawnCorners corners;
    corners.AddSquare(upsideDown * Matrix4::Translation(x, y, -2.0) * Matrix4::Rotation(angle, 1, 0, 0) *
                          Matrix4::Rotation(angle, 0, 1, 0) * Matrix4::Rotation(angle, 0, 0, 1),
                      1.0 - 0.125 / 2.0);
    EXPECT_TRUE(corners.MatchedBy(Polygons(image, 1400, 0.0f), 0, 2));
    DrawFresh(image, 1400, 0.0f);
    const std::vector<Rgba> first = ReadFrame();
    EXPECT_NE(std::count(first.begin(), first.end(), cleared), 0) << "shrunk, it leaves some of the screen free";
    DemoRandom::Next();  // another effect's draws in between
    DrawFresh(image, 1400, 0.0f);
    EXPECT_EQ(ReadFrame(), first);
    DrawFresh(image, 1500, 1.0f);
    EXPECT_EQ(image.lastTrigger, 1300u) << "200 ms is not enough";
    DrawFresh(image, 1501, 1.0f);
    EXPECT_EQ(image.lastTrigger, 1501u);
}

TEST_F(AlphaBlendImageDrawing, RejectsAnUnknownModeWord)
{
    try {
        AlphaBlendImage image(0, 1000, "data/card.jpg", "up");
        FAIL() << "a lower-case mode word was accepted";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "Unknown mode 'up' for the picture data/card.jpg, please correct");
    }
}

// The panel offers the mode as the eight words, in order, the script's own
// chosen; a choice there acts from the next draw.
TEST_F(AlphaBlendImageDrawing, ItsModeIsAChoiceOfTheEightWordsThatActsFromTheNextDraw)
{
    AlphaBlendImage image = Make("UP");
    TweakBar section("card");
    image.tweakBar = &section;
    image.RegisterTweaks();
    ASSERT_EQ(section.Variables().size(), 1u);
    EXPECT_EQ(section.Variables().front().label, "Mode");
    const auto& choice = std::get<TweakChoice>(section.Variables().front().binding);
    std::vector<std::string> words;
    for (const auto& item : choice.type->Values()) {
        words.push_back(item.label);
    }
    EXPECT_EQ(words, (std::vector<std::string>{"UP", "DOWN", "LEFT", "RIGHT", "UPCENTER", "BEATUP", "BEATBACK", "RANDOM"}));
    EXPECT_EQ(choice.Chosen(), 0u);
    DrawFresh(image, 1250, 0.0f);
    EXPECT_TRUE(Covered(0.5, 0.75));
    EXPECT_FALSE(Covered(0.25, 0.25));

    choice.Choose(2);
    DrawFresh(image, 1250, 0.0f);
    EXPECT_TRUE(Covered(0.75, 0.25)) << "LEFT";
    EXPECT_FALSE(Covered(0.25, 0.75));
}
