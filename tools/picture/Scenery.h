#pragma once

#include <cstdint>
#include <vector>

#include "picture/Mask.h"

// Pieces the landscapes and cards share.
namespace Scenery {

// Adds a small round glow to a mask, touching only the pixels it reaches.
void AddGlowSpot(Mask& mask, float centreX, float centreY, float size, float intensity);

// Scattered stars above a line: mostly faint points, a few with a halo.
Mask StarField(int width, int height, int count, std::uint64_t seed, float lowestY);

// A mountain ridge as the height of its outline in each pixel column: a
// polyline from midpoint displacement, crisp and graphic rather than rough.
std::vector<float> RidgeLine(int width, float baseY, float spread, std::uint64_t seed);

// Coverage of everything below an outline given per column.
Mask BelowLine(const std::vector<float>& outline, int height);

// A band of light just below an outline, for rims lit from behind.
Mask RimAlong(const std::vector<float>& outline, int height, float thickness);

}  // namespace Scenery
