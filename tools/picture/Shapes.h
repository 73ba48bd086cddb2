#pragma once

// Coverage helpers for shapes given by signed distances in pixels (negative
// inside): one pixel of smooth edge gives clean anti-aliased outlines.
namespace Shapes {

float Clamp01(float value);

// 0 below edge0, 1 above edge1, a smooth S between.
float SmoothStep(float edge0, float edge1, float value);

// Coverage of a pixel whose centre lies at this signed distance from an edge.
float EdgeCoverage(float signedDistance);

// A filled disc.
float DiscCoverage(float x, float y, float centreX, float centreY, float radius);

// A ring of the given width centred on the circle's radius.
float RingCoverage(float x, float y, float centreX, float centreY, float radius, float ringWidth);

// A round glow: 1 at the centre falling off like a Gaussian of this size.
float Glow(float x, float y, float centreX, float centreY, float size);

}  // namespace Shapes
