#include "picture/Shapes.h"

#include <algorithm>
#include <cmath>

namespace Shapes {

float Clamp01(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

float SmoothStep(float edge0, float edge1, float value)
{
    const float t = Clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float EdgeCoverage(float signedDistance)
{
    return Clamp01(0.5f - signedDistance);
}

float DiscCoverage(float x, float y, float centreX, float centreY, float radius)
{
    return EdgeCoverage(std::hypot(x - centreX, y - centreY) - radius);
}

float RingCoverage(float x, float y, float centreX, float centreY, float radius, float ringWidth)
{
    return EdgeCoverage(std::fabs(std::hypot(x - centreX, y - centreY) - radius) - ringWidth * 0.5f);
}

float Glow(float x, float y, float centreX, float centreY, float size)
{
    const float dx = (x - centreX) / size;
    const float dy = (y - centreY) / size;
    return std::exp(-(dx * dx + dy * dy));
}

}  // namespace Shapes
