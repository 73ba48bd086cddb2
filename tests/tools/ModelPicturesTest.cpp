#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "picture/ModelPictures.h"
#include "picture/Pictures.h"

namespace {

float Brightness(Color c)
{
    return std::max({c.r, c.g, c.b});
}

float Difference(Color a, Color b)
{
    return std::max({std::fabs(a.r - b.r), std::fabs(a.g - b.g), std::fabs(a.b - b.b)});
}

float BrightestOnTheBorder(const Canvas& canvas)
{
    float brightest = 0.0f;
    const int last = Pictures::size - 1;
    for (int i = 0; i < Pictures::size; ++i) {
        brightest = std::max({brightest, Brightness(canvas.At(i, 0)), Brightness(canvas.At(i, last)), Brightness(canvas.At(0, i)),
                              Brightness(canvas.At(last, i))});
    }
    return brightest;
}

}  // namespace

// Layers blended by their own colour show every non-black pixel: their
// edges must fade to black or the picture's square shows on screen.
TEST(ModelPictures, BlendedLayersFadeToBlackAtTheirEdges)
{
    for (Canvas (*paint)() : {Pictures::RubberBackdrop, Pictures::RubberBeatBackdrop, Pictures::Swirl, Pictures::Flower}) {
        const Canvas canvas = paint();
        EXPECT_LT(BrightestOnTheBorder(canvas), 0.02f);
        EXPECT_GT(Brightness(canvas.At(Pictures::size / 2, Pictures::size / 2)), 0.2f);
    }
}

// Environment maps are read through a repeating texture from -1 to 1: the
// left and right edges meet, so do the top and bottom, where the horizon
// line is the brightest part.
TEST(ModelPictures, EnvironmentMapsTileWithTheirHorizonAtTheSeam)
{
    for (Canvas (*paint)() : {Pictures::ChromeEnvironment, Pictures::HorizonEnvironment}) {
        const Canvas canvas = paint();
        const int last = Pictures::size - 1;
        float worstSeam = 0.0f;
        for (int i = 0; i < Pictures::size; ++i) {
            worstSeam = std::max({worstSeam, Difference(canvas.At(0, i), canvas.At(last, i)),
                                  Difference(canvas.At(i, 0), canvas.At(i, last))});
        }
        EXPECT_LT(worstSeam, 0.05f);
        EXPECT_GT(Brightness(canvas.At(Pictures::size / 3, 0)), 3.0f * Brightness(canvas.At(Pictures::size / 3, Pictures::size / 2)));
    }
}

// The frame is seen from a tenth of the picture inwards: bright there,
// dark in the middle.
TEST(ModelPictures, FrameLightsTheScreenEdgeAroundABlackCentre)
{
    const Canvas frame = Pictures::GlowFrame();
    const int tenth = Pictures::size / 10;
    EXPECT_GT(Brightness(frame.At(Pictures::size / 2, tenth)), 0.6f);
    EXPECT_GT(Brightness(frame.At(tenth, Pictures::size / 2)), 0.6f);
    EXPECT_LT(Brightness(frame.At(Pictures::size / 2, Pictures::size / 2)), 0.02f);
}

TEST(ModelPictures, PortraitsAreDistinctFiguresOnBlack)
{
    Canvas (*portraits[])() = {Pictures::PortraitSesk, Pictures::PortraitMig, Pictures::PortraitTolvik, Pictures::PortraitBust};
    std::vector<Canvas> painted;
    for (const auto paint : portraits) {
        painted.push_back(paint());
        const Canvas& canvas = painted.back();
        EXPECT_LT(Brightness(canvas.At(10, 10)), 0.02f);
        EXPECT_GT(Brightness(canvas.At(Pictures::size / 2, Pictures::size * 2 / 5)), 0.05f) << "a head in the middle";
    }
    for (std::size_t i = 0; i < painted.size(); ++i) {
        for (std::size_t j = i + 1; j < painted.size(); ++j) {
            float largest = 0.0f;
            for (int y = 0; y < Pictures::size; y += 16) {
                for (int x = 0; x < Pictures::size; x += 16) {
                    largest = std::max(largest, Difference(painted[i].At(x, y), painted[j].At(x, y)));
                }
            }
            EXPECT_GT(largest, 0.3f) << i << " and " << j;
        }
    }
}
