#include "support/Pictures.h"

bool WriteTwoBandPicture(const std::string& path, FREE_IMAGE_FORMAT format, int bitsPerPixel, Rgba top, Rgba bottom, int side)
{
    FIBITMAP* bitmap = FreeImage_Allocate(side, side, bitsPerPixel);
    const int bytes = bitsPerPixel / 8;
    for (int row = 0; row < side; ++row) {
        // The image library stores the bottom row first.
        const Rgba colour = row < side / 2 ? bottom : top;
        BYTE* line = FreeImage_GetScanLine(bitmap, row);
        for (int x = 0; x < side; ++x) {
            line[x * bytes + FI_RGBA_RED] = colour.r;
            line[x * bytes + FI_RGBA_GREEN] = colour.g;
            line[x * bytes + FI_RGBA_BLUE] = colour.b;
            if (bytes == 4) {
                line[x * bytes + FI_RGBA_ALPHA] = colour.a;
            }
        }
    }
    const bool saved = FreeImage_Save(format, bitmap, path.c_str(), 0);
    FreeImage_Unload(bitmap);
    return saved;
}
