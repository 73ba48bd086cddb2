#include <cmath>

#include "effects/TwistBox.h"
#include "support/EyeRay.h"
#include "support/GlTestContext.h"
#include "support/Pictures.h"
#include "support/ShippedData.h"

using Effekter::TwistBox;

namespace {

const Rgba white{255, 255, 255, 255};

class TwistBoxDrawing : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_TRUE(WriteTwoBandPicture("data/__grid.jpg", FIF_PNG, 24, white, white, 16));
    }

    ScriptFolder folder;
};

GLint ModelviewDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

}  // namespace

TEST_F(TwistBoxDrawing, IntensityDropsWithTheBeat)
{
    CopyShipped(folder, "bump.fs");
    TwistBox box(0, 100000);
    box.Draw(1000, 0.0f);
    EXPECT_EQ(UniformValue(box.shader.program, box.intensityLocation), 0.25f);
    box.Draw(1000, 1.0f);
    EXPECT_FLOAT_EQ(UniformValue(box.shader.program, box.intensityLocation), 0.15f);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(TwistBoxDrawing, PassesTheWindowSizeAndASwingingLamp)
{
    CopyShipped(folder, "bump.fs");
    TwistBox box(0, 100000);
    GLfloat values[4] = {};
    box.Draw(0, 0.0f);
    glGetUniformfv(box.shader.program, box.resolutionLocation, values);
    EXPECT_EQ(values[0], static_cast<float>(testWidth));
    EXPECT_EQ(values[1], static_cast<float>(testHeight));
    glGetUniformfv(box.shader.program, box.posLocation, values);
    EXPECT_EQ(values[0], 0.0f);
    EXPECT_EQ(values[1], 0.5f);
    // sin(0.0005 t) peaks at t = pi / 0.001 ms.
    box.Draw(3142, 0.0f);
    glGetUniformfv(box.shader.program, box.posLocation, values);
    EXPECT_NEAR(values[0], 0.5f, 1e-6);
}

TEST_F(TwistBoxDrawing, ClearsTheWindowAndDrawsTheTowerInItsMiddle)
{
    folder.WriteFile("data/bump.fs", "#version 110\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    testing::internal::CaptureStderr();
    TwistBox box(0, 100000);
    testing::internal::GetCapturedStderr();
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    const GLint depthBefore = ModelviewDepth();
    box.Draw(0, 0.0f);
    EXPECT_EQ(ModelviewDepth(), depthBefore);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), white) << "slice 150, half width about 1.27, lies across the middle";
    EXPECT_EQ(ReadPixelAt(0.02, 0.5), (Rgba{0, 0, 0, 0})) << "beside the tower the window was cleared";
    EXPECT_TRUE(BetweenEffectsState()) << "fog, depth test, texture and program all undone";
}

// The centre row crosses slice 150 alone, row 68 slice 145 (half a unit
// lower). Cast from the eye, a row's rays meet the slice's faces where its
// own half width and turn put them; the colour shows the face's texture s
// coordinate there.
TEST_F(TwistBoxDrawing, SlicesAreTurnedAndSizedByTheWave)
{
    folder.WriteFile("data/bump.fs", "#version 110\nvoid main() { gl_FragColor = vec4(gl_TexCoord[0].s, 0.0, 1.0, 1.0); }\n");
    testing::internal::CaptureStderr();
    TwistBox box(0, 100000);
    testing::internal::GetCapturedStderr();
    const std::uint32_t time = 7200;
    box.Draw(time, 0.0f);

    const double base = time * 0.000125;
    for (const auto [row, g] : {std::pair{testHeight / 2, 150.0}, std::pair{68, 145.0}}) {
        const double r = 1.5 + 0.5 * (std::sin(g * 0.0225 + base) + std::sin((g + 1.0) * 0.0225 + base));
        const double angle = std::sin(g * 0.00225 + base) * 2.0 * M_PI;  // the turn about +y
        // Where a ray from the eye meets the slice, in the slice's own frame (its
        // centre 10 units ahead), and the s coordinate there; -1 for no face.
        const auto sAlong = [&](double x, double y) {
            const std::array<double, 3> ray = EyeRayThrough(x, y);
            // Into the slice's frame: undo the turn about y.
            const double c = std::cos(angle), s = std::sin(angle);
            const double ox = -10.0 * s, oz = 10.0 * c;  // the eye at (0, 0, 10), turned back
            const double dx = ray[0] * c - ray[2] * s, dz = ray[0] * s + ray[2] * c;
            double enter = -1e9, leave = 1e9;
            int face = -1;  // 0 x = -r, 1 x = +r, 2 z = -r, 3 z = +r
            for (int axis = 0; axis < 2; ++axis) {
                const double origin = axis == 0 ? ox : oz, direction = axis == 0 ? dx : dz;
                const double near = (-r - origin) / direction, far = (r - origin) / direction;
                const double first = std::min(near, far);
                if (first > enter) {
                    enter = first;
                    face = 2 * axis + (near > far ? 1 : 0);
                }
                leave = std::min(leave, std::max(near, far));
            }
            if (enter > leave) {
                return -1.0;
            }
            const double hitX = ox + enter * dx, hitZ = oz + enter * dz;
            switch (face) {
            case 3: return (hitX + r) / (2.0 * r);  // front: s from 0 at -x to 1 at +x
            case 2: return (r - hitX) / (2.0 * r);  // back
            case 1: return (r - hitZ) / (2.0 * r);  // right: s 1 at -z
            default: return (hitZ + r) / (2.0 * r);  // left: s 0 at -z
            }
        };
        int compared = 0;
        for (int x = 0; x < testWidth; ++x) {
            const double s = sAlong(x, row);
            // Pixels on an edge between faces, or of the outline, are left out.
            if ((sAlong(x - 0.4, row) < 0.0) != (s < 0.0) || (sAlong(x + 0.4, row) < 0.0) != (s < 0.0) ||
                std::abs(sAlong(x - 0.4, row) - sAlong(x + 0.4, row)) > 0.2) {
                continue;
            }
            const Rgba pixel = ReadPixel(x, row);
            if (s < 0.0) {
                EXPECT_EQ(pixel.b, 0) << "nothing at column " << x << " of row " << row;
            } else {
                EXPECT_EQ(pixel.b, 255) << "slice " << g << " at column " << x;
                EXPECT_NEAR(pixel.r, s * 255.0, 8.0) << "slice " << g << " at column " << x;
            }
            ++compared;
        }
        EXPECT_GT(compared, testWidth / 2);
    }
}
