#pragma once

#include <filesystem>

#include "support/GlTestContext.h"

// Pictures for effect tests, written as 24-bit PNG files under whatever
// name the effect loads (the type is found from the contents), making the
// folders on the way. Each throws when the file cannot be written.

// One colour all over.
void WriteSolidPicture(const std::filesystem::path& path, Rgba colour);

// The top half one colour, the bottom half another.
void WriteBandedPicture(const std::filesystem::path& path, Rgba top, Rgba bottom);

// The left half one colour, the right half another.
void WriteSplitPicture(const std::filesystem::path& path, Rgba left, Rgba right);
