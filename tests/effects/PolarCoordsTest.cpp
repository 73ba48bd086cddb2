#include <algorithm>
#include <cmath>
#include <memory>

#include "core/DemoRandom.h"
#include "effects/EffectTest.h"
#include "effects/PolarCoords.h"

using Effekter::PolarCoords;

namespace {

// Shows the off-screen image as it is, stretched over the window.
const std::string imageProbe =
    "#version 110\nuniform sampler2D scene;\nvoid main() { gl_FragColor = texture2D(scene, gl_TexCoord[0].st); }\n";

class PolarCoordsDrawing : public EffectTest {
protected:
    void SetUp() override
    {
        EffectTest::SetUp();
        WriteSolidPicture("data/housing.jpg", white);
    }

    std::unique_ptr<PolarCoords> MakeWithProbe()
    {
        folder.WriteFile("data/polar.fs", imageProbe);
        return Quietly<PolarCoords>(0, 100000);
    }
};

}  // namespace

TEST_F(PolarCoordsDrawing, ShowsOnlyItsOwnImageAndLeavesTheUniformsAtZero)
{
    CopyShipped(folder, "polar.fs");
    PolarCoords polar(0, 100000);
    EXPECT_NE(polar.timeLocation, -1);
    EXPECT_NE(polar.resolutionLocation, -1);
    Fill(red);
    polar.Draw(7200, 0.0f);
    const std::vector<Rgba> frame = ReadFrame();
    const long reds = std::count(frame.begin(), frame.end(), red);
    EXPECT_EQ(reds, 0) << "what earlier effects drew is cleared";
    EXPECT_EQ(UniformValue(polar.shader.program, polar.timeLocation), 0.0f);
    const std::array<GLfloat, 4> resolution = UniformVector(polar.shader.program, polar.resolutionLocation);
    EXPECT_EQ(resolution[0], 0.0f);
    EXPECT_EQ(resolution[1], 0.0f);
}

TEST_F(PolarCoordsDrawing, DrawsTheFieldIntoTheTargetsCornerWithTheWindowsView)
{
    auto polar = MakeWithProbe();
    polar->Draw(0, 0.0f);
    // The window-sized corner at the target's bottom left shows up, flipped,
    // in the top left of the window scaled by window / 1024; the rest of the
    // image stays clear.
    const std::vector<Rgba> texels = TextureTexels(polar->target.textureId, 1024, 1024);
    const auto texel = [&texels](int x, int y) { return texels[static_cast<std::size_t>(y) * 1024 + static_cast<std::size_t>(x)]; };
    EXPECT_EQ(texel(testWidth / 2, testHeight / 2), white) << "the field at the view's centre";
    EXPECT_EQ(texel(testWidth + 10, testHeight / 2), cleared) << "nothing right of the window-sized corner";
    EXPECT_EQ(texel(testWidth / 2, testHeight + 10), cleared) << "nothing above it";
    EXPECT_EQ(ReadPixelAt(0.9, 0.9), cleared);
}

// Every corner of the 441 boxes lands where the swaying camera, the boxes'
// turn and the heights drawn after seed 123 put it (seen through feedback,
// before the warp).
TEST_F(PolarCoordsDrawing, TheBoxesStandWhereCameraTurnAndSeedPutThem)
{
    auto polar = MakeWithProbe();
    const std::uint32_t time = 1234;
    const float t = static_cast<float>(time);
    const Matrix4 view = Matrix4::ScreenPerspective() *
                         Matrix4::LookAt({10.0 * static_cast<float>(std::sin(t / 100.0f)),
                                          10.0 * static_cast<float>(std::sin(t / 300.0f)), 100.0},
                                         {0, 0, 0}, {0, 1, 0});
    CRuntimeRandom random{123};
    DrawnCorners corners;
    for (int i = -10; i <= 10; ++i) {
        for (int j = -10; j <= 10; ++j) {
            const double h = random.Unit() * 3.0f;
            corners.Add(view * Matrix4::Translation(2.0 * i, 2.0 * j, 0.0) * Matrix4::Rotation(time * 0.05, 1, 0, 0) *
                            Matrix4::Rotation(time * 0.01, 0, 1, 0) * Matrix4::Rotation(time * 0.03, 0, 0, 1),
                        {{-1, -h, -1}, {1, -h, -1}, {1, h, -1}, {-1, h, -1}, {-1, -h, 1}, {1, -h, 1}, {1, h, 1}, {-1, h, 1}});
        }
    }
    DemoRandom::Seed(5);  // whatever other effects drew: the heights are the seed's
    EXPECT_TRUE(corners.MatchedBy(Polygons(*polar, time, 0.0f), 0, 500));
}
