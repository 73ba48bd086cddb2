#include "picture/JpegFile.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace {

constexpr int jpegQuality = 90;

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// Light added past 1 rolls off smoothly instead of flattening into a hard
// plateau around bright glows.
float SoftShoulder(float value)
{
    constexpr float knee = 0.85f;
    if (value <= knee) {
        return value;
    }
    return knee + (1.0f - knee) * (1.0f - std::exp(-(value - knee) / (1.0f - knee)));
}

// An 8 x 8 ordered dither, below one step of 8 bits: slow, dark gradients
// would otherwise show bands.
float DitherOffset(int x, int y)
{
    static constexpr std::uint8_t bayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
        {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21},
    };
    return (static_cast<float>(bayer[y & 7][x & 7]) + 0.5f) / 64.0f;
}

BYTE Quantise(float value, int x, int y)
{
    const float scaled = SoftShoulder(std::max(value, 0.0f)) * 255.0f + DitherOffset(x, y);
    return static_cast<BYTE>(std::clamp(static_cast<int>(scaled), 0, 255));
}

Bitmap ToBitmap(const Canvas& canvas, const std::filesystem::path& path)
{
    const int width = canvas.Width();
    const int height = canvas.Height();
    Bitmap bitmap(FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    if (!bitmap) {
        throw std::runtime_error("Unable to allocate a bitmap for " + path.string());
    }
    for (int y = 0; y < height; ++y) {
        // FreeImage keeps the bottom row first.
        BYTE* line = FreeImage_GetScanLine(bitmap.get(), height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const Color color = canvas.At(x, y);
            BYTE* pixel = line + 3 * x;
            pixel[FI_RGBA_RED] = Quantise(color.r, x, y);
            pixel[FI_RGBA_GREEN] = Quantise(color.g, x, y);
            pixel[FI_RGBA_BLUE] = Quantise(color.b, x, y);
        }
    }
    return bitmap;
}

}  // namespace

void SaveJpeg(const Canvas& canvas, const std::filesystem::path& path)
{
    const Bitmap bitmap = ToBitmap(canvas, path);
    // Full-resolution colour keeps thin cyan lines and lettering edges clean.
    const int flags = jpegQuality | JPEG_SUBSAMPLING_444 | JPEG_OPTIMIZE;
    if (!FreeImage_Save(FIF_JPEG, bitmap.get(), path.c_str(), flags)) {
        throw std::runtime_error("Unable to save " + path.string());
    }
}

void SaveScaledPng(const Canvas& canvas, int side, const std::filesystem::path& path)
{
    const Bitmap full = ToBitmap(canvas, path);
    const Bitmap scaled(FreeImage_Rescale(full.get(), side, side, FILTER_CATMULLROM));
    if (!scaled || !FreeImage_Save(FIF_PNG, scaled.get(), path.c_str(), PNG_Z_BEST_COMPRESSION)) {
        throw std::runtime_error("Unable to save " + path.string());
    }
}
