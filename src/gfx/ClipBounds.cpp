#include "gfx/ClipBounds.h"

#include <algorithm>
#include <cmath>

#include "gfx/Gl.h"

namespace {

// Wider than any rounding between this and the rasteriser's own sums.
constexpr double columnSlack = 1.0;
constexpr double nearestW = 1e-6;
// A corner counts as beyond a plane only this far past it, relative to
// its coordinates: single-precision rounding is a hundred times less.
constexpr double planeSlack = 1e-5;

using ClipPoint = std::array<double, 4>;  // x, y, z, w

std::array<ClipPoint, 8> ClipCorners(const Box& box, const ClipMatrix& clip)
{
    std::array<ClipPoint, 8> corners{};
    for (std::size_t corner = 0; corner < corners.size(); ++corner) {
        const double x = (corner & 1) != 0 ? box.high[0] : box.low[0];
        const double y = (corner & 2) != 0 ? box.high[1] : box.low[1];
        const double z = (corner & 4) != 0 ? box.high[2] : box.low[2];
        for (std::size_t row = 0; row < 4; ++row) {
            corners[corner][row] = clip[row] * x + clip[4 + row] * y + clip[8 + row] * z + clip[12 + row];
        }
    }
    return corners;
}

}  // namespace

ClipMatrix CurrentClipMatrix()
{
    std::array<double, 16> projection{};
    std::array<double, 16> modelview{};
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
    ClipMatrix clip{};
    for (std::size_t column = 0; column < 4; ++column) {
        for (std::size_t row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (std::size_t k = 0; k < 4; ++k) {
                sum += projection[k * 4 + row] * modelview[column * 4 + k];
            }
            clip[column * 4 + row] = sum;
        }
    }
    return clip;
}

// What lies in the box projects inside the hull of its projected corners
// when they are all in front of the eye; clipping only ever cuts
// triangles smaller.
bool BoxMayReachColumns(const Box& box, const ClipMatrix& clip, const ColumnRange& columns)
{
    double left = 0.0;
    double right = 0.0;
    bool first = true;
    for (const ClipPoint& corner : ClipCorners(box, clip)) {
        if (corner[3] <= nearestW) {
            return true;
        }
        const double windowX = columns.viewport[0] + (corner[0] / corner[3] + 1.0) * 0.5 * columns.viewport[2];
        left = first ? windowX : std::min(left, windowX);
        right = first ? windowX : std::max(right, windowX);
        first = false;
    }
    // Column c's pixel centre is at c + 0.5.
    const double firstCentre = columns.first + 0.5;
    const double lastCentre = columns.first + columns.count - 0.5;
    return right >= firstCentre - columnSlack && left <= lastCentre + columnSlack;
}

// The view volume is -w <= x, y, z <= w; each plane bounds a half-space,
// and a half-space that holds every corner holds the whole box.
bool BoxMayBeInView(const Box& box, const ClipMatrix& clip)
{
    const std::array<ClipPoint, 8> corners = ClipCorners(box, clip);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        for (const double side : {1.0, -1.0}) {
            const bool allBeyond = std::all_of(corners.begin(), corners.end(), [axis, side](const ClipPoint& corner) {
                const double past = side * corner[axis] - corner[3];
                return past > planeSlack * (std::abs(corner[axis]) + std::abs(corner[3]));
            });
            if (allBeyond) {
                return false;
            }
        }
    }
    return true;
}
