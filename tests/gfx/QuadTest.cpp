#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "gfx/Texture.h"
#include "support/GlTestContext.h"

namespace {

using QuadDrawing = GlTest;

const Rgba red{255, 0, 0, 255};
const Rgba green{0, 255, 0, 255};
const Rgba blue{0, 0, 255, 255};
const Rgba white{255, 255, 255, 255};
const Rgba black{0, 0, 0, 0};

// A 64 x 64 texture in four quadrants: red and green on top, blue and white below.
void UploadQuadrants(CTexture& texture)
{
    std::vector<Rgba> pixels(64 * 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            pixels[static_cast<std::size_t>(y * 64 + x)] = y < 32 ? (x < 32 ? red : green) : (x < 32 ? blue : white);
        }
    }
    texture.Upload({reinterpret_cast<const std::uint8_t*>(pixels.data()), 64, 64, false, GL_RGBA});
}

}  // namespace

TEST_F(QuadDrawing, UnitQuadAtDepthTwoCoversTheWindowUnderOrtho)
{
    {
        const OrthoScope ortho;
        Quad quad(1.0f, 1.0f);
        quad.center.Set(0.0f, 0.0f, -2.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        quad.Draw(1.0f, 1.0f);
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {testWidth - 1, 0}, {0, testHeight - 1}, {testWidth - 1, testHeight - 1},
                               {testWidth / 2, testHeight / 2}}) {
        EXPECT_EQ(ReadPixel(x, y), white) << x << "," << y;
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(QuadDrawing, SmallerQuadLeavesTheCornersAlone)
{
    {
        const OrthoScope ortho;
        Quad quad(0.9f, 0.9f);
        quad.center.z = -2.0f;
        quad.Draw(1.0f, 1.0f);
    }
    EXPECT_EQ(ReadPixel(0, 0), black);
    EXPECT_EQ(ReadPixel(testWidth - 1, testHeight - 1), black);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), white);
}

TEST_F(QuadDrawing, CentreMovesTheQuad)
{
    {
        const OrthoScope ortho;
        Quad quad(0.5f, 0.5f);
        quad.center.Set(0.5f, 0.5f, -1.0f);  // the bottom right quarter under ortho
        quad.Draw(1.0f, 1.0f);
    }
    EXPECT_EQ(ReadPixelAt(0.75, 0.75), white);
    EXPECT_EQ(ReadPixelAt(0.25, 0.25), black);
    EXPECT_EQ(ReadPixelAt(0.75, 0.25), black);
}

TEST_F(QuadDrawing, TextureShowsUprightUnderOrtho)
{
    CTexture texture;
    UploadQuadrants(texture);
    {
        const OrthoScope ortho;
        const TextureBinding binding(texture.textureId);
        Quad quad(1.0f, 1.0f);
        quad.center.z = -2.0f;
        quad.Draw(1.0f, 1.0f);
    }
    EXPECT_EQ(ReadPixelAt(0.25, 0.25), red);
    EXPECT_EQ(ReadPixelAt(0.75, 0.25), green);
    EXPECT_EQ(ReadPixelAt(0.25, 0.75), blue);
    EXPECT_EQ(ReadPixelAt(0.75, 0.75), white);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(QuadDrawing, RepeatsAboveOneTileTheTexture)
{
    CTexture texture;
    UploadQuadrants(texture);
    {
        const OrthoScope ortho;
        const TextureBinding binding(texture.textureId);
        Quad quad(1.0f, 1.0f);
        quad.center.z = -2.0f;
        quad.Draw(2.0f, 2.0f);
    }
    // 2 x 2 tiles: each quarter of the window holds the whole picture.
    for (const double tile : {0.0, 0.5}) {
        EXPECT_EQ(ReadPixelAt(tile + 0.125, 0.125), red);
        EXPECT_EQ(ReadPixelAt(tile + 0.375, 0.125), green);
        EXPECT_EQ(ReadPixelAt(tile + 0.125, 0.875), blue);
        EXPECT_EQ(ReadPixelAt(tile + 0.375, 0.875), white);
    }
}

TEST_F(QuadDrawing, RotateXYZTurnsAboutXThenYThenZ)
{
    RotateXYZ(Vector3(90.0f, 0.0f, 90.0f));
    const auto matrix = CurrentMatrix(GL_MODELVIEW_MATRIX);
    // Rx(90) * Rz(90) sends x to z: column 0 is (0, 0, 1).
    EXPECT_NEAR(matrix[0], 0.0f, 1e-6);
    EXPECT_NEAR(matrix[1], 0.0f, 1e-6);
    EXPECT_NEAR(matrix[2], 1.0f, 1e-6);
    glLoadIdentity();
}

