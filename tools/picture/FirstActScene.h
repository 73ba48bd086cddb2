#pragma once

#include "picture/Canvas.h"
#include "picture/Pictures.h"

// The first act's cards are one place seen from night to dawn: the same sky
// over the same water, framed by the same hills, each card adding its own
// light to it.
namespace FirstActScene {

// Where the sky meets the water, in pixels from the top.
constexpr float horizon = 0.62f * static_cast<float>(Pictures::size);

// Sky, stars, the glow along the horizon and the water below it. dawn runs
// from 0, deep night, to 1, the sun about to rise.
void PaintSkyAndWater(Canvas& canvas, float dawn);

// The hills on either side, standing on the horizon and lit along their
// rim by whatever light the sky holds.
void AddHills(Canvas& canvas, float dawn);

}  // namespace FirstActScene
