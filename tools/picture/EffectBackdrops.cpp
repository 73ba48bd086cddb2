#include <algorithm>
#include <cmath>

#include "picture/ColorRamp.h"
#include "picture/EffectPictures.h"
#include "picture/Lettering.h"
#include "picture/Scenery.h"
#include "picture/Shapes.h"

namespace EffectPictures {

namespace {

constexpr float extent = static_cast<float>(backdropSize);
constexpr float tau = 6.2831853f;
// Full-screen pictures are stretched to a 16:9 window: letters are set this
// much taller so that they look true there.
constexpr float screenStretch = 16.0f / 9.0f;

float Gauss(float value, float width)
{
    return std::exp(-(value * value) / (width * width));
}

// The distance between two positions on a circle of the given length.
float WrappedDistance(float a, float b, float length)
{
    const float d = std::fabs(a - b);
    return std::min(d, length - d);
}

Canvas Flipped(const Canvas& source)
{
    Canvas flipped(source.Width(), source.Height());
    flipped.Paint([&](float x, float y) { return source.At(static_cast<int>(x), source.Height() - 1 - static_cast<int>(y)); });
    return flipped;
}

// The landscape the tunnel flies out to, shared by its picture and its
// lights so that they line up.
struct Landscape {
    std::vector<float> far = Scenery::RidgeLine(backdropSize, extent * 0.6f, 150.0f, 41);
    std::vector<float> near = Scenery::RidgeLine(backdropSize, extent * 0.74f, 120.0f, 47);
    Mask stars = Scenery::StarField(backdropSize, backdropSize, 220, 43, extent * 0.6f);

    float AuroraAt(float x, float y) const
    {
        const float edge = extent * 0.34f + 60.0f * std::sin(x / extent * tau * 1.3f + 0.8f) + 22.0f * std::sin(x / extent * tau * 3.7f);
        const float above = edge - y;
        const float lowerEdge = Shapes::SmoothStep(-8.0f, 6.0f, above);
        const float rays = 0.35f + 0.65f * std::pow(0.5f + 0.5f * std::sin(x * 0.045f + 1.5f * std::sin(x * 0.011f)), 2.0f);
        return lowerEdge * std::exp(-std::max(above, 0.0f) / 150.0f) * rays;
    }

    float HorizonGlowAt(float x, float y) const
    {
        const float ridge = far[static_cast<std::size_t>(std::clamp(static_cast<int>(x), 0, backdropSize - 1))];
        return Gauss((y - ridge) / extent, 0.07f) * Gauss((x - extent * 0.62f) / extent, 0.28f);
    }
};

// The picture's lights only: stars and aurora above the far ridge, the warm
// glow along it.
Canvas LandscapeLights(const Landscape& land, float starStrength, float auroraStrength, float glowStrength)
{
    Canvas canvas(backdropSize, backdropSize);
    const Mask sky = Scenery::BelowLine(land.far, backdropSize);
    canvas.AddLight([&](float x, float y) {
        const float open = 1.0f - sky.At(static_cast<int>(x), static_cast<int>(y));
        const float star = land.stars.At(static_cast<int>(x), static_cast<int>(y));
        const float aurora = land.AuroraAt(x, y);
        const Color auroraColor = Mix(Palette::cyan, Mix(Palette::deepTeal, Palette::coral, 0.35f), Shapes::Clamp01((extent * 0.34f - y) / 300.0f));
        return (Palette::bone * (starStrength * star) + auroraColor * (auroraStrength * aurora)) * open +
               Mix(Palette::amber, Palette::coral, 0.3f) * (glowStrength * land.HorizonGlowAt(x, y));
    });
    return canvas;
}

}  // namespace

Canvas StrobeBars()
{
    // Four light bars of different widths on night blue; the tile repeats
    // across the strip, so every distance wraps around its width.
    constexpr float width = static_cast<float>(spriteSize);
    constexpr float bars[][3] = {{0.1f, 10.0f, 1.0f}, {0.34f, 4.0f, 0.7f}, {0.56f, 22.0f, 0.8f}, {0.81f, 6.0f, 0.9f}};
    Canvas canvas(spriteSize, spriteSize);
    const ColorRamp base{{0.0f, Palette::abyss}, {0.5f, Palette::night}, {1.0f, Palette::abyss}};
    canvas.Paint([&](float, float y) { return base.At(y / width); });
    canvas.AddLight([&](float x, float y) {
        const float shimmer = 0.8f + 0.2f * std::sin(y / width * tau * 3.0f);
        Color light{};
        for (const auto& bar : bars) {
            const float d = WrappedDistance(x, bar[0] * width, width);
            const float core = Gauss(d, bar[1]);
            const float glow = Gauss(d, bar[1] * 5.0f);
            light = light + (Mix(Palette::cyan, Palette::bone, 0.45f) * core * 0.9f + Palette::deepTeal * glow * 0.9f) * (bar[2] * shimmer);
        }
        return light;
    });
    return canvas;
}

Canvas StrobeText()
{
    // White lettering on black darkens the strobe's bars behind it; a soft
    // halo gives it a shadow.
    Canvas canvas(backdropSize, backdropSize);
    const Lettering sans(Fonts::sansBold);
    const Mask word = sans.Set("SIGNAL", {150, 0.28f, screenStretch}, backdropSize, backdropSize, extent * 0.5f, extent * 0.5f);
    const Mask rule = Mask::FromCoverage(backdropSize, backdropSize, [](float x, float y) {
        const float along = Shapes::SmoothStep(0.12f, 0.3f, x / extent) * Shapes::SmoothStep(0.88f, 0.7f, x / extent);
        return along * (Shapes::EdgeCoverage(std::fabs(y - extent * 0.27f) - 3.0f) + Shapes::EdgeCoverage(std::fabs(y - extent * 0.73f) - 3.0f));
    });
    canvas.AddLight(word.Blurred(18.0f), Palette::bone * 0.35f);
    canvas.Cover(word, Color{1.0f, 1.0f, 1.0f});
    canvas.Cover(rule, Color{1.0f, 1.0f, 1.0f});
    return canvas;
}

Canvas NightLandscape()
{
    // Lit enough to read clearly as it rises behind the clouds: the tunnel
    // shows it at nine tenths at most, faded in from black.
    const Landscape land;
    Canvas canvas(backdropSize, backdropSize);
    const ColorRamp sky{{0.0f, Palette::night},
                        {0.4f, Mix(Palette::night, Palette::deepTeal, 0.45f)},
                        {0.62f, Mix(Palette::deepTeal, Palette::cyan, 0.3f)}};
    canvas.Paint([&](float, float y) { return sky.At(y / extent); });
    const Canvas lights = LandscapeLights(land, 0.8f, 0.45f, 0.5f);
    canvas.AddLight([&](float x, float y) { return lights.At(static_cast<int>(x), static_cast<int>(y)); });

    const ColorRamp farFill{{0.55f, Mix(Palette::night, Palette::deepTeal, 0.8f)}, {1.0f, Palette::night}};
    canvas.Cover(Scenery::BelowLine(land.far, backdropSize), [&](float, float y) { return farFill.At(y / extent); });
    canvas.AddLight(Scenery::RimAlong(land.far, backdropSize, 4.0f), Mix(Palette::cyan, Palette::amber, 0.4f) * 0.7f);
    canvas.Cover(Scenery::BelowLine(land.near, backdropSize), [](float, float y) {
        return Mix(Mix(Palette::night, Palette::deepTeal, 0.2f), Palette::abyss, Shapes::Clamp01((y / extent - 0.7f) * 3.0f));
    });
    canvas.AddLight(Scenery::RimAlong(land.near, backdropSize, 2.0f), Palette::cyan * 0.5f);
    return canvas;
}

Canvas NightLandscapeLights()
{
    // Shown mirrored top to bottom by the effect: painted upside down so that
    // on screen the lights lie over the landscape's own.
    return Flipped(LandscapeLights(Landscape{}, 1.0f, 1.0f, 1.0f));
}

Canvas ZoomerBackdrop()
{
    // A deep radial gradient with slow nebula swirls; it sways and turns, so
    // it has no up and no edge worth seeing.
    Canvas canvas(backdropSize, backdropSize);
    const ColorRamp depth{{0.0f, Mix(Palette::deepTeal, Palette::cyan, 0.25f)}, {0.35f, Palette::deepTeal}, {0.8f, Palette::night}, {1.2f, Palette::abyss}};
    canvas.Paint([&](float x, float y) {
        const float u = (x - extent * 0.5f) / (extent * 0.5f);
        const float v = (y - extent * 0.5f) / (extent * 0.5f);
        const float radius = std::hypot(u, v);
        const float swirl = Noise(u * 2.5f + std::sin(radius * 3.0f), v * 2.5f + std::cos(radius * 3.0f), 5, 61u);
        return depth.At(radius + 0.25f * (swirl - 0.5f)) + Palette::coral * (0.08f * Shapes::SmoothStep(0.55f, 0.8f, swirl));
    });
    return canvas;
}

Canvas ZoomerStreaks()
{
    // Streaks of light bursting from the centre, mostly cyan, a few amber.
    Canvas canvas(backdropSize, backdropSize);
    canvas.AddLight([](float x, float y) {
        const float u = (x - extent * 0.5f) / (extent * 0.5f);
        const float v = (y - extent * 0.5f) / (extent * 0.5f);
        const float radius = std::hypot(u, v);
        const float angle = std::atan2(v, u) / tau + 0.5f;
        const float streak = std::pow(Noise(angle * 48.0f, 0.5f, 3, 71u, 48), 6.0f) * 6.0f;
        const float warm = std::pow(Noise(angle * 12.0f, 4.5f, 2, 73u, 12), 10.0f) * 12.0f;
        const float along = Shapes::SmoothStep(0.05f, 0.4f, radius) * Shapes::SmoothStep(1.35f, 0.5f, radius);
        return (Palette::cyan * streak + Palette::amber * warm) * (0.3f * along) + Palette::deepTeal * (0.3f * Gauss(radius, 0.35f));
    });
    return canvas;
}

Canvas SolarisVeil()
{
    // Darkens the screen where white: a vignette closing in from the
    // corners and the show's name cut out of the light near the bottom.
    Canvas canvas(backdropSize, backdropSize);
    canvas.AddLight([](float x, float y) {
        const float u = (x - extent * 0.5f) / (extent * 0.4f);
        const float v = (y - extent * 0.5f) / (extent * 0.4f);
        const float shade = 0.85f * Shapes::SmoothStep(0.9f, 1.5f, std::hypot(u, v));
        return Color{shade, shade, shade};
    });
    const Lettering sans(Fonts::sansBold);
    const Mask name = sans.Set("KESTROVA", {56, 0.6f, screenStretch}, backdropSize, backdropSize, extent * 0.5f, extent * 0.7f);
    canvas.Cover(name, Color{1.0f, 1.0f, 1.0f});
    return canvas;
}

Canvas SpikeSkin()
{
    // Wrapped round each spike: s runs around it, t along it. Rings of
    // brushed teal steel with bright cyan seams; the brushing repeats
    // around the spike without a seam.
    constexpr float width = static_cast<float>(spriteSize);
    Canvas canvas(spriteSize, spriteSize);
    // Bright: the ball is lit by little more than highlights, which the skin
    // scales.
    const ColorRamp steel{{0.0f, Mix(Palette::deepTeal, Palette::night, 0.3f)}, {0.45f, Mix(Palette::deepTeal, Palette::bone, 0.45f)},
                          {0.8f, Mix(Palette::cyan, Palette::bone, 0.6f)}, {1.0f, Palette::bone}};
    canvas.Paint([&](float x, float y) {
        const float t = y / width;
        const float band = 0.5f + 0.5f * std::cos(t * tau * 6.0f);
        const float brushed = 0.5f + 0.4f * (Noise(x / width * 64.0f, t * 4.0f, 3, 83u, 64) - 0.5f);
        const float seam = Gauss(std::fmod(t * 6.0f + 0.5f, 1.0f) - 0.5f, 0.03f);
        return steel.At(0.25f + 0.5f * band + 0.25f * (brushed - 0.5f)) + Palette::cyan * (0.8f * seam);
    });
    return canvas;
}

Canvas BallBackdrop()
{
    // A luminous teal sky, brightest in a wide halo round the centre where
    // the ball tumbles and darkening to night at the corners, with faint
    // rings, an amber dawn low down and a few stars: the dark, lit ball
    // stands out against it. The effect shows it at half brightness between
    // beats.
    Canvas canvas(backdropSize, backdropSize);
    const ColorRamp sky{{0.0f, Mix(Palette::cyan, Palette::bone, 0.3f)},
                        {0.45f, Mix(Palette::deepTeal, Palette::cyan, 0.55f)},
                        {0.95f, Mix(Palette::night, Palette::deepTeal, 0.6f)},
                        {1.45f, Palette::night}};
    canvas.Paint([&](float x, float y) {
        const float u = (x - extent * 0.5f) / (extent * 0.5f);
        const float v = (y - extent * 0.5f) / (extent * 0.5f);
        const float radius = std::hypot(u, v);
        const float rings = std::pow(0.5f + 0.5f * std::cos(radius * tau * 4.0f), 6.0f) * Shapes::SmoothStep(1.1f, 0.2f, radius);
        return sky.At(radius) + Palette::bone * (0.08f * rings) + Palette::amber * (0.3f * Gauss(v + 0.7f, 0.3f));
    });
    canvas.AddLight(Scenery::StarField(backdropSize, backdropSize, 120, 89, extent), Palette::bone * 0.6f);
    return canvas;
}

}  // namespace EffectPictures
