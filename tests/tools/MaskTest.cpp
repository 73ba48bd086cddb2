#include <gtest/gtest.h>

#include <cmath>

#include "picture/Canvas.h"
#include "picture/Mask.h"

namespace {

double Sum(const Mask& mask)
{
    double sum = 0.0;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            sum += mask.At(x, y);
        }
    }
    return sum;
}

// The spread of a blurred point along x: the square root of its second
// moment about the centre.
double SpreadAcross(const Mask& mask, int centre)
{
    double moment = 0.0;
    double total = 0.0;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            const double dx = x - centre;
            moment += mask.At(x, y) * dx * dx;
            total += mask.At(x, y);
        }
    }
    return std::sqrt(moment / total);
}

}  // namespace

TEST(Mask, BlurKeepsTheAmountOfInkAwayFromTheEdges)
{
    Mask mask(128, 128);
    mask.At(64, 64) = 1.0f;
    mask.At(60, 70) = 0.5f;
    EXPECT_NEAR(Sum(mask.Blurred(6.0f)), 1.5, 1e-3);
}

TEST(Mask, BlurSpreadsAPointAsFarAsAsked)
{
    Mask mask(201, 201);
    mask.At(100, 100) = 1.0f;
    for (const float sigma : {3.0f, 8.0f, 20.0f}) {
        EXPECT_NEAR(SpreadAcross(mask.Blurred(sigma), 100), sigma, sigma * 0.12) << sigma;
    }
}

TEST(Mask, BlurLeavesAnEvenMaskEvenUpToItsEdges)
{
    const Mask even = Mask::FromCoverage(40, 30, [](float, float) { return 0.7f; });
    const Mask blurred = even.Blurred(12.0f);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{39, 29}, std::pair{20, 15}, std::pair{0, 29}}) {
        EXPECT_NEAR(blurred.At(x, y), 0.7f, 1e-5f);
    }
}

TEST(Mask, TinyBlurChangesNothing)
{
    Mask mask(9, 9);
    mask.At(4, 4) = 1.0f;
    EXPECT_EQ(mask.Blurred(0.3f).At(4, 4), 1.0f);
}

TEST(Mask, CoverageIsSampledAtPixelCentres)
{
    const Mask mask = Mask::FromCoverage(4, 2, [](float x, float y) { return x + 10.0f * y; });
    EXPECT_FLOAT_EQ(mask.At(0, 0), 5.5f);
    EXPECT_FLOAT_EQ(mask.At(3, 1), 18.5f);
}

TEST(Canvas, CoverBlendsByTheMaskAndAddLightAdds)
{
    Canvas canvas(2, 1);
    canvas.Paint([](float, float) { return Color{0.2f, 0.2f, 0.2f}; });
    Mask half(2, 1);
    half.At(0, 0) = 0.5f;
    half.At(1, 0) = 2.0f;
    canvas.Cover(half, Color{1.0f, 0.0f, 0.0f});
    EXPECT_FLOAT_EQ(canvas.At(0, 0).r, 0.6f);
    EXPECT_FLOAT_EQ(canvas.At(0, 0).g, 0.1f);
    EXPECT_FLOAT_EQ(canvas.At(1, 0).r, 1.0f);  // opacity is capped at 1
    canvas.AddLight(half, Color{0.0f, 0.5f, 0.0f});
    EXPECT_FLOAT_EQ(canvas.At(1, 0).g, 1.0f);
}

TEST(Canvas, RefusesAMaskOfAnotherSize)
{
    Canvas canvas(4, 4);
    EXPECT_THROW(canvas.Cover(Mask(4, 5), Color{}), std::invalid_argument);
}
