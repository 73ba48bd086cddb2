#include <FreeImage.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "core/DemoMessage.h"
#include "gfx/Guards.h"
#include "gfx/PicturePrefetch.h"
#include "gfx/Texture.h"
#include "support/GlTestContext.h"
#include "support/Pictures.h"
#include "support/ScriptFolder.h"
#include "support/UnreadableFiles.h"

namespace {

using Textures = GlTest;

constexpr int side = 16;

GLint TextureParameter(GLuint texture, GLenum name)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint LevelZeroWidth(GLuint texture)
{
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glBindTexture(GL_TEXTURE_2D, 0);
    return width;
}

bool Near(Rgba actual, Rgba expected, int tolerance)
{
    return std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
           std::abs(actual.b - expected.b) <= tolerance && std::abs(actual.a - expected.a) <= tolerance;
}

const Rgba red{255, 0, 0, 255};
const Rgba blue{0, 0, 255, 255};

}  // namespace

TEST_F(Textures, TwentyFourBitPictureLoadsUprightWithItsColours)
{
    const ScriptFolder folder;
    ASSERT_TRUE(WriteTwoBandPicture("picture.png", FIF_PNG, 24, red, blue));
    const CTextureFreeImage texture("picture.png");
    const auto texels = TextureTexels(texture.textureId, side, side);
    EXPECT_EQ(texels.front(), red) << "the top of the file lies at t = 0";
    EXPECT_EQ(texels.back(), blue);
    EXPECT_TRUE(texture.opaque);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Textures, JpegLoadsThroughTheConversion)
{
    const ScriptFolder folder;
    ASSERT_TRUE(WriteTwoBandPicture("picture.jpg", FIF_JPEG, 24, red, blue));
    const CTextureFreeImage texture("picture.jpg");
    const auto texels = TextureTexels(texture.textureId, side, side);
    EXPECT_PRED3(Near, texels.front(), red, 24);
    EXPECT_PRED3(Near, texels.back(), blue, 24);
}

TEST_F(Textures, ThirtyTwoBitPictureKeepsItsAlpha)
{
    const ScriptFolder folder;
    const Rgba translucent{255, 128, 0, 64};
    const Rgba opaque{10, 20, 30, 255};
    ASSERT_TRUE(WriteTwoBandPicture("alpha.png", FIF_PNG, 32, translucent, opaque));
    const CTextureFreeImage texture("alpha.png");
    const auto texels = TextureTexels(texture.textureId, side, side);
    EXPECT_EQ(texels.front(), translucent);
    EXPECT_EQ(texels.back(), opaque);
    EXPECT_FALSE(texture.opaque);

    // White with only the bottom right pixel, the last of the picture, short of full alpha.
    FIBITMAP* almost = FreeImage_Allocate(side, side, 32);
    for (int row = 0; row < side; ++row) {
        std::fill_n(FreeImage_GetScanLine(almost, row), side * 4, BYTE{255});
    }
    FreeImage_GetScanLine(almost, 0)[side * 4 - 1] = 254;
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, almost, "almost.png"));
    FreeImage_Unload(almost);
    EXPECT_FALSE(CTextureFreeImage("almost.png").opaque);
}

TEST_F(Textures, FileTypeComesFromTheContentsNotTheName)
{
    const ScriptFolder folder;
    ASSERT_TRUE(WriteTwoBandPicture("really-a-png.jpg", FIF_PNG, 24, red, blue));
    const CTextureFreeImage texture("really-a-png.jpg");
    EXPECT_EQ(TextureTexels(texture.textureId, side, side).front(), red);
}

TEST_F(Textures, GreyscalePictureLoadsAsGrey)
{
    const ScriptFolder folder;
    FIBITMAP* grey = FreeImage_Allocate(side, side, 8);
    RGBQUAD* palette = FreeImage_GetPalette(grey);
    for (int level = 0; level < 256; ++level) {
        palette[level].rgbRed = palette[level].rgbGreen = palette[level].rgbBlue = static_cast<BYTE>(level);
    }
    for (int row = 0; row < side; ++row) {
        std::fill_n(FreeImage_GetScanLine(grey, row), side, static_cast<BYTE>(row < side / 2 ? 40 : 200));
    }
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, grey, "grey.png", 0));
    FreeImage_Unload(grey);

    const CTextureFreeImage texture("grey.png");
    const auto texels = TextureTexels(texture.textureId, side, side);
    EXPECT_EQ(texels.front(), (Rgba{200, 200, 200, 255}));
    EXPECT_EQ(texels.back(), (Rgba{40, 40, 40, 255}));
    EXPECT_TRUE(texture.opaque) << "widened to 32 bits with full alpha";
}

TEST_F(Textures, EveryTextureRepeatsAndFiltersLinearly)
{
    const ScriptFolder folder;
    ASSERT_TRUE(WriteTwoBandPicture("picture.png", FIF_PNG, 24, red, blue));
    const CTextureFreeImage texture("picture.png");
    EXPECT_EQ(TextureParameter(texture.textureId, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TextureParameter(texture.textureId, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(TextureParameter(texture.textureId, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(texture.textureId, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

TEST_F(Textures, MirroredUploadMirrorsBothWays)
{
    CTexture texture;
    const Rgba pixel = red;
    texture.Upload({&pixel.r, 1, 1, true, GL_RGBA});
    EXPECT_EQ(TextureParameter(texture.textureId, GL_TEXTURE_WRAP_S), GL_MIRRORED_REPEAT);
    EXPECT_EQ(TextureParameter(texture.textureId, GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Textures, UploadRejectsAnythingButRgba)
{
    CTexture texture;
    const std::uint8_t pixel[4] = {};
    try {
        texture.Upload({pixel, 1, 1, false, GL_RGB});
        FAIL() << "no error for GL_RGB";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "Unknown pixeldepth");
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Textures, NullPathGivesANameAndNoPicture)
{
    const CTextureFreeImage texture(nullptr);
    EXPECT_NE(texture.textureId, 0u);
    EXPECT_EQ(LevelZeroWidth(texture.textureId), 0);
}

TEST_F(Textures, MissingFileIsLoggedAndTheShowGoesOn)
{
    const ScriptFolder folder;
    testing::internal::CaptureStderr();
    const CTextureFreeImage texture("data/nowhere/missing.jpg");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to load image: data/nowhere/missing.jpg\n");
    EXPECT_EQ(LevelZeroWidth(texture.textureId), 0);
    EXPECT_FALSE(texture.opaque);
    EXPECT_TRUE(BetweenEffectsState());
}

// With what the decoder said of it.
TEST_F(Textures, UnreadableFileIsLoggedToo)
{
    const ScriptFolder folder;
    folder.WriteFile("broken.jpg", "\xFF\xD8\xFF\xE0 this is not really a picture");
    testing::internal::CaptureStderr();
    const CTextureFreeImage texture("broken.jpg");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("Unable to load image: broken.jpg (", 0), 0u) << said;
    EXPECT_TRUE(said.ends_with(")\n")) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(LevelZeroWidth(texture.textureId), 0);
}

// A cut JPEG decodes with grey rows where its data ends: it is drawn, but
// said to be damaged, and a live rebuild fails on it as on a missing file.
TEST_F(Textures, ADamagedPictureIsDrawnSaidAndNoted)
{
    const ScriptFolder folder;
    ASSERT_TRUE(WriteTwoBandPicture((folder.Root() / "whole.jpg").string(), FIF_JPEG, 24, {255, 0, 0, 255},
                                    {0, 0, 255, 255}, 64));
    const std::string whole = ReadBytes(folder.Root() / "whole.jpg");
    folder.WriteFile("cut.jpg", whole.substr(0, whole.size() - 20));  // into the picture's data
    UnreadableFiles listener;
    testing::internal::CaptureStderr();
    {
        const CTextureFreeImage intact("whole.jpg");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    }
    testing::internal::CaptureStderr();
    const CTextureFreeImage texture("cut.jpg");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "The image cut.jpg is damaged: Premature end of JPEG file\n");
    EXPECT_EQ(listener.noted, std::vector<std::string>{"cut.jpg"});
    EXPECT_EQ(LevelZeroWidth(texture.textureId), 64);
}

TEST_F(Textures, DestructionReleasesTheName)
{
    GLuint name = 0;
    {
        CTexture texture;
        name = texture.textureId;
        const Rgba pixel = red;
        texture.Upload({&pixel.r, 1, 1, false, GL_RGBA});
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));
}

// The levels a picture brings along (worked out while it decodes, off the
// GL thread) are texel for texel those GLU builds from the same pixels.
TEST_F(Textures, PrecomputedMipmapsAreThoseGluBuilds)
{
    ScriptFolder folder;
    constexpr int noiseSide = 64;
    FIBITMAP* bitmap = FreeImage_Allocate(noiseSide, noiseSide, 32);
    std::srand(7);
    for (int y = 0; y < noiseSide; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < noiseSide * 4; ++x) {
            line[x] = static_cast<BYTE>(std::rand() & 0xFF);
        }
    }
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, bitmap, "noise.png", PNG_DEFAULT));
    FreeImage_Unload(bitmap);

    const DecodedPicture picture = DecodePicture("noise.png");
    ASSERT_EQ(picture.levels.size(), 7u) << "64, 32, ..., 1";
    CTexture precomputed;
    precomputed.UploadLevels(picture.levels);
    CTexture built;
    built.Upload({picture.levels.front().pixels.get(), noiseSide, noiseSide, false, GL_RGBA});
    for (int level = 0; level < 7; ++level) {
        const int levelSide = noiseSide >> level;
        EXPECT_EQ(TextureTexels(precomputed.textureId, levelSide, levelSide, level),
                  TextureTexels(built.textureId, levelSide, levelSide, level))
            << "level " << level;
    }
    EXPECT_EQ(TextureParameter(precomputed.textureId, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(precomputed.textureId, GL_TEXTURE_WRAP_S), GL_REPEAT);
}
