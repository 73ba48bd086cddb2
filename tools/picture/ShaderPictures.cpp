#include "picture/ShaderPictures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/SeededRandom.h"
#include "picture/ColorRamp.h"
#include "picture/Lettering.h"
#include "picture/Pictures.h"
#include "picture/Scenery.h"
#include "picture/Shapes.h"

namespace ShaderPictures {

namespace {

constexpr int size = Pictures::size;
constexpr float extent = static_cast<float>(size);
constexpr float pi = 3.14159265f;

// Distance to the nearest multiple of a period, for lines that repeat and wrap.
float ToNearestLine(float value, float period)
{
    const float offset = std::fmod(value, period);
    return std::min(offset, period - offset);
}

// Cellular pattern that wraps at the picture's edges: for each pixel, the
// distance between its nearest and second-nearest cell points, small along
// the borders between cells.
class WrappingCells {
public:
    WrappingCells(int cellsAcross, std::uint64_t seed) : cells(cellsAcross), cellSize(extent / static_cast<float>(cellsAcross))
    {
        SeededRandom random(seed);
        for (int i = 0; i < cells * cells; ++i) {
            points.push_back({random.Between(0.1f, 0.9f), random.Between(0.1f, 0.9f)});
        }
    }

    float BorderDistance(float x, float y) const
    {
        const int cellX = static_cast<int>(x / cellSize);
        const int cellY = static_cast<int>(y / cellSize);
        float nearest = 1e9f;
        float second = 1e9f;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int cx = cellX + dx;
                const int cy = cellY + dy;
                const Point& point = points[static_cast<std::size_t>(Wrap(cy) * cells + Wrap(cx))];
                const float px = (static_cast<float>(cx) + point.x) * cellSize;
                const float py = (static_cast<float>(cy) + point.y) * cellSize;
                const float distance = std::hypot(x - px, y - py);
                if (distance < nearest) {
                    second = nearest;
                    nearest = distance;
                } else if (distance < second) {
                    second = distance;
                }
            }
        }
        return second - nearest;
    }

private:
    struct Point {
        float x;
        float y;
    };

    int Wrap(int index) const { return ((index % cells) + cells) % cells; }

    int cells;
    float cellSize;
    std::vector<Point> points;
};

// A wide soft glow and a tight bright one around a shape.
void AddGlow(Canvas& canvas, const Mask& shape, Color glowColor, float glow)
{
    canvas.AddLight(shape.Blurred(60.0f), glowColor * (0.6f * glow));
    canvas.AddLight(shape.Blurred(12.0f), glowColor * (0.8f * glow));
}

// Lettering as light only, with its glow.
void AddGlowingLetters(Canvas& canvas, const Mask& letters, Color letterColor, Color glowColor, float glow)
{
    AddGlow(canvas, letters, glowColor, glow);
    canvas.AddLight(letters, letterColor);
}

// The card's shared shapes: rays from behind the word, the word itself and
// a rule with a caption under it.
struct CardShapes {
    Mask rays;
    Mask word;
    Mask rule;
    Mask caption;
};

CardShapes PaintCardShapes()
{
    constexpr float centreY = extent * 0.47f;
    const Lettering sans(Fonts::sansBold);
    const Lettering mono(Fonts::mono);
    Mask word = sans.Set("NIGHT", {200, 0.12f}, size, size, extent * 0.5f, centreY);
    const InkBox ink = FindInk(word);
    const float ruleY = static_cast<float>(ink.bottom) + 60.0f;
    Mask rule = Mask::FromCoverage(size, size, [ruleY](float x, float y) {
        const float along = std::fabs(x - extent * 0.5f) / 260.0f;
        return Shapes::SmoothStep(1.0f, 0.6f, along) * Shapes::EdgeCoverage(std::fabs(y - ruleY) - 2.0f);
    });
    Mask caption = mono.Set("K E S T R O V A", {30, 0.4f}, size, size, extent * 0.5f, ruleY + 50.0f);
    Mask rays = Mask::FromCoverage(size, size, [centreY](float x, float y) {
        const float dx = x - extent * 0.5f;
        const float dy = y - centreY;
        const float angle = std::atan2(dy, dx);
        const float radius = std::hypot(dx, dy);
        const float spokes = std::pow(std::max(0.0f, std::cos(angle * 18.0f)), 30.0f);
        const float reach = std::exp(-radius / 330.0f) * Shapes::SmoothStep(60.0f, 200.0f, radius);
        return spokes * reach;
    });
    return {std::move(rays), std::move(word), std::move(rule), std::move(caption)};
}

}  // namespace

Canvas Water()
{
    const WrappingCells coarse(6, 101);
    const WrappingCells fine(11, 202);
    Canvas canvas(size, size);
    canvas.Paint([&](float x, float y) {
        const float a = std::exp(-coarse.BorderDistance(x, y) / 9.0f);
        const float b = std::exp(-fine.BorderDistance(x, y) / 6.0f);
        const float depth = 0.5f + 0.25f * std::sin(2.0f * pi * x / extent) * std::cos(2.0f * pi * 2.0f * y / extent);
        Color colour = Mix(Palette::night, Palette::deepTeal, depth);
        colour = colour + Palette::cyan * (0.55f * a + 0.3f * b);
        return colour + Palette::bone * (0.5f * a * b);
    });
    return canvas;
}

Canvas Housing()
{
    // Few, large windows: every face of a box is a couple of dozen pixels
    // on screen before the warp, and finer windows melt into noise.
    constexpr int columns = 2;
    constexpr int rows = 3;
    constexpr float cellWidth = extent / columns;
    constexpr float cellHeight = extent / rows;
    SeededRandom random(303);
    std::vector<Color> lights;
    for (int i = 0; i < columns * rows; ++i) {
        const float pick = random.Unit();
        const float strength = random.Between(0.6f, 1.0f);
        if (pick < 0.42f) {
            lights.push_back(Mix(Palette::amber, Palette::bone, random.Unit() * 0.4f) * strength);
        } else if (pick < 0.52f) {
            lights.push_back(Mix(Palette::cyan, Palette::bone, 0.2f) * strength);
        } else if (pick < 0.57f) {
            lights.push_back(Palette::coral * strength);
        } else {
            lights.push_back(Mix(Palette::abyss, Palette::deepTeal, random.Between(0.15f, 0.4f)));
        }
    }

    Canvas canvas(size, size);
    const ColorRamp wall{{0.0f, Mix(Palette::night, Palette::deepTeal, 0.25f)}, {1.0f, Palette::night}};
    canvas.Paint([&](float, float y) { return wall.At(y / extent); });

    const auto windowCoverage = [&](float x, float y) {
        const float inX = std::fmod(x, cellWidth);
        const float inY = std::fmod(y, cellHeight);
        const float edgeX = std::min(inX - cellWidth * 0.18f, cellWidth * 0.82f - inX);
        const float edgeY = std::min(inY - cellHeight * 0.2f, cellHeight * 0.8f - inY);
        return Shapes::EdgeCoverage(-std::min(edgeX, edgeY));
    };
    const auto windowLight = [&](float x, float y) {
        const int column = std::min(columns - 1, static_cast<int>(x / cellWidth));
        const int row = std::min(rows - 1, static_cast<int>(y / cellHeight));
        // Lit rooms are brighter towards the ceiling lamp.
        const float inY = std::fmod(y, cellHeight) / cellHeight;
        return lights[static_cast<std::size_t>(row * columns + column)] * (1.1f - 0.4f * inY);
    };
    const Mask windows = Mask::FromCoverage(size, size, windowCoverage);
    Mask glow = Mask::FromCoverage(size, size, [&](float x, float y) {
        const Color light = windowLight(x, y);
        return windowCoverage(x, y) * std::max(0.0f, light.r + light.g - 0.8f);
    });
    canvas.AddLight(glow.Blurred(40.0f), Mix(Palette::amber, Palette::coral, 0.3f) * 0.35f);
    canvas.Cover(windows, windowLight);
    // Thin mullions across every window.
    const Mask mullions = Mask::FromCoverage(size, size, [&](float x, float y) {
        const float inX = std::fabs(std::fmod(x, cellWidth) - cellWidth * 0.5f);
        return windowCoverage(x, y) * Shapes::EdgeCoverage(inX - 6.0f);
    });
    canvas.Cover(mullions, Palette::night);
    return canvas;
}

Canvas BangCard()
{
    const CardShapes shapes = PaintCardShapes();
    Canvas canvas(size, size);
    const ColorRamp depth{{0.0f, Mix(Palette::night, Palette::deepTeal, 0.55f)}, {0.7f, Palette::night}, {1.4f, Palette::abyss}};
    canvas.Paint([&](float x, float y) { return depth.At(std::hypot(x - extent * 0.5f, y - extent * 0.47f) / (extent * 0.5f)); });
    canvas.AddLight(shapes.rays.Blurred(3.0f), Palette::deepTeal * 1.6f);
    AddGlow(canvas, shapes.word, Palette::cyan, 0.9f);
    canvas.Cover(shapes.word, Palette::bone);
    canvas.AddLight(shapes.rule.Blurred(6.0f), Palette::amber);
    canvas.Cover(shapes.rule, Palette::amber);
    canvas.Cover(shapes.caption, Mix(Palette::bone, Palette::cyan, 0.4f) * 0.85f);
    return canvas;
}

Canvas BangFlash()
{
    const CardShapes shapes = PaintCardShapes();
    Canvas canvas(size, size);
    canvas.AddLight(shapes.rays.Blurred(3.0f), Mix(Palette::amber, Palette::coral, 0.4f) * 1.3f);
    AddGlowingLetters(canvas, shapes.word, Mix(Palette::bone, Palette::amber, 0.3f), Palette::coral, 1.1f);
    canvas.AddLight(shapes.rule.Blurred(6.0f), Palette::amber * 1.2f);
    canvas.AddLight(shapes.rule, Palette::bone);
    return canvas;
}

Canvas Ring()
{
    const Mask ring = Mask::FromCoverage(size, size, [](float x, float y) {
        return Shapes::RingCoverage(x, y, extent * 0.5f, extent * 0.5f, extent * 0.34f, 10.0f);
    });
    const Mask inner = Mask::FromCoverage(size, size, [](float x, float y) {
        return 0.35f * Shapes::RingCoverage(x, y, extent * 0.5f, extent * 0.5f, extent * 0.28f, 3.0f);
    });
    Canvas canvas(size, size);
    canvas.AddLight(ring.Blurred(40.0f), Palette::cyan * 1.4f);
    canvas.AddLight(ring.Blurred(8.0f), Mix(Palette::cyan, Palette::bone, 0.3f) * 1.1f);
    canvas.AddLight(ring, Palette::bone * 0.9f);
    canvas.AddLight(inner.Blurred(4.0f), Palette::cyan);
    canvas.AddLight(inner, Palette::deepTeal * 2.0f);
    return canvas;
}

Canvas ConcentricCircles()
{
    Canvas canvas(size, size);
    canvas.Paint([](float x, float y) {
        const float radius = std::hypot(x - extent * 0.5f, y - extent * 0.5f) / (extent * 0.5f);
        // Bands that tighten outwards, alternating teal and cyan, each with a
        // bright inner edge.
        const float band = std::sqrt(std::max(radius, 0.0f)) * 11.0f;
        const float within = band - std::floor(band);
        const bool cyanBand = static_cast<int>(band) % 2 == 0;
        const Color base = cyanBand ? Mix(Palette::deepTeal, Palette::cyan, 0.75f) : Palette::deepTeal;
        const float edge = std::exp(-within * 9.0f) * 0.8f + Shapes::SmoothStep(0.75f, 1.0f, within) * 0.2f;
        const Color shaded = Mix(Palette::night, base, 0.35f + 0.65f * (1.0f - within)) + Palette::bone * (edge * 0.35f);
        return Mix(shaded, Palette::night, Shapes::SmoothStep(0.92f, 1.0f, radius));
    });
    return canvas;
}

Canvas GlowText()
{
    const Lettering sans(Fonts::sansBold);
    const Lettering mono(Fonts::mono);
    const Mask word = sans.Set("ECHO", {230, 0.14f}, size, size, extent * 0.5f, extent * 0.46f);
    const InkBox ink = FindInk(word);
    const Mask caption = mono.Set("NORTHERN  NIGHT", {44, 0.5f}, size, size, extent * 0.5f, static_cast<float>(ink.bottom) + 80.0f);
    Canvas canvas(size, size);
    AddGlowingLetters(canvas, word, Palette::bone, Palette::cyan, 1.2f);
    AddGlowingLetters(canvas, caption, Mix(Palette::bone, Palette::amber, 0.5f), Palette::amber, 0.7f);
    return canvas;
}

Canvas Grid()
{
    constexpr float period = extent / 4.0f;
    Canvas canvas(size, size);
    canvas.Paint([](float x, float y) {
        // Each cell darkens towards its middle, like a recessed panel.
        const float u = ToNearestLine(x, period) / (period * 0.5f);
        const float v = ToNearestLine(y, period) / (period * 0.5f);
        return Mix(Mix(Palette::night, Palette::deepTeal, 0.45f), Palette::night, std::max(u, v) * 0.8f);
    });
    const Mask lines = Mask::FromCoverage(size, size, [](float x, float y) {
        return Shapes::EdgeCoverage(std::min(ToNearestLine(x, period), ToNearestLine(y, period)) - 3.0f);
    });
    const Mask fineLines = Mask::FromCoverage(size, size, [](float x, float y) {
        return 0.4f * Shapes::EdgeCoverage(std::min(ToNearestLine(x, period / 4.0f), ToNearestLine(y, period / 4.0f)) - 0.8f);
    });
    const Mask crossings = Mask::FromCoverage(size, size, [](float x, float y) {
        return std::exp(-(std::pow(ToNearestLine(x, period), 2.0f) + std::pow(ToNearestLine(y, period), 2.0f)) / (2.0f * 14.0f * 14.0f));
    });
    canvas.AddLight(fineLines, Palette::deepTeal * 1.2f);
    canvas.AddLight(lines, Palette::cyan);
    canvas.AddLight(crossings, Mix(Palette::cyan, Palette::bone, 0.5f) * 1.3f);
    return canvas;
}

Canvas NightRidge()
{
    constexpr float horizon = extent * 0.72f;
    Canvas canvas(size, size);
    const ColorRamp sky{{0.0f, Palette::night}, {0.55f, Mix(Palette::night, Palette::deepTeal, 0.35f)}, {0.75f, Mix(Palette::night, Palette::deepTeal, 0.6f)}};
    canvas.Paint([&](float, float y) { return sky.At(y / extent); });
    canvas.AddLight(Scenery::StarField(size, size, 160, 77, horizon), Palette::bone * 0.8f);
    const std::vector<float> far = Scenery::RidgeLine(size, horizon - 40.0f, 150.0f, 19);
    const std::vector<float> near = Scenery::RidgeLine(size, horizon + 60.0f, 120.0f, 29);
    // The ridges are black with no blue at all: the shader's sky mask.
    canvas.Cover(Scenery::BelowLine(far, size), Color{0.0f, 0.0f, 0.0f});
    canvas.Cover(Scenery::BelowLine(near, size), Color{0.0f, 0.0f, 0.0f});
    return canvas;
}

Canvas Panels()
{
    constexpr float columnWidth = extent / 4.0f;
    constexpr float rowHeight = extent / 8.0f;
    SeededRandom random(404);
    std::vector<float> shades;
    for (int i = 0; i < 32; ++i) {
        shades.push_back(random.Between(0.2f, 0.75f));
    }
    Canvas canvas(size, size);
    canvas.Paint([&](float x, float y) {
        const int column = std::min(3, static_cast<int>(x / columnWidth));
        const int row = std::min(7, static_cast<int>(y / rowHeight));
        const float shade = shades[static_cast<std::size_t>(row * 4 + column)];
        // A bevel: lighter towards each panel's top-left edge.
        const float inX = std::fmod(x, columnWidth) / columnWidth;
        const float inY = std::fmod(y, rowHeight) / rowHeight;
        const float bevel = 0.15f * (1.0f - std::min(inX * 6.0f, 1.0f)) + 0.15f * (1.0f - std::min(inY * 3.0f, 1.0f));
        return Mix(Palette::night, Palette::deepTeal, shade) + Palette::deepTeal * bevel;
    });
    const Mask seams = Mask::FromCoverage(size, size, [](float x, float y) {
        return Shapes::EdgeCoverage(std::min(ToNearestLine(x, columnWidth), ToNearestLine(y, rowHeight)) - 2.0f);
    });
    canvas.AddLight(seams.Blurred(6.0f), Palette::cyan * 0.8f);
    canvas.AddLight(seams, Mix(Palette::cyan, Palette::bone, 0.3f));
    // A row of small lamps along the middle of every other panel row.
    Mask lamps(size, size);
    for (int row = 0; row < 8; row += 2) {
        for (int lamp = 0; lamp < 8; ++lamp) {
            Scenery::AddGlowSpot(lamps, (static_cast<float>(lamp) + 0.5f) * extent / 8.0f, (static_cast<float>(row) + 0.5f) * rowHeight, 4.0f, 1.0f);
        }
    }
    canvas.AddLight(lamps.Blurred(10.0f), Palette::amber * 2.0f);
    canvas.AddLight(lamps, Mix(Palette::amber, Palette::bone, 0.5f));
    return canvas;
}

}  // namespace ShaderPictures
