#pragma once

#include <cstdint>

#include "gfx/Texture.h"

namespace Effekter {

// How far a model effect stands off at the edges of its window: 1 at both
// ends, falling to 0 over the first 250 ms and rising back over the last.
float EdgeAmount(std::uint32_t time, std::uint32_t startTime, std::uint32_t endTime);

// The two-layer additive backdrop behind the chrome model: a base layer in
// baseColour and a layer that flashes in beatColour, pushed down the
// screen by edge (half a screen at 1) and twice the screen's size at music
// time 0, shrinking to screen size at 10 s. Leaves depth test and
// blending off and the screen perspective in force.
void DrawRubberBackdrop(const CTexture& base, const CTexture& beatLayer, float edge, std::uint32_t time, float baseColour,
                        float beatColour);

}  // namespace Effekter
