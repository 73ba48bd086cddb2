#pragma once

#include "picture/Canvas.h"

// The pictures of the model effects, all full size (Pictures::size).
namespace Pictures {

// Environment maps for models mapped through their eye-space normals. The
// texture repeats and is read from -1 to 1 both ways, so each map tiles
// seamlessly and puts its bright horizon on its top and bottom edges.
Canvas ChromeEnvironment();
Canvas HorizonEnvironment();

// Additive backdrop layers behind the chrome model: soft shapes, and the
// brighter shapes that flash with the beat; black is invisible.
Canvas RubberBackdrop();
Canvas RubberBeatBackdrop();

// For the feedback zoomer: a frame of light around a black centre, a swirl
// and a flower, each bright on black.
Canvas GlowFrame();
Canvas Swirl();
Canvas Flower();

// Four stylised head-and-shoulders portraits, each lit in its own colours
// on black.
Canvas PortraitSesk();
Canvas PortraitMig();
Canvas PortraitTolvik();
Canvas PortraitBust();

}  // namespace Pictures
