#pragma once

#include <FreeImage.h>

#include <string>

#include "support/GlTestContext.h"

// Writes a square picture whose top half is one colour and bottom half
// another, at 24 or 32 bits per pixel, in the given file format.
bool WriteTwoBandPicture(const std::string& path, FREE_IMAGE_FORMAT format, int bitsPerPixel, Rgba top, Rgba bottom,
                         int side = 16);
