#pragma once

#include <array>

// Projection times modelview, column by column, as GL applies them.
using ClipMatrix = std::array<double, 16>;

// The current GL projection times the current modelview.
ClipMatrix CurrentClipMatrix();

// An axis-aligned box in a shape's own frame.
struct Box {
    std::array<float, 3> low{};  // x, y, z
    std::array<float, 3> high{};
};

// Window columns [first, first + count) of a viewport (x, y, width, height).
struct ColumnRange {
    std::array<int, 4> viewport;
    int first;
    int count;
};

// Whether anything inside the box, drawn through the clip matrix, can cover
// a pixel centre in the columns. It errs towards yes: a box with a corner
// at or behind the eye always may.
bool BoxMayReachColumns(const Box& box, const ClipMatrix& clip, const ColumnRange& columns);

// Whether anything inside the box, drawn through the clip matrix, can lie
// in the view volume: no, only when every corner lies beyond one and the
// same of its six planes, by more than rounding.
bool BoxMayBeInView(const Box& box, const ClipMatrix& clip);
