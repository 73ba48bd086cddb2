#pragma once

#include <array>
#include <functional>
#include <vector>

#include "gfx/Gl.h"

// A flat-coloured shape drawn, as GL feedback reports it after clipping:
// window coordinates (x from the left, y from the bottom, depth 0 to 1) of
// its pieces' corners and the clamped colour of its first vertex.
struct FeedbackPolygon {
    std::vector<std::array<GLfloat, 3>> vertices;
    std::array<GLfloat, 4> colour;

    // The mean of the vertices, as fractions of the window from its top left.
    std::array<double, 2> CentreFraction() const;
};

// Runs the drawing in feedback mode, where nothing reaches the frame, and
// returns the shapes that survived clipping, in the order they were drawn.
// GL reports a quad as triangles, and a clipped one as fans of them: pieces
// in a row of the same colour that share a corner or the depth of a shape
// facing the viewer are joined into one shape, and a piece that repeats one
// already in the shape (the same quad drawn again) starts the next. Fails
// the test if the buffer overflows.
std::vector<FeedbackPolygon> CapturePolygons(const std::function<void()>& draw);

// The eye-space depth (negative, in front of the viewer) of a window depth
// under the screen perspective (near 0.1, far 1000).
double EyeDepth(GLfloat windowDepth);
