#pragma once

#include <array>

#include "model3ds/MeshDisplayList.h"

// Projection times modelview, column by column, as GL applies them.
using ClipMatrix = std::array<double, 16>;

// The current GL projection times the current modelview.
ClipMatrix CurrentClipMatrix();

// Window columns [first, first + count) of a viewport (x, y, width, height).
struct ColumnRange {
    std::array<int, 4> viewport;
    int first;
    int count;
};

// Whether a triangle of the part, drawn through the clip matrix, can cover a
// pixel centre in the columns. It errs towards yes: a part with a corner at
// or behind the eye always may.
bool PartMayReachColumns(const MeshDisplayList::Part& part, const ClipMatrix& clip, const ColumnRange& columns);
