#include "support/Feedback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "gfx/Screen.h"

namespace {

constexpr int valuesPerVertex = 7;  // GL_3D_COLOR in RGBA mode

using Corner = std::array<GLfloat, 3>;

bool SameCorner(const Corner& a, const Corner& b)
{
    return std::fabs(a[0] - b[0]) < 1e-3f && std::fabs(a[1] - b[1]) < 1e-3f && std::fabs(a[2] - b[2]) < 1e-6f;
}

bool SharesACorner(const std::vector<Corner>& a, const std::vector<Corner>& b)
{
    return std::any_of(a.begin(), a.end(), [&](const Corner& corner) {
        return std::any_of(b.begin(), b.end(), [&](const Corner& other) { return SameCorner(corner, other); });
    });
}

bool SamePiece(const std::vector<Corner>& a, const std::vector<Corner>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameCorner);
}

// Joins the pieces of one shape; see CapturePolygons.
class ShapeJoiner {
public:
    void Add(const std::vector<Corner>& piece, const std::array<GLfloat, 4>& colour)
    {
        if (!shapes.empty() && colour == shapes.back().colour && Continues(piece)) {
            pieces.push_back(piece);
            shapes.back().vertices.insert(shapes.back().vertices.end(), piece.begin(), piece.end());
            return;
        }
        pieces.assign(1, piece);
        shapes.push_back(FeedbackPolygon{piece, colour});
    }

    std::vector<FeedbackPolygon> shapes;

private:
    bool Continues(const std::vector<Corner>& piece) const
    {
        const bool repeats = std::any_of(pieces.begin(), pieces.end(), [&](const auto& earlier) { return SamePiece(earlier, piece); });
        const bool touches = std::any_of(pieces.begin(), pieces.end(), [&](const auto& earlier) { return SharesACorner(earlier, piece); });
        // Clipping can cut a quad facing the viewer into pieces that share
        // no corner; they still share its depth.
        const float depth = pieces.front().front()[2];
        const bool level = std::all_of(piece.begin(), piece.end(), [&](const Corner& corner) { return std::fabs(corner[2] - depth) < 1e-7f; });
        return (touches || level) && !repeats;
    }

    std::vector<std::vector<Corner>> pieces;
};

}  // namespace

std::array<double, 2> FeedbackPolygon::CentreFraction() const
{
    double x = 0.0;
    double y = 0.0;
    for (const auto& vertex : vertices) {
        x += vertex[0];
        y += vertex[1];
    }
    const double count = static_cast<double>(vertices.size());
    return {x / count / screenWidth, 1.0 - y / count / screenHeight};
}

std::vector<FeedbackPolygon> CapturePolygons(const std::function<void()>& draw)
{
    static std::vector<GLfloat> buffer(1 << 21);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "the feedback buffer overflowed";

    ShapeJoiner joiner;
    GLint at = 0;
    const auto skipVertices = [&](int count) { at += count * valuesPerVertex; };
    while (at < used) {
        const auto token = static_cast<GLint>(buffer[static_cast<std::size_t>(at++)]);
        switch (token) {
        case GL_POLYGON_TOKEN: {
            const auto count = static_cast<int>(buffer[static_cast<std::size_t>(at++)]);
            std::vector<Corner> piece;
            std::array<GLfloat, 4> colour{};
            for (int vertex = 0; vertex < count; ++vertex) {
                const GLfloat* values = &buffer[static_cast<std::size_t>(at)];
                piece.push_back({values[0], values[1], values[2]});
                if (vertex == 0) {
                    colour = {values[3], values[4], values[5], values[6]};
                }
                skipVertices(1);
            }
            joiner.Add(piece, colour);
            break;
        }
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN: skipVertices(1); break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN: skipVertices(2); break;
        case GL_PASS_THROUGH_TOKEN: ++at; break;
        default: ADD_FAILURE() << "unknown feedback token " << token; return joiner.shapes;
        }
    }
    return joiner.shapes;
}

double EyeDepth(GLfloat windowDepth)
{
    const double nearPlane = 0.1f;
    const double farPlane = 1000.0;
    const double ndc = 2.0 * windowDepth - 1.0;
    return 2.0 * farPlane * nearPlane / ((farPlane - nearPlane) * ndc - (farPlane + nearPlane));
}
