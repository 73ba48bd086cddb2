#include "support/TestPictures.h"

#include <FreeImage.h>

#include <stdexcept>

#include "support/Pictures.h"

namespace {

constexpr int side = 64;

void Require(bool saved, const std::filesystem::path& path)
{
    if (!saved) {
        throw std::runtime_error("cannot write the picture " + path.string());
    }
}

}  // namespace

void WriteSolidPicture(const std::filesystem::path& path, Rgba colour)
{
    WriteBandedPicture(path, colour, colour);
}

void WriteBandedPicture(const std::filesystem::path& path, Rgba top, Rgba bottom)
{
    std::filesystem::create_directories(path.parent_path());
    Require(WriteTwoBandPicture(path.string(), FIF_PNG, 24, top, bottom, side), path);
}

void WriteSplitPicture(const std::filesystem::path& path, Rgba left, Rgba right)
{
    std::filesystem::create_directories(path.parent_path());
    FIBITMAP* bitmap = FreeImage_Allocate(side, side, 24);
    for (int row = 0; row < side; ++row) {
        BYTE* line = FreeImage_GetScanLine(bitmap, row);
        for (int x = 0; x < side; ++x) {
            const Rgba colour = x < side / 2 ? left : right;
            line[x * 3 + FI_RGBA_RED] = colour.r;
            line[x * 3 + FI_RGBA_GREEN] = colour.g;
            line[x * 3 + FI_RGBA_BLUE] = colour.b;
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
    Require(saved, path);
}
