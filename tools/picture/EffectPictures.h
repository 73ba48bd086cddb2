#pragma once

#include <vector>

#include "AssetList.h"
#include "picture/Canvas.h"

// The pictures of the image effects. Most are drawn with additive or
// colour-keyed blending, so they are light on pure black that falls off to
// black well inside their edges; the layers that darken the screen are white
// where they darken; backdrops are full pictures.
namespace EffectPictures {

constexpr int spriteSize = 512;
constexpr int backdropSize = 1024;

// Every picture of the image effects, by its path under the data folder.
std::vector<PictureAsset> Assets();

// Stroboskop: a tile of vertical light bars repeated across a wide strip,
// lettering that darkens, and a pinwheel spiral.
Canvas StrobeBars();
Canvas StrobeText();
Canvas StrobeTwist();

// Tunnel: one cloud puff, a night landscape, and that landscape's lights
// alone, painted upside down because the effect shows them mirrored.
Canvas CloudPuff();
Canvas NightLandscape();
Canvas NightLandscapeLights();

// Zoomba and Zoombb: two versions of a ring sprite, a deep backdrop and its
// streaks of light.
Canvas ZoomerRing();
Canvas ZoomerStarRing();
Canvas ZoomerBackdrop();
Canvas ZoomerStreaks();

// ColorBox: a rounded tile glow and the warm mark of the target tile.
Canvas TileGlow();
Canvas TileMark();

// Solaris: a soft glow, a sharp star burst and a darkening veil with lettering.
Canvas SoftGlow();
Canvas StarBurst();
Canvas SolarisVeil();

// NanoBall: metal bands wrapped round the spikes, the flare on their tips
// and the backdrop.
Canvas SpikeSkin();
Canvas CapFlare();
Canvas BallBackdrop();

// Smooth value noise in about [0, 1], repeating every `period` cells across
// x (0 for no repeat); several octaves summed.
float Noise(float x, float y, int octaves, unsigned seed, int period = 0);

}  // namespace EffectPictures
