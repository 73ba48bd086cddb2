#pragma once

#include "picture/Canvas.h"

// Pictures the shader effects bind. A shader makes its own picture of them,
// so most give it structure to work with rather than a finished image.
namespace ShaderPictures {

// Caustic water light in teal and cyan; repeats seamlessly both ways.
Canvas Water();

// A facade of lit and dark windows, for the tumbling boxes.
Canvas Housing();

// An opaque title card, and its flash layer: the same card's bright parts
// only, on black, exactly in register with it.
Canvas BangCard();
Canvas BangFlash();

// A bright ring on black, fading to black well inside the edges.
Canvas Ring();

// Concentric circles in teal and cyan on night.
Canvas ConcentricCircles();

// Bright lettering on black, added at a tenth of the beat.
Canvas GlowText();

// A cyan line grid on night blue with glowing crossings; repeats
// seamlessly both ways.
Canvas Grid();

// A night sky over a black ridge, for the aurora shader: sky has blue, the
// ridge has none.
Canvas NightRidge();

// Panels with glowing seams and small lamps, for the tunnel shader's walls;
// repeats seamlessly both ways.
Canvas Panels();

}  // namespace ShaderPictures
