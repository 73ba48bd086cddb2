#include "picture/FirstActScene.h"

#include <cmath>

#include "picture/ColorRamp.h"
#include "picture/Scenery.h"
#include "picture/Shapes.h"

namespace FirstActScene {

namespace {

constexpr int size = Pictures::size;
constexpr float extent = static_cast<float>(size);

// The hills leave the middle open, where the cards put their light.
constexpr float openingHalfWidth = 245.0f;

Color HorizonColour(float dawn)
{
    return Mix(Mix(Palette::night, Palette::deepTeal, 0.5f), Mix(Palette::night, Palette::coral, 0.5f), dawn);
}

}  // namespace

void PaintSkyAndWater(Canvas& canvas, float dawn)
{
    const ColorRamp sky{{0.0f, Palette::abyss}, {0.38f, Palette::night}, {1.0f, HorizonColour(dawn)}};
    const ColorRamp water{{0.0f, Mix(Palette::deepTeal, Palette::night, 0.4f)}, {1.0f, Palette::abyss}};
    canvas.Paint([&](float, float y) { return y < horizon ? sky.At(y / horizon) : water.At((y - horizon) / (extent - horizon)); });
    canvas.AddLight(Scenery::StarField(size, size, 160, 23, horizon * 0.78f), Palette::bone * (0.8f * (1.0f - 0.75f * dawn)));

    // The glow along the horizon turns from cold to warm as the night ends,
    // tall in the sky and thin on the water.
    const Color glow = Mix(Palette::deepTeal, Mix(Palette::coral, Palette::amber, 0.4f), dawn) * (0.2f + 0.4f * dawn);
    canvas.AddLight([&](float, float y) {
        const float distance = (y - horizon) / (y < horizon ? 95.0f : 22.0f);
        return glow * std::exp(-distance * distance);
    });
    // Faint cold ripples across the water.
    canvas.AddLight([](float x, float y) {
        const float below = y - horizon;
        if (below <= 0.0f) {
            return Color{};
        }
        const float phase = 21.0f * std::log(1.0f + below / 14.0f);
        const float ripple = std::pow(0.5f + 0.5f * std::sin(phase + 0.5f * std::sin(x * 0.013f + phase * 0.3f)), 12.0f);
        return Palette::cyan * (0.12f * ripple * std::exp(-below / 400.0f));
    });
}

void AddHills(Canvas& canvas, float dawn)
{
    const std::vector<float> ridge = Scenery::RidgeLine(size, horizon - 40.0f, 55.0f, 61);
    std::vector<float> hills(ridge.size());
    for (std::size_t i = 0; i < ridge.size(); ++i) {
        const float fromMiddle = std::fabs(static_cast<float>(i) + 0.5f - extent * 0.5f);
        hills[i] = horizon - (horizon - ridge[i]) * Shapes::SmoothStep(openingHalfWidth, openingHalfWidth + 180.0f, fromMiddle);
    }
    Mask land = Scenery::BelowLine(hills, size);
    land.Shape([](float, float y) { return y < horizon + 1.0f ? 1.0f : 0.0f; });
    canvas.Cover(land, Mix(Palette::abyss, Palette::night, 0.6f));
    canvas.AddLight(Scenery::RimAlong(hills, size, 2.5f), Mix(Palette::cyan, Palette::coral, dawn) * 0.35f);
}

}  // namespace FirstActScene
