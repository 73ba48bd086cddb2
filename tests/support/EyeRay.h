#pragma once

#include <array>

#include "support/GlTestContext.h"

// The direction from the eye through the centre of a window pixel (column x,
// row y from the top) under the screen perspective (40 degrees high), in
// eye space: the viewer looks down -z.
inline std::array<double, 3> EyeRayThrough(double x, double y)
{
    const double halfHeight = 0.36397023426620234;  // tan(20 degrees)
    const double aspect = static_cast<double>(testWidth) / testHeight;
    return {(2.0 * (x + 0.5) / testWidth - 1.0) * halfHeight * aspect, (1.0 - 2.0 * (y + 0.5) / testHeight) * halfHeight,
            -1.0};
}
