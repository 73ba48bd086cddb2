#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "support/Feedback.h"
#include "support/Transforms.h"

// The C runtime's generator, as every effect shares it, for tests that work
// out what an effect drew from it.
struct CRuntimeRandom {
    std::uint32_t state;

    int Next()
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
    // rand01: a draw over 32767 as a 32-bit float.
    float Unit() { return static_cast<float>(Next() / 32767.0); }
};

// Where the corners of what an effect draws must land on the screen.
class DrawnCorners {
public:
    // The points (in the shape's own frame) as the matrix takes them to the window.
    void Add(const Matrix4& toClip, std::initializer_list<std::array<double, 3>> points);
    // A square of the given half size in the plane z = 0.
    void AddSquare(const Matrix4& toClip, double half);

    // Every vertex of the polygons from `first` on that lies inside the
    // window (not cut by its edge) is one of the corners, within a
    // twentieth of a pixel, and every corner inside the window is drawn;
    // at least `least` corners must be inside.
    ::testing::AssertionResult MatchedBy(const std::vector<FeedbackPolygon>& polygons, std::size_t first = 0,
                                         std::size_t least = 1) const;

private:
    std::vector<std::array<double, 2>> corners;
};
