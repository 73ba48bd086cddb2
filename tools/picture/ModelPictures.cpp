#include "picture/ModelPictures.h"

#include <algorithm>
#include <cmath>

#include "picture/ColorRamp.h"
#include "picture/Pictures.h"
#include "picture/Scenery.h"
#include "picture/Shapes.h"

namespace Pictures {

namespace {

constexpr float extent = static_cast<float>(size);
constexpr float tau = 6.2831853f;

// Distance from the nearest of the top and bottom edges, 0 to 0.5: both
// edges meet when the texture repeats, and that is where the horizon lies.
float FromHorizon(float y)
{
    const float v = y / extent;
    return std::min(v, 1.0f - v);
}

// Soft light that fades to black towards every edge of the picture, so
// that additive layers show no square border.
float EdgeFade(float x, float y, float margin)
{
    const float d = std::min(std::min(x, extent - x), std::min(y, extent - y)) / extent;
    return Shapes::SmoothStep(0.0f, margin, d);
}

// A polar glow that repeats horizontally: a spot centred at (cx, cy) as
// seen on a texture that wraps left to right.
float WrappedGlow(float x, float y, float cx, float cy, float sizePx)
{
    float dx = std::fabs(x - cx);
    dx = std::min(dx, extent - dx);
    return Shapes::Glow(dx, y, 0.0f, cy, sizePx);
}

struct Portrait {
    float headX, headY;     // centre of the head, fractions of the picture
    float headW, headH;     // half sizes of the head, fractions
    float tilt;             // radians, positive leans right
    float shoulderWidth;    // half width, fraction
    float shoulderTop;      // fraction
    float hair;             // how far hair rises above the head, fraction
    float hairWidth;        // widening of the hair mass, fraction
    Color fill;             // the shadow side
    Color key;              // the lit side
    Color rim;              // light from behind
    float lightFromLeft;    // 1 lit from the left, -1 from the right
    bool pedestal;          // a sculpted bust on a plinth
};

float Ellipse(float x, float y, float cx, float cy, float rx, float ry, float tilt)
{
    const float dx = x - cx;
    const float dy = y - cy;
    const float c = std::cos(tilt);
    const float s = std::sin(tilt);
    const float u = (c * dx + s * dy) / rx;
    const float v = (-s * dx + c * dy) / ry;
    // Approximate distance in pixels from the outline.
    return (std::sqrt(u * u + v * v) - 1.0f) * std::min(rx, ry);
}

Mask Silhouette(const Portrait& p)
{
    return Mask::FromCoverage(size, size, [&p](float x, float y) {
        const float head = Ellipse(x, y, p.headX * extent, p.headY * extent, p.headW * extent, p.headH * extent, p.tilt);
        const float hair = Ellipse(x, y, p.headX * extent + p.tilt * 40.0f, (p.headY - p.hair) * extent, (p.headW + p.hairWidth) * extent,
                                   (p.headH * 0.8f) * extent, p.tilt);
        const float neckHalf = p.headW * 0.62f * extent;
        const float neckTop = (p.headY + p.headH * 0.6f) * extent;
        const float neck = std::max(std::fabs(x - p.headX * extent) - neckHalf, neckTop - y);
        // Shoulders: the upper half of a flat superellipse reaching the bottom.
        const float sx = (x - 0.5f * extent) / (p.shoulderWidth * extent);
        const float sy = (y - extent * 1.05f) / ((1.05f - p.shoulderTop) * extent);
        const float body = (std::pow(std::pow(std::fabs(sx), 4.0f) + std::pow(std::fabs(sy), 2.2f), 1.0f / 4.0f) - 1.0f) * 60.0f;
        float shape = std::min(std::min(head, hair), std::min(neck, body));
        if (p.pedestal) {
            // The bust ends in a clean cut above a plinth.
            const float cut = y - extent * 0.86f;
            shape = std::max(shape, cut);
            const float plinth = std::max(std::fabs(x - 0.5f * extent) - 0.2f * extent, std::fabs(y - extent * 0.93f) - 0.05f * extent);
            shape = std::min(shape, plinth);
        }
        return Shapes::EdgeCoverage(shape);
    });
}

Canvas PaintPortrait(const Portrait& p)
{
    Canvas canvas(size, size);
    canvas.Paint([](float, float) { return Color{}; });
    // A low halo behind the head so that the dark side still reads.
    canvas.AddLight(Mask::FromCoverage(size, size,
                                       [&p](float x, float y) {
                                           return 0.5f * Shapes::Glow(x, y, p.headX * extent, p.headY * extent, 0.22f * extent);
                                       }),
                    p.rim * 0.35f);
    const Mask figure = Silhouette(p);
    canvas.Cover(figure, [&p](float x, float y) {
        const float across = Shapes::Clamp01(0.5f + p.lightFromLeft * (p.headX * extent - x) / (0.35f * extent));
        const float down = Shapes::SmoothStep(0.2f, 1.0f, y / extent);
        return Mix(p.fill, p.key, across * across) * (1.0f - 0.55f * down);
    });
    // Rim light: the outline of the figure on the side away from the key.
    const Mask soft = figure.Blurred(7.0f);
    canvas.AddLight(Mask::FromCoverage(size, size,
                                       [&](float x, float y) {
                                           const int ix = static_cast<int>(x);
                                           const int iy = static_cast<int>(y);
                                           const float edge = Shapes::Clamp01(2.5f * (figure.At(ix, iy) - soft.At(ix, iy)));
                                           const float side = Shapes::Clamp01(0.5f - p.lightFromLeft * (p.headX * extent - x) / (0.25f * extent));
                                           return edge * (0.35f + 0.65f * side) * (1.0f - Shapes::SmoothStep(0.6f, 1.0f, y / extent));
                                       }),
                    p.rim * 1.3f);
    return canvas;
}

// Eye-space normals run from -1 to 1 over a repeating texture: the map
// shows its horizon at the top and bottom edges and its zenith band in the
// middle, and it tiles across.
Canvas EnvironmentMap(const ColorRamp& sky, Color horizonLine, Color sun, float sunX, Color streaks)
{
    Canvas canvas(size, size);
    canvas.Paint([&](float, float y) { return sky.At(FromHorizon(y) * 2.0f); });
    canvas.AddLight([&](float x, float y) {
        const float d = FromHorizon(y) * extent;
        const float line = std::exp(-std::pow(d / 7.0f, 2.0f));
        const float wave = 0.5f + 0.5f * std::sin(tau * x / extent * 3.0f);
        const float band = std::exp(-d / 60.0f) * (0.6f + 0.4f * wave);
        const float rays = std::pow(0.5f + 0.5f * std::sin(tau * x / extent * 7.0f + 1.3f * std::sin(tau * x / extent * 2.0f)), 6.0f) *
                           std::exp(-d / 240.0f);
        const float spot = WrappedGlow(x, y, sunX * extent, extent * 0.08f, 55.0f) + WrappedGlow(x, y, sunX * extent, extent * 0.92f, 55.0f);
        return horizonLine * (line + 0.45f * band) + streaks * (0.35f * rays) + sun * spot;
    });
    return canvas;
}

// The rubber scenes' soft shapes: two aurora ribbons winding across and a
// few orbs round the middle, fading out in a circle before the picture's
// edges (an additive layer must be black there). spread moves the ribbons
// apart and swells the orbs: the beat layer holds them spread, so that on
// every kick the shapes seem to leap outwards.
struct SoftShapes {
    float upper, lower, orbs;
};

SoftShapes SoftShapesAt(float x, float y, float spread)
{
    const auto band = [](float offset, float width) { return std::exp(-(offset * offset) / (2.0f * width * width)); };
    const float u = x / extent;
    const float v = y / extent;
    const float vignette = Shapes::SmoothStep(0.5f, 0.22f, std::hypot(u - 0.5f, v - 0.5f));
    SoftShapes shapes{band(v - (0.34f - 0.05f * spread + 0.09f * std::sin(tau * (1.1f * u + 0.15f))), 0.07f) * vignette,
                      band(v - (0.68f + 0.05f * spread + 0.08f * std::sin(tau * (0.8f * u + 0.6f))), 0.09f) * vignette, 0.0f};
    for (const auto& [ox, oy, radius] : {std::array{0.5f, 0.5f, 0.2f}, std::array{0.26f, 0.58f, 0.13f}, std::array{0.72f, 0.4f, 0.15f}}) {
        shapes.orbs += std::exp(-std::pow(std::hypot(u - ox, v - oy) / (radius * (1.0f + 0.35f * spread)), 2.0f));
    }
    shapes.orbs *= vignette;
    return shapes;
}

}  // namespace

Canvas ChromeEnvironment()
{
    const ColorRamp sky{{0.0f, Palette::bone},
                        {0.06f, Mix(Palette::amber, Palette::bone, 0.3f)},
                        {0.2f, Mix(Palette::cyan, Palette::deepTeal, 0.4f)},
                        {0.55f, Palette::deepTeal},
                        {1.0f, Palette::night}};
    return EnvironmentMap(sky, Palette::bone, Palette::amber * 1.2f, 0.3f, Palette::cyan);
}

Canvas HorizonEnvironment()
{
    const ColorRamp sky{{0.0f, Mix(Palette::cyan, Palette::bone, 0.5f)},
                        {0.12f, Palette::cyan},
                        {0.4f, Mix(Palette::deepTeal, Palette::night, 0.3f)},
                        {1.0f, Palette::abyss}};
    return EnvironmentMap(sky, Mix(Palette::bone, Palette::cyan, 0.3f), Palette::coral * 1.3f, 0.7f, Palette::deepTeal);
}

Canvas RubberBackdrop()
{
    Canvas canvas(size, size);
    canvas.Paint([](float, float) { return Color{}; });
    canvas.AddLight([](float x, float y) {
        const SoftShapes shapes = SoftShapesAt(x, y, 0.0f);
        return Mix(Palette::deepTeal, Palette::cyan, 0.45f) * (0.55f * shapes.upper) + Palette::deepTeal * (0.7f * shapes.lower) +
               Mix(Palette::deepTeal, Palette::night, 0.3f) * (0.6f * shapes.orbs);
    });
    return canvas;
}

Canvas RubberBeatBackdrop()
{
    // The same shapes spread, warm, with rings round the centre like a pulse
    // spreading out.
    Canvas canvas(size, size);
    canvas.Paint([](float, float) { return Color{}; });
    canvas.AddLight([](float x, float y) {
        const SoftShapes shapes = SoftShapesAt(x, y, 1.0f);
        const float r = std::hypot(x - extent * 0.5f, y - extent * 0.5f) / extent;
        const float rings = std::pow(0.5f + 0.5f * std::cos(r * tau * 6.0f), 8.0f) * std::exp(-r * 3.0f) * EdgeFade(x, y, 0.15f);
        return Mix(Palette::coral, Palette::amber, 0.5f) * (0.5f * (shapes.upper + shapes.lower)) + Palette::amber * (0.35f * shapes.orbs) +
               Palette::coral * (0.5f * rings);
    });
    return canvas;
}

Canvas GlowFrame()
{
    // The screen shows the middle eight tenths; the light gathers at that
    // edge and falls off inwards, the picture's own border stays dark.
    Canvas canvas(size, size);
    canvas.Paint([](float x, float y) {
        const float dx = std::fabs(x / extent - 0.5f);
        const float dy = std::fabs(y / extent - 0.5f);
        const float corner = 0.06f;
        const float qx = std::max(dx - (0.4f - corner), 0.0f);
        const float qy = std::max(dy - (0.4f - corner), 0.0f);
        const float outside = std::hypot(qx, qy) + std::min(std::max(dx - (0.4f - corner), dy - (0.4f - corner)), 0.0f) - corner;
        const float inward = std::max(-outside, 0.0f);
        const float line = std::exp(-std::pow(outside / 0.006f, 2.0f));
        const float glow = std::exp(-inward / 0.035f) * Shapes::SmoothStep(0.08f, -0.01f, outside);
        const float wave = 0.5f + 0.5f * std::sin(tau * (x + y) / extent * 4.0f);
        return Palette::bone * line + Mix(Palette::deepTeal, Palette::cyan, wave) * (0.8f * glow) + Palette::coral * (0.25f * glow * glow);
    });
    return canvas;
}

Canvas Swirl()
{
    Canvas canvas(size, size);
    canvas.Paint([](float x, float y) {
        const float dx = (x - extent * 0.5f) / (extent * 0.5f);
        const float dy = (y - extent * 0.5f) / (extent * 0.5f);
        const float r = std::hypot(dx, dy);
        const float angle = std::atan2(dy, dx);
        // Five arms of a logarithmic spiral.
        const float phase = 5.0f * angle + 9.0f * std::log(r + 0.02f);
        const float arms = std::pow(0.5f + 0.5f * std::cos(phase), 3.0f);
        const float falloff = Shapes::SmoothStep(1.0f, 0.55f, r) * Shapes::SmoothStep(0.0f, 0.12f, r);
        const float core = std::exp(-std::pow(r / 0.12f, 2.0f));
        const Color arm = Mix(Palette::cyan, Palette::amber, Shapes::Clamp01(1.0f - r * 1.4f));
        return arm * (arms * falloff) + Palette::bone * (0.8f * core);
    });
    return canvas;
}

Canvas Flower()
{
    // Small in its square with plenty of black around it: the nearest
    // sprites of the tunnel fill the screen, and only the flower should show.
    Canvas canvas(size, size);
    canvas.Paint([](float x, float y) {
        const float dx = (x - extent * 0.5f) / (extent * 0.5f);
        const float dy = (y - extent * 0.5f) / (extent * 0.5f);
        const float r = std::hypot(dx, dy);
        const float angle = std::atan2(dy, dx);
        // Seven rounded petals with a second, smaller ring between them.
        const float outer = 0.5f * (0.55f + 0.45f * std::pow(std::fabs(std::cos(3.5f * angle)), 0.8f));
        const float inner = 0.3f * (0.6f + 0.4f * std::pow(std::fabs(std::sin(3.5f * angle)), 0.8f));
        const float petal = Shapes::SmoothStep(outer, outer * 0.75f, r);
        const float innerPetal = Shapes::SmoothStep(inner, inner * 0.7f, r);
        const float veins = 0.75f + 0.25f * std::cos(14.0f * angle);
        const float heart = std::exp(-std::pow(r / 0.09f, 2.0f));
        const Color petals = Mix(Palette::coral, Palette::amber, Shapes::Clamp01(1.0f - 2.0f * r));
        // A dim heart: the nearest flowers cover the screen and the echo
        // carries their light outwards, so a bright one washes all to white.
        return petals * (0.7f * petal * veins * (0.4f + 0.6f * r / 0.5f)) + Palette::cyan * (0.45f * innerPetal) +
               Palette::cyan * (0.25f * heart) + Palette::bone * (0.15f * heart);
    });
    return canvas;
}

Canvas PortraitSesk()
{
    return PaintPortrait({0.5f, 0.38f, 0.13f, 0.17f, 0.08f, 0.36f, 0.6f, 0.05f, 0.03f, Palette::night,
                          Mix(Palette::cyan, Palette::bone, 0.3f), Palette::cyan, 1.0f, false});
}

Canvas PortraitMig()
{
    return PaintPortrait({0.47f, 0.36f, 0.12f, 0.16f, -0.12f, 0.4f, 0.58f, 0.02f, 0.0f, Mix(Palette::night, Palette::coral, 0.15f),
                          Mix(Palette::coral, Palette::amber, 0.4f), Palette::amber, -1.0f, false});
}

Canvas PortraitTolvik()
{
    return PaintPortrait({0.52f, 0.4f, 0.14f, 0.16f, 0.0f, 0.42f, 0.62f, 0.09f, 0.07f, Palette::deepTeal * 0.5f,
                          Mix(Palette::bone, Palette::cyan, 0.15f), Palette::coral, 1.0f, false});
}

Canvas PortraitBust()
{
    return PaintPortrait({0.5f, 0.33f, 0.12f, 0.16f, 0.05f, 0.3f, 0.55f, 0.015f, 0.0f, Palette::night,
                          Mix(Palette::amber, Palette::bone, 0.5f), Palette::cyan, -1.0f, true});
}

}  // namespace Pictures
