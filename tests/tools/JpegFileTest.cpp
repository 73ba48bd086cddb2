#include <FreeImage.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "support/TemporaryFolder.h"
#include "picture/JpegFile.h"

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

struct Rgb {
    int r;
    int g;
    int b;
};

// The colour at a pixel counted from the top-left, as any viewer shows it.
Rgb PixelFromTop(FIBITMAP* bitmap, int x, int y)
{
    const BYTE* pixel = FreeImage_GetScanLine(bitmap, static_cast<int>(FreeImage_GetHeight(bitmap)) - 1 - y) + 3 * x;
    return {pixel[FI_RGBA_RED], pixel[FI_RGBA_GREEN], pixel[FI_RGBA_BLUE]};
}

Bitmap SaveAndLoad(const Canvas& canvas)
{
    const TemporaryFolder folder;
    const std::filesystem::path path = folder.Path() / "picture.jpg";
    SaveJpeg(canvas, path);
    return Bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0));
}

}  // namespace

TEST(JpegFile, KeepsTheTopRowAtTheTopAndEachChannelInPlace)
{
    Canvas canvas(64, 32);
    canvas.Paint([](float, float y) { return y < 16.0f ? Color{1.0f, 0.0f, 0.0f} : Color{0.0f, 0.0f, 1.0f}; });
    const Bitmap bitmap = SaveAndLoad(canvas);
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(FreeImage_GetBPP(bitmap.get()), 24u);
    const Rgb top = PixelFromTop(bitmap.get(), 32, 4);
    const Rgb bottom = PixelFromTop(bitmap.get(), 32, 28);
    EXPECT_GT(top.r, 230);
    EXPECT_LT(top.b, 25);
    EXPECT_GT(bottom.b, 230);
    EXPECT_LT(bottom.r, 25);
}

TEST(JpegFile, RollsLightPastFullScaleOffInsteadOfWrapping)
{
    Canvas canvas(16, 16);
    canvas.Paint([](float x, float) { return x < 8.0f ? Color{3.0f, 3.0f, 3.0f} : Color{-1.0f, -1.0f, -1.0f}; });
    const Bitmap bitmap = SaveAndLoad(canvas);
    ASSERT_TRUE(bitmap);
    EXPECT_GT(PixelFromTop(bitmap.get(), 2, 8).g, 245);
    EXPECT_LT(PixelFromTop(bitmap.get(), 13, 8).g, 10);
}

TEST(JpegFile, KeepsMidTonesAsPainted)
{
    Canvas canvas(16, 16);
    canvas.Paint([](float, float) { return Color{0.5f, 0.25f, 0.75f}; });
    const Bitmap bitmap = SaveAndLoad(canvas);
    ASSERT_TRUE(bitmap);
    const Rgb pixel = PixelFromTop(bitmap.get(), 8, 8);
    EXPECT_NEAR(pixel.r, 128, 3);
    EXPECT_NEAR(pixel.g, 64, 3);
    EXPECT_NEAR(pixel.b, 191, 3);
}

TEST(JpegFile, ReportsAFolderThatDoesNotExist)
{
    const TemporaryFolder folder;
    EXPECT_THROW(SaveJpeg(Canvas(8, 8), folder.Path() / "missing" / "picture.jpg"), std::runtime_error);
}
