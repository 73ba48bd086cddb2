#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "gfx/Guards.h"
#include "model3ds/ModelFiles.h"
#include "gfx/ClipBounds.h"
#include "model3ds/MeshDisplayList.h"
#include "support/GlTestContext.h"

namespace {

constexpr int rings = 48;
constexpr int around = 8;
constexpr int ringFaces = 2 * around;

// A torus in the xy plane, ring radius 1 and tube radius 0.3, its faces
// ring by ring, as the generated models are.
ModelMesh Torus()
{
    ModelMesh mesh;
    mesh.name = "Torus";
    for (int ring = 0; ring < rings; ++ring) {
        const double t = 2.0 * std::numbers::pi * ring / rings;
        for (int c = 0; c < around; ++c) {
            const double s = 2.0 * std::numbers::pi * c / around;
            const double radius = 1.0 + 0.3 * std::cos(s);
            mesh.positions.push_back({static_cast<float>(radius * std::cos(t)), static_cast<float>(radius * std::sin(t)),
                                      static_cast<float>(0.3 * std::sin(s))});
        }
    }
    for (int ring = 0; ring < rings; ++ring) {
        for (int c = 0; c < around; ++c) {
            const auto index = [](int r, int k) { return static_cast<std::uint16_t>((r % rings) * around + k % around); };
            mesh.faces.push_back({index(ring, c), index(ring + 1, c), index(ring + 1, c + 1), 1});
            mesh.faces.push_back({index(ring, c), index(ring + 1, c + 1), index(ring, c + 1), 1});
        }
    }
    return mesh;
}

class MeshPartBounds : public GlTest {
protected:
    MeshPartBounds() : file(Write3ds({.materials = {}, .meshes = {Torus()}})) {}

    TemporaryModelFile file;
};

}  // namespace

TEST_F(MeshPartBounds, PartsHoldTheirRunsOfTrianglesAndTogetherDrawTheWholeMesh)
{
    const MeshDisplayList whole(file.Path(), 0);
    const MeshDisplayList parted(file.Path(), 0, 5 * ringFaces);
    EXPECT_TRUE(whole.parts.empty());
    ASSERT_EQ(parted.parts.size(), 10u);  // nine of five rings, the last of three

    // The first part is rings 0 to 5: the quarter turn from +x towards +y.
    const Box& first = parted.parts.front().bounds;
    EXPECT_FLOAT_EQ(first.high[0], 1.3f);
    EXPECT_FLOAT_EQ(first.low[1], 0.0f);
    EXPECT_NEAR(first.high[1], 1.3 * std::sin(2.0 * std::numbers::pi * 5 / rings), 1e-6);
    EXPECT_FLOAT_EQ(first.low[2], -0.3f);

    std::vector<Rgba> wholeFrame;
    {
        const MatrixScope matrix;
        glTranslatef(0.0f, 0.0f, -4.0f);
        glRotatef(60.0f, 1.0f, 0.3f, 0.0f);
        glCallList(whole.listId);
        wholeFrame = ReadFrame();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glCallList(parted.listId);
    }
    EXPECT_EQ(ReadFrame(), wholeFrame);
    EXPECT_NE(wholeFrame, std::vector<Rgba>(wholeFrame.size(), Rgba{0, 0, 0, 0}));
    EXPECT_TRUE(BetweenEffectsState());
}

// Every part is drawn alone, into the whole window and into every
// four-column strip: whatever lands in the view or a strip must come from a
// part said to reach it; most parts of a torus well in front of the eye
// miss most strips, and those of one beyond a plane of the view miss it.
TEST_F(MeshPartBounds, NoPartThatDrawsIsSaidToMissTheViewOrTheColumns)
{
    const MeshDisplayList mesh(file.Path(), 0, ringFaces);
    ASSERT_EQ(mesh.parts.size(), static_cast<std::size_t>(rings));
    GLuint query = 0;
    glGenQueries(1, &query);
    const auto samplesOf = [query](const MeshDisplayList::Part& part) {
        glClear(GL_DEPTH_BUFFER_BIT);
        glBeginQuery(GL_SAMPLES_PASSED, query);
        glCallList(part.listId);
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint samples = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        return samples;
    };
    const CEnabler depth(GL_DEPTH_TEST);
    enum class Out { none, some, all };
    struct Pose {
        std::array<float, 3> shift;
        float turn;  // about x
        Out out;     // of the view
    };
    const Pose poses[] = {
        {{0.0f, 0.2f, -4.0f}, 35.0f, Out::none},   // in front
        {{1.4f, 0.0f, -3.0f}, 80.0f, Out::some},   // near and shifted aside
        {{-1.0f, 0.0f, 0.0f}, 50.0f, Out::some},   // the eye inside the tube
        {{6.0f, 0.0f, -4.0f}, 10.0f, Out::all},    // beyond each of the six planes
        {{-6.0f, 0.0f, -4.0f}, 10.0f, Out::all},
        {{0.0f, 5.0f, -4.0f}, 10.0f, Out::all},
        {{0.0f, -5.0f, -4.0f}, 10.0f, Out::all},
        {{0.0f, 0.0f, 2.0f}, 10.0f, Out::all},
        {{0.0f, 0.0f, -2000.0f}, 10.0f, Out::all},
    };
    for (const Pose& pose : poses) {
        const MatrixScope matrix;
        glTranslatef(pose.shift[0], pose.shift[1], pose.shift[2]);
        glRotatef(pose.turn, 1.0f, 0.0f, 0.0f);
        const ClipMatrix clip = CurrentClipMatrix();
        int outOfView = 0;
        for (const MeshDisplayList::Part& part : mesh.parts) {
            const bool inView = BoxMayBeInView(part.bounds, clip);
            EXPECT_TRUE(samplesOf(part) == 0 || inView) << "pose " << pose.turn;
            outOfView += inView ? 0 : 1;
        }
        const Out out = outOfView == 0 ? Out::none : outOfView < rings ? Out::some : Out::all;
        EXPECT_EQ(out, pose.out) << "pose at " << pose.shift[0] << ", " << pose.shift[1] << ", " << pose.shift[2];
        if (pose.out == Out::all) {
            continue;
        }

        const CEnabler scissor(GL_SCISSOR_TEST);
        int drawn = 0;
        int skipped = 0;
        for (int x = 0; x < testWidth; x += 4) {
            glScissor(x, 0, 4, testHeight);
            for (const MeshDisplayList::Part& part : mesh.parts) {
                const GLuint samples = samplesOf(part);
                const bool reaches = BoxMayReachColumns(part.bounds, clip, {{0, 0, testWidth, testHeight}, x, 4});
                EXPECT_TRUE(samples == 0 || reaches) << "pose " << pose.turn << ", columns from " << x;
                drawn += samples > 0 ? 1 : 0;
                skipped += reaches ? 0 : 1;
            }
        }
        glScissor(0, 0, testWidth, testHeight);
        const int pairs = testWidth / 4 * rings;
        EXPECT_GT(drawn, pairs / 50) << "pose " << pose.turn;
        if (pose.shift[2] < -1.0f) {
            EXPECT_GT(skipped, pairs / 2) << "pose " << pose.turn;
        }
    }
    glDeleteQueries(1, &query);
}
