#include "picture/Mask.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace {

// One running-sum box pass over a line of `count` values spaced `stride`
// apart; the line's end values stand in for what lies beyond it.
void BoxPass(float* line, int count, std::size_t stride, int radius, std::vector<float>& scratch)
{
    scratch.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        scratch[static_cast<std::size_t>(i)] = line[static_cast<std::size_t>(i) * stride];
    }
    const auto sample = [&](int i) { return scratch[static_cast<std::size_t>(std::clamp(i, 0, count - 1))]; };

    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i) {
        sum += sample(i);
    }
    for (int i = 0; i < count; ++i) {
        line[static_cast<std::size_t>(i) * stride] = sum * scale;
        sum += sample(i + radius + 1) - sample(i - radius);
    }
}

// Three box passes whose variances, (w^2 - 1) / 12 each for a box w pixels
// wide, add up as closely as odd widths allow to the Gaussian's sigma^2:
// the narrower width for the first passes, two pixels wider for the rest.
std::array<int, 3> BoxRadii(float sigma)
{
    constexpr int passes = 3;
    const double variance = static_cast<double>(sigma) * sigma;
    int narrow = static_cast<int>(std::floor(std::sqrt(12.0 * variance / passes + 1.0)));
    if (narrow % 2 == 0) {
        --narrow;
    }
    const double wideCount = (12.0 * variance - passes * (narrow * narrow - 1.0)) / (4.0 * narrow + 4.0);
    const int narrowPasses = passes - std::clamp(static_cast<int>(std::lround(wideCount)), 0, passes);
    std::array<int, 3> radii{};
    for (int pass = 0; pass < passes; ++pass) {
        radii[static_cast<std::size_t>(pass)] = ((pass < narrowPasses ? narrow : narrow + 2) - 1) / 2;
    }
    return radii;
}

}  // namespace

Mask::Mask(int width, int height) : width(width), height(height), values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0f)
{
    if (width <= 0 || height <= 0) {
        throw std::invalid_argument("A mask needs a positive size");
    }
}

Mask Mask::FromCoverage(int width, int height, const std::function<float(float x, float y)>& coverage)
{
    Mask mask(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            mask.At(x, y) = coverage(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
        }
    }
    return mask;
}

Mask Mask::Blurred(float sigma) const
{
    Mask result = *this;
    std::vector<float> scratch;
    for (const int radius : BoxRadii(sigma)) {
        if (radius == 0) {
            continue;
        }
        for (int y = 0; y < height; ++y) {
            BoxPass(&result.values[result.Index(0, y)], width, 1, radius, scratch);
        }
        for (int x = 0; x < width; ++x) {
            BoxPass(&result.values[result.Index(x, 0)], height, static_cast<std::size_t>(width), radius, scratch);
        }
    }
    return result;
}

void Mask::Shape(const std::function<float(float x, float y)>& factor)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            At(x, y) *= factor(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
        }
    }
}
