#include "model3ds/PartReach.h"

#include <algorithm>

namespace {

// Wider than any rounding between this and the rasteriser's own sums.
constexpr double slack = 1.0;
constexpr double nearestW = 1e-6;

}  // namespace

ClipMatrix CurrentClipMatrix()
{
    std::array<double, 16> projection{};
    std::array<double, 16> modelview{};
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
    ClipMatrix clip{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += projection[static_cast<std::size_t>(k * 4 + row)] * modelview[static_cast<std::size_t>(column * 4 + k)];
            }
            clip[static_cast<std::size_t>(column * 4 + row)] = sum;
        }
    }
    return clip;
}

// The part's triangles lie in its box, and a box in front of the eye
// projects inside the hull of its projected corners; clipping only ever
// cuts triangles smaller.
bool PartMayReachColumns(const MeshDisplayList::Part& part, const ClipMatrix& clip, const ColumnRange& columns)
{
    double left = 0.0;
    double right = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        const double x = (corner & 1) != 0 ? part.high[0] : part.low[0];
        const double y = (corner & 2) != 0 ? part.high[1] : part.low[1];
        const double z = (corner & 4) != 0 ? part.high[2] : part.low[2];
        const double clipX = clip[0] * x + clip[4] * y + clip[8] * z + clip[12];
        const double clipW = clip[3] * x + clip[7] * y + clip[11] * z + clip[15];
        if (clipW <= nearestW) {
            return true;
        }
        const double windowX = columns.viewport[0] + (clipX / clipW + 1.0) * 0.5 * columns.viewport[2];
        left = corner == 0 ? windowX : std::min(left, windowX);
        right = corner == 0 ? windowX : std::max(right, windowX);
    }
    // Column c's pixel centre is at c + 0.5.
    const double firstCentre = columns.first + 0.5;
    const double lastCentre = columns.first + columns.count - 0.5;
    return right >= firstCentre - slack && left <= lastCentre + slack;
}
