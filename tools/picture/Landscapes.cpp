#include <algorithm>
#include <cmath>

#include "picture/ColorRamp.h"
#include "picture/FirstActScene.h"
#include "picture/Pictures.h"
#include "picture/Shapes.h"

namespace Pictures {

namespace {

constexpr float extent = static_cast<float>(size);
constexpr float tau = 6.2831853f;

// How bright an aurora curtain is at a point: a luminous ribbon along its
// wavy lower edge, and above it rays that fade upwards.
float CurtainBrightness(float x, float y, float edgeY, float phase)
{
    const float above = edgeY - y;
    const float lowerEdge = Shapes::SmoothStep(-10.0f, 4.0f, above);
    const float rise = std::exp(-std::max(above, 0.0f) / 260.0f);
    const float broad = 0.5f + 0.5f * std::sin(x * 0.029f + phase + 2.2f * std::sin(x * 0.006f + phase));
    const float fine = 0.5f + 0.5f * std::sin(x * 0.087f + 1.7f * phase);
    const float rays = 0.25f + 0.75f * std::pow(0.65f * broad + 0.35f * fine, 2.0f);
    const float ribbon = std::exp(-std::pow(std::max(above, 0.0f) / 22.0f, 2.0f)) * (0.75f + 0.25f * fine);
    return lowerEdge * (0.7f * rise * rays + 0.6f * ribbon);
}

float CurtainEdge(float x, float baseY, float phase)
{
    return baseY + 85.0f * std::sin(x / extent * tau * 0.8f + phase) + 30.0f * std::sin(x / extent * tau * 2.1f + 2.0f * phase) +
           12.0f * std::sin(x / extent * tau * 5.3f + 3.0f * phase);
}

}  // namespace

Canvas NorthernLights()
{
    constexpr float dawn = 0.1f;
    Canvas canvas(size, size);
    FirstActScene::PaintSkyAndWater(canvas, dawn);

    // Two curtains; the colour runs from pale cyan at the lower edge through
    // teal to a coral fringe at the top.
    const ColorRamp auroraColor{{0.0f, Mix(Palette::cyan, Palette::bone, 0.35f)},
                                {0.25f, Palette::cyan},
                                {0.6f, Mix(Palette::deepTeal, Palette::cyan, 0.5f)},
                                {1.0f, Mix(Palette::coral, Palette::deepTeal, 0.4f)}};
    const auto aurora = [&](float baseY, float phase, float strength, float centre) {
        return [&auroraColor, baseY, phase, strength, centre](float x, float y) {
            const float edgeY = CurtainEdge(x, baseY, phase);
            const float across = 0.3f + 0.7f * std::exp(-std::pow((x - centre) / (extent * 0.42f), 2.0f));
            const float brightness = strength * across * CurtainBrightness(x, y, edgeY, phase);
            return auroraColor.At((edgeY - y) / 330.0f) * brightness;
        };
    };
    canvas.AddLight(aurora(extent * 0.3f, 2.4f, 0.45f, extent * 0.7f));
    canvas.AddLight(aurora(extent * 0.42f, 0.6f, 0.95f, extent * 0.38f));
    const Mask haze = Mask::FromCoverage(size, size, [](float x, float y) {
        return std::exp(-std::pow((y - CurtainEdge(x, extent * 0.42f, 0.6f) + 50.0f) / 110.0f, 2.0f));
    });
    canvas.AddLight(haze.Blurred(30.0f), Palette::cyan * 0.1f);

    // The water gives the lower curtain back, faint.
    const auto curtain = aurora(extent * 0.42f, 0.6f, 0.35f, extent * 0.38f);
    canvas.AddLight([&curtain](float x, float y) {
        const float below = y - FirstActScene::horizon;
        return below <= 0.0f ? Color{} : curtain(x, FirstActScene::horizon - below * 1.3f) * std::exp(-below / 220.0f);
    });
    FirstActScene::AddHills(canvas, dawn);
    return canvas;
}

Canvas GridHorizon()
{
    constexpr float horizon = FirstActScene::horizon;
    constexpr float dawn = 0.25f;
    // Rows of the grid lie where depthScale / (pixels below the horizon) is
    // whole; columns where (x - centre) / (pixels below * columnScale) is.
    constexpr float depthScale = 2200.0f;
    constexpr float columnScale = 0.24f;
    Canvas canvas(size, size);
    FirstActScene::PaintSkyAndWater(canvas, dawn);

    // A crescent moon: a disc with a slightly shifted disc taken away.
    const Mask moon = Mask::FromCoverage(size, size, [](float x, float y) {
        return Shapes::DiscCoverage(x, y, 770.0f, 190.0f, 46.0f) * (1.0f - Shapes::DiscCoverage(x, y, 789.0f, 178.0f, 42.0f));
    });
    canvas.AddLight(moon.Blurred(18.0f), Palette::cyan * 0.35f);
    canvas.Cover(moon, Palette::bone);

    // The grid: lines of constant depth and constant width on the ground,
    // found per pixel by how far the pixel is from the nearest of each, in
    // pixels. Lines closer than a few pixels fade out to avoid moire.
    const Mask grid = Mask::FromCoverage(size, size, [&](float x, float y) {
        const float below = y - horizon;
        if (below <= 0.5f) {
            return 0.0f;
        }
        const float nearness = below / (extent - horizon);
        const float lineWidth = 1.0f + 2.2f * nearness;
        const float depth = depthScale / below;
        const float depthSpacing = below * below / depthScale;
        const float depthLine = Shapes::EdgeCoverage(std::fabs(depth - std::round(depth)) * depthSpacing - lineWidth * 0.5f);
        const float acrossSpacing = below * columnScale;
        const float across = (x - extent * 0.5f) / acrossSpacing;
        const float acrossLine = Shapes::EdgeCoverage(std::fabs(across - std::round(across)) * acrossSpacing - lineWidth * 0.5f);
        const float depthFade = Shapes::SmoothStep(6.0f, 22.0f, depthSpacing);
        const float acrossFade = Shapes::SmoothStep(6.0f, 22.0f, acrossSpacing);
        const float fog = 0.25f + 0.75f * Shapes::SmoothStep(0.0f, 0.6f, nearness);
        return fog * std::max(depthLine * depthFade, acrossLine * acrossFade);
    });
    canvas.AddLight(grid.Blurred(5.0f), Palette::cyan * 0.8f);
    canvas.Cover(grid, Palette::cyan);

    const Mask crossings = Mask::FromCoverage(size, size, [&](float x, float y) {
        const float below = y - horizon;
        if (below <= 0.5f) {
            return 0.0f;
        }
        const float depth = depthScale / below;
        const float depthSpacing = below * below / depthScale;
        const float acrossSpacing = below * columnScale;
        const float across = (x - extent * 0.5f) / acrossSpacing;
        const float dy = (depth - std::round(depth)) * depthSpacing;
        const float dx = (across - std::round(across)) * acrossSpacing;
        const float radius = 1.5f + 4.0f * below / (extent - horizon);
        return Shapes::SmoothStep(10.0f, 30.0f, std::min(depthSpacing, acrossSpacing)) * std::exp(-(dx * dx + dy * dy) / (radius * radius));
    });
    canvas.AddLight(crossings.Blurred(4.0f), Palette::bone * 1.4f);
    canvas.AddLight(crossings, Palette::bone * 0.8f);

    // The horizon glows warm, as before the dawn.
    canvas.AddLight([&](float, float y) {
        const float distance = (y - horizon) / (y < horizon ? 80.0f : 20.0f);
        return Mix(Palette::coral, Palette::amber, 0.4f) * (0.4f * std::exp(-distance * distance));
    });
    FirstActScene::AddHills(canvas, dawn);
    const Mask line = Mask::FromCoverage(size, size, [&](float, float y) { return Shapes::EdgeCoverage(std::fabs(y - horizon) - 1.0f); });
    canvas.AddLight(line.Blurred(4.0f), Palette::amber * 0.8f);
    canvas.Cover(line, Mix(Palette::amber, Palette::bone, 0.5f));
    return canvas;
}

Canvas SunOverWater()
{
    constexpr float horizon = FirstActScene::horizon;
    constexpr float dawn = 0.8f;
    constexpr float sunX = extent * 0.5f;
    constexpr float sunY = horizon - 70.0f;
    constexpr float sunRadius = 235.0f;
    Canvas canvas(size, size);
    FirstActScene::PaintSkyAndWater(canvas, dawn);

    // The disc, cut by widening gaps towards the water.
    const Mask sun = Mask::FromCoverage(size, size, [&](float x, float y) {
        const float disc = Shapes::DiscCoverage(x, y, sunX, sunY, sunRadius) * Shapes::EdgeCoverage(y - horizon);
        const float lower = (y - (sunY - 0.15f * sunRadius)) / (1.15f * sunRadius);
        if (lower <= 0.0f) {
            return disc;
        }
        const float period = 36.0f;
        const float gap = 1.0f + 15.0f * lower;
        const float inPeriod = std::fmod(y - sunY + 1000.0f * period, period);
        return disc * Shapes::EdgeCoverage(gap * 0.5f - std::fabs(inPeriod - period * 0.5f));
    });
    const Mask sunShape = Mask::FromCoverage(size, size, [&](float x, float y) {
        return Shapes::DiscCoverage(x, y, sunX, sunY, sunRadius) * Shapes::EdgeCoverage(y - horizon);
    });
    canvas.AddLight(sunShape.Blurred(150.0f), Palette::coral * 0.55f);
    canvas.AddLight(sunShape.Blurred(45.0f), Palette::amber * 0.45f);
    const ColorRamp sunColor{{0.0f, Mix(Palette::amber, Palette::bone, 0.45f)}, {0.45f, Palette::amber}, {1.0f, Palette::coral}};
    canvas.Cover(sun, [&](float, float y) { return sunColor.At((y - (sunY - sunRadius)) / (horizon - (sunY - sunRadius))); });

    // The sun's reflection: streaks that narrow and thin out with depth.
    canvas.AddLight([&](float x, float y) {
        const float below = y - horizon;
        if (below <= 0.0f) {
            return Color{};
        }
        const float depth = below / (extent - horizon);
        const float phase = 34.0f * std::log(1.0f + below / 10.0f);
        const float streak = std::pow(0.5f + 0.5f * std::sin(phase), 6.0f);
        const float halfWidth = sunRadius * (0.95f - 0.45f * depth) * (0.65f + 0.35f * std::sin(phase * 0.61f + 0.8f));
        const float column = Shapes::SmoothStep(halfWidth, halfWidth * 0.55f, std::fabs(x - sunX));
        const float fade = std::exp(-depth * 2.2f);
        return Mix(Palette::amber, Palette::coral, std::min(1.0f, depth * 1.6f)) * (0.9f * streak * column * fade);
    });
    canvas.AddLight([&](float, float y) {
        const float distance = (y - horizon) / (y < horizon ? 40.0f : 10.0f);
        return Palette::amber * (0.5f * std::exp(-distance * distance));
    });
    FirstActScene::AddHills(canvas, dawn);
    return canvas;
}

}  // namespace Pictures
