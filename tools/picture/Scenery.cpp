#include "picture/Scenery.h"

#include <algorithm>
#include <cmath>

#include "common/SeededRandom.h"
#include "picture/Shapes.h"

namespace Scenery {

namespace {

// The outline's slope at a column, for distances measured across the edge
// rather than straight down.
float SlopeAt(const std::vector<float>& outline, int x)
{
    const int last = static_cast<int>(outline.size()) - 1;
    const int left = std::max(x - 1, 0);
    const int right = std::min(x + 1, last);
    return right > left ? (outline[static_cast<std::size_t>(right)] - outline[static_cast<std::size_t>(left)]) / static_cast<float>(right - left) : 0.0f;
}

}  // namespace

void AddGlowSpot(Mask& mask, float centreX, float centreY, float size, float intensity)
{
    const int reach = static_cast<int>(std::ceil(size * 3.5f)) + 1;
    const int left = std::max(0, static_cast<int>(centreX) - reach);
    const int right = std::min(mask.Width() - 1, static_cast<int>(centreX) + reach);
    const int top = std::max(0, static_cast<int>(centreY) - reach);
    const int bottom = std::min(mask.Height() - 1, static_cast<int>(centreY) + reach);
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            mask.At(x, y) += intensity * Shapes::Glow(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, centreX, centreY, size);
        }
    }
}

Mask StarField(int width, int height, int count, std::uint64_t seed, float lowestY)
{
    Mask stars(width, height);
    SeededRandom random(seed);
    for (int i = 0; i < count; ++i) {
        const float x = random.Between(0.0f, static_cast<float>(width));
        // Denser towards the top, where the sky is darkest.
        const float y = lowestY * random.Unit() * random.Between(0.35f, 1.0f);
        const float brightness = random.Unit();
        const float intensity = 0.25f + 0.75f * brightness * brightness;
        AddGlowSpot(stars, x, y, 0.9f + 0.6f * brightness, intensity);
        if (brightness > 0.9f) {
            AddGlowSpot(stars, x, y, 6.0f, 0.12f);
        }
    }
    return stars;
}

std::vector<float> RidgeLine(int width, float baseY, float spread, std::uint64_t seed)
{
    constexpr int segments = 64;
    SeededRandom random(seed);
    std::vector<float> points(segments + 1, baseY);
    points.front() = baseY + random.Between(-spread, spread) * 0.5f;
    points.back() = baseY + random.Between(-spread, spread) * 0.5f;
    float displacement = spread;
    for (int step = segments; step > 1; step /= 2) {
        for (int i = step / 2; i < segments; i += step) {
            const float middle = 0.5f * (points[static_cast<std::size_t>(i - step / 2)] + points[static_cast<std::size_t>(i + step / 2)]);
            points[static_cast<std::size_t>(i)] = middle + random.Between(-displacement, displacement);
        }
        displacement *= 0.52f;
    }

    std::vector<float> outline(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const float position = (static_cast<float>(x) + 0.5f) / static_cast<float>(width) * segments;
        const int index = std::min(static_cast<int>(position), segments - 1);
        const float t = position - static_cast<float>(index);
        outline[static_cast<std::size_t>(x)] = points[static_cast<std::size_t>(index)] * (1.0f - t) + points[static_cast<std::size_t>(index + 1)] * t;
    }
    return outline;
}

Mask BelowLine(const std::vector<float>& outline, int height)
{
    const int width = static_cast<int>(outline.size());
    Mask mask(width, height);
    for (int x = 0; x < width; ++x) {
        const float slope = SlopeAt(outline, x);
        const float across = 1.0f / std::sqrt(1.0f + slope * slope);
        for (int y = 0; y < height; ++y) {
            const float distanceInside = (static_cast<float>(y) + 0.5f - outline[static_cast<std::size_t>(x)]) * across;
            mask.At(x, y) = Shapes::EdgeCoverage(-distanceInside);
        }
    }
    return mask;
}

Mask RimAlong(const std::vector<float>& outline, int height, float thickness)
{
    const int width = static_cast<int>(outline.size());
    Mask mask(width, height);
    for (int x = 0; x < width; ++x) {
        const float slope = SlopeAt(outline, x);
        const float across = 1.0f / std::sqrt(1.0f + slope * slope);
        for (int y = 0; y < height; ++y) {
            const float depth = (static_cast<float>(y) + 0.5f - outline[static_cast<std::size_t>(x)]) * across;
            mask.At(x, y) = depth < -0.5f ? 0.0f : Shapes::EdgeCoverage(-depth) * std::exp(-std::max(depth, 0.0f) / thickness);
        }
    }
    return mask;
}

}  // namespace Scenery
