#include "core/DemoMessage.h"
#include "effects/FlashWhite.h"
#include "support/GlTestContext.h"

namespace {

using FlashWhiteDrawing = GlTest;

int CentreGrey()
{
    return ReadPixelAt(0.5, 0.5).r;
}

}  // namespace

TEST_F(FlashWhiteDrawing, FadesFromWhiteToNothingOverItsWindow)
{
    Effekter::FlashWhite flash(1000, 1500);
    flash.Draw(1250, 0.0f);
    EXPECT_NEAR(CentreGrey(), 128, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    flash.Draw(1001, 0.0f);
    EXPECT_GE(CentreGrey(), 254);
    glClear(GL_COLOR_BUFFER_BIT);
    flash.Draw(1499, 0.0f);
    EXPECT_LE(CentreGrey(), 1);
    flash.Draw(1250, 0.0f);
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.5f) << "its grey stays the current colour";
    EXPECT_FLOAT_EQ(colour[3], 0.5f);
}

TEST_F(FlashWhiteDrawing, AddsToWhatIsAlreadyThereOverTheWholeWindow)
{
    glClearColor(0.2f, 0.0f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    Effekter::FlashWhite flash(0, 1000);
    flash.Draw(750, 1.0f);  // adds a quarter; the beat plays no part
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {0.999, 0.999}, {0.5, 0.5}}) {
        const Rgba pixel = ReadPixelAt(x, y);
        EXPECT_NEAR(pixel.r, 51 + 64, 2);
        EXPECT_NEAR(pixel.g, 64, 2);
        EXPECT_NEAR(pixel.b, 153 + 64, 2);
    }
}
