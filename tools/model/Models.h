#pragma once

#include "model/Model3dsWriter.h"

// The show's models, sized for a camera about 500 units away: each is about
// 250 units across, centred on the origin.
namespace Models {

// A (2, 3) torus knot: one smooth tube, no creases, for chrome mapping and
// for twisting in strips.
ModelScene TorusKnot();

// A ring whose six-sided, gently bulging cross-section turns a third of a
// revolution on the way round: smooth along each side, creased between them.
ModelScene TwistedRing();

}  // namespace Models
