#include <cmath>

#include "picture/EffectPictures.h"
#include "picture/Shapes.h"

namespace EffectPictures {

namespace {

constexpr float half = static_cast<float>(spriteSize) / 2.0f;
constexpr float tau = 6.2831853f;

// Position relative to the sprite's centre, in units of its half size.
struct Polar {
    float radius;
    float angle;
};

Polar PolarAt(float x, float y)
{
    const float dx = (x - half) / half;
    const float dy = (y - half) / half;
    return {std::hypot(dx, dy), std::atan2(dy, dx)};
}

// 1 well inside the sprite, falling smoothly to 0 before its edge, so that
// no square outline shows under additive blending.
float EdgeFade(float radius)
{
    return Shapes::SmoothStep(0.97f, 0.72f, radius);
}

Canvas LightSprite(const std::function<Color(Polar at)>& light)
{
    Canvas canvas(spriteSize, spriteSize);
    canvas.AddLight([&](float x, float y) {
        const Polar at = PolarAt(x, y);
        return light(at) * EdgeFade(at.radius);
    });
    return canvas;
}

float Gauss(float value, float width)
{
    return std::exp(-(value * value) / (width * width));
}

// The tube's sprites: the nearest ones fill the screen with their middle,
// which must stay black, or their stacked colour tints the whole frame.
float DarkMiddle(float radius)
{
    return Shapes::SmoothStep(0.3f, 0.45f, radius);
}

}  // namespace

Canvas StrobeTwist()
{
    // Five thin arms winding outwards, white-hot at the hub, cooling from
    // cyan to amber towards their tips.
    return LightSprite([](Polar at) {
        const float wound = at.angle - 2.4f * at.radius;
        const float arm = std::pow(0.5f + 0.5f * std::cos(5.0f * wound), 24.0f + 60.0f * at.radius);
        const float strength = arm * Shapes::SmoothStep(0.02f, 0.12f, at.radius) * (1.0f - 0.5f * at.radius);
        const Color armColor = Mix(Mix(Palette::bone, Palette::cyan, Shapes::Clamp01(at.radius * 2.5f)), Palette::amber,
                                   Shapes::SmoothStep(0.45f, 0.85f, at.radius));
        return armColor * (1.3f * strength) + Palette::bone * (0.9f * Gauss(at.radius, 0.09f)) + Palette::cyan * (0.25f * Gauss(at.radius, 0.3f));
    });
}

Canvas CloudPuff()
{
    // Billows: overlapping round lobes, their surface broken by noise.
    // Small within its quad: the tunnel's quads are far larger than the ring
    // they are laid on, and only puffs with black around them show the ring.
    // Half the size they were: seen from inside the tunnel, larger puffs
    // overlapped into one grey fog.
    constexpr float lobes[][3] = {{0.0f, 0.0f, 0.1f}, {-0.06f, 0.025f, 0.07f}, {0.065f, 0.02f, 0.065f}, {0.01f, -0.055f, 0.07f}, {-0.03f, 0.065f, 0.05f}};
    Canvas canvas(spriteSize, spriteSize);
    canvas.AddLight([&](float x, float y) {
        const float u = (x - half) / half;
        const float v = (y - half) / half;
        float density = 0.0f;
        for (const auto& lobe : lobes) {
            density += Gauss(std::hypot(u - lobe[0], v - lobe[1]), lobe[2]);
        }
        const float texture = Noise(u * 18.0f + 7.0f, v * 18.0f + 3.0f, 5, 17u);
        density = Shapes::Clamp01(1.0f - std::exp(-1.1f * density * (0.3f + 1.2f * texture)));
        const float fade = EdgeFade(std::hypot(u, v));
        // Cold to the core: the tunnel's blend squares the colour, which
        // turns a bone-white core into a beige fog.
        const Color tone = Mix(Palette::cyan * 0.6f + Palette::deepTeal * 0.4f, Mix(Palette::cyan, Palette::bone, 0.4f),
                               Shapes::SmoothStep(0.2f, 0.9f, density));
        return tone * (std::pow(density, 1.6f) * fade);
    });
    return canvas;
}

Canvas ZoomerRing()
{
    // A thin cyan ring with a faint halo: a hundred of them, a few pixels
    // apart down the tube, stay separate lines with dark between them.
    return LightSprite([](Polar at) {
        const float rim = Gauss(at.radius - 0.55f, 0.008f);
        const float halo = Gauss(at.radius - 0.55f, 0.03f);
        return (Palette::cyan * (0.75f * rim) + Palette::bone * (0.2f * rim) + Palette::deepTeal * (0.25f * halo)) *
               DarkMiddle(at.radius);
    });
}

Canvas ZoomerStarRing()
{
    // The older sprite: a thin ring with eight warm points reaching
    // outwards, thin enough that the tube's rings stay apart.
    return LightSprite([](Polar at) {
        const float rim = Gauss(at.radius - 0.5f, 0.008f);
        const float halo = Gauss(at.radius - 0.5f, 0.03f);
        const float points = std::pow(std::fabs(std::cos(4.0f * at.angle)), 60.0f) * Shapes::SmoothStep(0.5f, 0.53f, at.radius) *
                             Shapes::SmoothStep(0.75f, 0.53f, at.radius);
        return (Palette::cyan * (0.6f * rim) + Palette::bone * (0.25f * rim) + Palette::deepTeal * (0.25f * halo) +
                Palette::coral * (0.45f * points)) *
               DarkMiddle(at.radius);
    });
}

Canvas TileGlow()
{
    // A rounded square: a glowing rim and a faint fill, teal to cyan.
    Canvas canvas(spriteSize, spriteSize);
    canvas.AddLight([](float x, float y) {
        const float u = std::fabs((x - half) / half);
        const float v = std::fabs((y - half) / half);
        constexpr float boxHalf = 0.5f;
        constexpr float corner = 0.18f;
        const float qx = std::max(u - (boxHalf - corner), 0.0f);
        const float qy = std::max(v - (boxHalf - corner), 0.0f);
        const float outside = std::hypot(qx, qy) + std::min(std::max(u - (boxHalf - corner), v - (boxHalf - corner)), 0.0f) - corner;
        const float rim = Gauss(outside, 0.035f);
        const float glow = Gauss(std::max(outside, 0.0f), 0.14f);
        const float fill = outside < 0.0f ? 0.18f : 0.0f;
        const float fade = EdgeFade(std::max(u, v) * 1.05f);
        return (Palette::cyan * (0.75f * rim) + Palette::deepTeal * (0.9f * glow) + Palette::deepTeal * fill) * fade;
    });
    return canvas;
}

Canvas TileMark()
{
    // A coral diamond outline around an amber spark.
    return LightSprite([](Polar at) {
        const float diamond = std::fabs(at.radius * std::cos(at.angle)) + std::fabs(at.radius * std::sin(at.angle));
        const float outline = Gauss(diamond - 0.5f, 0.035f);
        const float halo = Gauss(diamond - 0.5f, 0.12f);
        const float spark = Gauss(at.radius, 0.1f);
        return Palette::coral * (0.9f * outline + 0.35f * halo) + Palette::amber * (0.9f * spark) + Palette::bone * (0.5f * Gauss(at.radius, 0.04f));
    });
}

Canvas SoftGlow()
{
    // A soft round glow: a pale core in a teal haze, small enough that the
    // nearest sprites, which fill the screen, do not wash it out.
    return LightSprite([](Polar at) {
        return Palette::bone * (0.55f * Gauss(at.radius, 0.07f)) + Palette::cyan * (0.3f * Gauss(at.radius, 0.16f)) +
               Palette::deepTeal * (0.3f * Gauss(at.radius, 0.3f));
    });
}

Canvas StarBurst()
{
    // Twelve sharp rays of uneven length around a hot core.
    return LightSprite([](Polar at) {
        const float sector = at.angle * 6.0f / tau * 2.0f;
        const float length = 0.45f + 0.35f * std::fabs(std::sin(std::floor(sector + 0.5f) * 2.3f));
        const float rays = std::pow(std::fabs(std::cos(6.0f * at.angle)), 80.0f) * Shapes::SmoothStep(length, 0.0f, at.radius);
        const float core = Gauss(at.radius, 0.08f);
        return Palette::amber * (0.9f * rays) + Palette::bone * (rays * 0.4f + core) + Palette::coral * (0.3f * Gauss(at.radius, 0.25f));
    });
}

Canvas CapFlare()
{
    // A bright round flare: white core, amber halo, a thin coral ring.
    return LightSprite([](Polar at) {
        return Palette::bone * Gauss(at.radius, 0.2f) + Palette::amber * (0.7f * Gauss(at.radius, 0.45f)) +
               Palette::coral * (0.5f * Gauss(at.radius - 0.7f, 0.04f));
    });
}

}  // namespace EffectPictures
