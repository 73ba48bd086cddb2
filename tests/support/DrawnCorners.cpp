#include "support/DrawnCorners.h"

#include <cmath>

namespace {

constexpr double tolerance = 0.05;

bool Inside(double x, double y)
{
    return x > 0.01 && x < testWidth - 0.01 && y > 0.01 && y < testHeight - 0.01;
}

}  // namespace

void DrawnCorners::Add(const Matrix4& toClip, std::initializer_list<std::array<double, 3>> points)
{
    for (const auto& point : points) {
        corners.push_back(toClip.ToWindow(point[0], point[1], point[2]));
    }
}

void DrawnCorners::AddSquare(const Matrix4& toClip, double half)
{
    Add(toClip, {{-half, -half, 0.0}, {half, -half, 0.0}, {half, half, 0.0}, {-half, half, 0.0}});
}

::testing::AssertionResult DrawnCorners::MatchedBy(const std::vector<FeedbackPolygon>& polygons, std::size_t first,
                                                   std::size_t least) const
{
    std::vector<bool> seen(corners.size(), false);
    for (std::size_t k = first; k < polygons.size(); ++k) {
        for (const auto& vertex : polygons[k].vertices) {
            if (!Inside(vertex[0], vertex[1])) {
                continue;  // cut by the window's edge
            }
            bool matched = false;
            for (std::size_t c = 0; c < corners.size(); ++c) {
                if (std::hypot(vertex[0] - corners[c][0], vertex[1] - corners[c][1]) < tolerance) {
                    matched = seen[c] = true;
                }
            }
            if (!matched) {
                return ::testing::AssertionFailure() << "shape " << k << " has a corner at " << vertex[0] << ", "
                                                     << vertex[1] << " where none belongs";
            }
        }
    }
    std::size_t inside = 0;
    for (std::size_t c = 0; c < corners.size(); ++c) {
        if (Inside(corners[c][0], corners[c][1])) {
            ++inside;
            if (!seen[c]) {
                return ::testing::AssertionFailure() << "corner " << c << " at " << corners[c][0] << ", " << corners[c][1]
                                                     << " is not drawn";
            }
        }
    }
    if (inside < least) {
        return ::testing::AssertionFailure() << "only " << inside << " corners lie in view";
    }
    return ::testing::AssertionSuccess();
}
