#include <gtest/gtest.h>

#include <stdexcept>

#include "picture/Lettering.h"

namespace {

constexpr int width = 800;
constexpr int height = 300;

InkBox InkOf(const std::string& text, const TextStyle& style, float centreX = 400.0f, float centreY = 150.0f)
{
    const Lettering sans(Fonts::sansBold);
    return FindInk(sans.Set(text, style, width, height, centreX, centreY), 0.0f);
}

}  // namespace

TEST(Lettering, CentresTheInkOnThePoint)
{
    const InkBox ink = InkOf("KESTROVA", {60, 0.1f}, 300.0f, 120.0f);
    EXPECT_NEAR(ink.CentreX(), 300.0f, 1.5f);
    EXPECT_NEAR(ink.CentreY(), 120.0f, 1.5f);
}

TEST(Lettering, TrackingWidensEachGapBetweenLetters)
{
    const InkBox tight = InkOf("NIGHT", {60, 0.0f});
    const InkBox tracked = InkOf("NIGHT", {60, 0.5f});
    // Four gaps of half an em each.
    EXPECT_NEAR((tracked.right - tracked.left) - (tight.right - tight.left), 4 * 30, 4);
    EXPECT_EQ(tracked.bottom - tracked.top, tight.bottom - tight.top);
}

TEST(Lettering, VerticalScaleSquashesOnlyTheHeight)
{
    const InkBox upright = InkOf("ECHO", {90, 0.1f});
    const InkBox squashed = InkOf("ECHO", {90, 0.1f, 0.5f});
    EXPECT_NEAR(static_cast<double>(squashed.bottom - squashed.top), 0.5 * (upright.bottom - upright.top), 2.0);
    EXPECT_NEAR(squashed.right - squashed.left, upright.right - upright.left, 2);
}

TEST(Lettering, ReadsTextAsUtf8)
{
    // One letter of two bytes is narrower than two letters.
    const InkBox accented = InkOf("\xC3\x85", {80});
    const InkBox plain = InkOf("AA", {80});
    EXPECT_FALSE(accented.Empty());
    EXPECT_LT(accented.right - accented.left, plain.right - plain.left);
    const Lettering sans(Fonts::sansBold);
    EXPECT_THROW(sans.Set("A\xC3", {80}, width, height, 0.0f, 0.0f), std::invalid_argument);
}

TEST(Lettering, SetsNoInkForBlankText)
{
    EXPECT_TRUE(InkOf("", {80}).Empty());
    EXPECT_TRUE(InkOf("   ", {80}).Empty());
}

TEST(Lettering, ReportsAMissingFont)
{
    EXPECT_THROW(Lettering("/nonexistent/font.ttf"), std::runtime_error);
}
