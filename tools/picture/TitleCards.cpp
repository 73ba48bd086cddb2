#include <cmath>

#include "picture/ColorRamp.h"
#include "picture/FirstActScene.h"
#include "picture/Lettering.h"
#include "picture/Pictures.h"
#include "picture/Scenery.h"
#include "picture/Shapes.h"

namespace Pictures {

namespace {

constexpr float extent = static_cast<float>(size);

// A rule that fades out towards both ends instead of stopping square.
Mask FadingRule(float left, float right, float centreY, float thickness)
{
    return Mask::FromCoverage(size, size, [=](float x, float y) {
        const float along = (x - left) / (right - left);
        const float fade = Shapes::SmoothStep(0.0f, 0.18f, along) * Shapes::SmoothStep(1.0f, 0.82f, along);
        return fade * Shapes::EdgeCoverage(std::fabs(y - centreY) - thickness * 0.5f);
    });
}

// Lettering with its glow: a wide soft halo, a tight bright one, then the
// letters themselves on top.
void GlowingLetters(Canvas& canvas, const Mask& letters, Color letterColor, Color glowColor, float glowStrength)
{
    canvas.AddLight(letters.Blurred(70.0f), glowColor * (0.55f * glowStrength));
    canvas.AddLight(letters.Blurred(14.0f), glowColor * (0.75f * glowStrength));
    canvas.Cover(letters, letterColor);
}

// Letters drawn only as their outline: the blurred shape is half covered
// exactly on its edge.
Mask Outline(const Mask& letters, float softness)
{
    const Mask soft = letters.Blurred(softness);
    return Mask::FromCoverage(size, size, [&soft](float x, float y) {
        const float value = soft.At(static_cast<int>(x), static_cast<int>(y));
        return Shapes::Clamp01(1.0f - std::fabs(2.0f * value - 1.0f) * 1.4f);
    });
}

}  // namespace

Canvas Loader()
{
    // The quad is 1.2 times taller than wide: letters and rule are drawn
    // squashed by as much so that they look true on screen.
    constexpr float squash = 1.0f / 1.2f;
    Canvas canvas(size, size);
    const ColorRamp sky{{0.0f, Palette::abyss}, {0.5f, Palette::night}, {1.0f, Mix(Palette::night, Palette::deepTeal, 0.45f)}};
    canvas.Paint([&](float, float y) { return sky.At(y / extent); });

    canvas.AddLight(Scenery::StarField(size, size, 70, 11, extent * 0.8f), Mix(Palette::bone, Palette::cyan, 0.3f) * 0.7f);
    canvas.AddLight(Mask::FromCoverage(size, size, [](float x, float y) { return Shapes::Glow(x, y * 1.6f, extent * 0.5f, extent * 0.48f * 1.6f, extent * 0.42f); }),
                    Palette::deepTeal * 0.5f);

    const Lettering sans(Fonts::sansBold);
    const Mask name = sans.Set("K E S T R O V A", {84, 0.1f, squash}, size, size, extent * 0.5f, extent * 0.45f);
    GlowingLetters(canvas, name, Palette::bone, Palette::cyan, 0.6f);

    const InkBox nameInk = FindInk(name);
    const float ruleY = static_cast<float>(nameInk.bottom) + 40.0f * squash;
    const Mask rule = FadingRule(static_cast<float>(nameInk.left) - 30.0f, static_cast<float>(nameInk.right) + 30.0f, ruleY, 3.0f * squash);
    canvas.AddLight(rule.Blurred(6.0f), Palette::cyan * 1.2f);
    canvas.Cover(rule, Palette::cyan);

    const Lettering mono(Fonts::mono);
    const Mask caption = mono.Set("NORTHERN NIGHT", {26, 0.6f, squash}, size, size, extent * 0.5f, ruleY + 44.0f * squash);
    canvas.Cover(caption, Mix(Palette::bone, Palette::cyan, 0.5f) * 0.75f);
    return canvas;
}

namespace {

// The name over the first act's scene: faint ripples round it, a rule
// above, a short warm one below, and the show's subtitle.
Canvas Title(float dawn, Color glowColour)
{
    constexpr float nameY = extent * 0.4f;
    Canvas canvas(size, size);
    FirstActScene::PaintSkyAndWater(canvas, dawn);
    const Mask rings = Mask::FromCoverage(size, size, [](float x, float y) {
        float coverage = 0.0f;
        for (int ring = 0; ring < 6; ++ring) {
            const float radius = 250.0f + 110.0f * static_cast<float>(ring);
            coverage += Shapes::RingCoverage(x, y, extent * 0.5f, nameY, radius, 2.0f) * (0.22f - 0.03f * static_cast<float>(ring));
        }
        return coverage * Shapes::SmoothStep(FirstActScene::horizon + 4.0f, FirstActScene::horizon - 4.0f, y);
    });
    canvas.AddLight(rings.Blurred(3.0f), glowColour * 0.9f);
    canvas.AddLight(rings, glowColour * 0.5f);
    FirstActScene::AddHills(canvas, dawn);

    const Lettering sans(Fonts::sansBold);
    const Mask name = sans.Set("KESTROVA", {124, 0.17f}, size, size, extent * 0.5f, nameY);
    GlowingLetters(canvas, name, Palette::bone, glowColour, 1.0f);

    const InkBox ink = FindInk(name);
    const Mask above = FadingRule(static_cast<float>(ink.left), static_cast<float>(ink.right), static_cast<float>(ink.top) - 46.0f, 2.0f);
    canvas.AddLight(above.Blurred(5.0f), glowColour);
    canvas.Cover(above, glowColour);
    const Mask below = FadingRule(extent * 0.5f - 120.0f, extent * 0.5f + 120.0f, static_cast<float>(ink.bottom) + 46.0f, 3.0f);
    canvas.AddLight(below.Blurred(6.0f), Palette::amber);
    canvas.Cover(below, Palette::amber);

    const Lettering mono(Fonts::mono);
    canvas.Cover(mono.Set("NORTHERN NIGHT", {28, 0.7f}, size, size, extent * 0.5f, static_cast<float>(ink.bottom) + 100.0f),
                 Mix(Palette::bone, glowColour, 0.4f) * 0.8f);
    return canvas;
}

}  // namespace

Canvas TitleCard()
{
    return Title(0.0f, Palette::cyan);
}

Canvas TitleCardAtDawn()
{
    return Title(1.0f, Mix(Palette::amber, Palette::coral, 0.3f));
}

Canvas SignalCard()
{
    constexpr float waveY = extent * 0.43f;
    constexpr float dawn = 0.4f;
    Canvas canvas(size, size);
    FirstActScene::PaintSkyAndWater(canvas, dawn);

    // A wave packet across the picture, with a dimmer echo trailing it.
    const auto wave = [](float x, float delay) {
        const float envelope = 95.0f * std::exp(-std::pow((x - extent * 0.5f - delay) / 240.0f, 2.0f));
        return waveY + envelope * std::sin(2.0f * 3.14159265f * (x - delay) / 88.0f);
    };
    const auto waveLine = [&wave](float delay, float lineWidth) {
        return Mask::FromCoverage(size, size, [&wave, delay, lineWidth](float x, float y) {
            const float height = wave(x, delay);
            const float slope = (wave(x + 0.5f, delay) - wave(x - 0.5f, delay));
            return Shapes::EdgeCoverage(std::fabs(y - height) / std::sqrt(1.0f + slope * slope) - lineWidth * 0.5f);
        });
    };
    const Mask echo = waveLine(70.0f, 2.0f);
    canvas.AddLight(echo.Blurred(6.0f), Palette::deepTeal * 1.5f);
    canvas.Cover(echo, Mix(Palette::deepTeal, Palette::cyan, 0.35f));
    const Mask signal = waveLine(0.0f, 3.0f);
    canvas.AddLight(signal.Blurred(14.0f), Palette::cyan * 0.9f);
    canvas.AddLight(signal.Blurred(4.0f), Palette::cyan * 0.8f);
    canvas.Cover(signal, Mix(Palette::cyan, Palette::bone, 0.35f));

    // The crest of the packet marked with a warm point.
    Mask crest(size, size);
    const float crestX = extent * 0.5f - 88.0f * 0.75f;
    Scenery::AddGlowSpot(crest, crestX, wave(crestX, 0.0f), 7.0f, 1.2f);
    canvas.AddLight(crest.Blurred(10.0f), Palette::amber * 3.0f);
    canvas.AddLight(crest, Palette::amber);

    // A baseline with ticks, like a scope's graticule.
    const Mask baseline = Mask::FromCoverage(size, size, [](float x, float y) {
        const float line = Shapes::EdgeCoverage(std::fabs(y - waveY) - 0.5f) * 0.35f;
        const float nearest = std::round(x / 64.0f) * 64.0f;
        const float tick = Shapes::EdgeCoverage(std::fabs(x - nearest) - 0.5f) * Shapes::EdgeCoverage(std::fabs(y - waveY) - 7.0f) * 0.6f;
        return std::max(line, tick) * Shapes::SmoothStep(0.0f, 0.2f, x / extent) * Shapes::SmoothStep(1.0f, 0.8f, x / extent);
    });
    canvas.AddLight(baseline, Palette::cyan * 0.6f);
    FirstActScene::AddHills(canvas, dawn);

    const Lettering sans(Fonts::sansBold);
    GlowingLetters(canvas, sans.Set("SIGNAL", {150, 0.24f}, size, size, extent * 0.5f, extent * 0.2f), Palette::bone, Palette::cyan, 0.8f);

    const Lettering mono(Fonts::mono);
    const Color caption = Mix(Palette::cyan, Palette::bone, 0.3f) * 0.7f;
    canvas.Cover(mono.Set("CH 01   44.1 KHZ", {24, 0.4f}, size, size, extent * 0.25f, extent * 0.08f), caption);
    canvas.Cover(mono.Set("124 BPM   A MINOR", {24, 0.4f}, size, size, extent * 0.75f, extent * 0.92f), caption);
    return canvas;
}

Canvas EchoCard()
{
    constexpr float dawn = 0.55f;
    constexpr float wordY = extent * 0.42f;
    Canvas canvas(size, size);
    FirstActScene::PaintSkyAndWater(canvas, dawn);

    const Lettering sans(Fonts::sansBold);
    constexpr TextStyle style{190, 0.2f};
    // Echoes fade away from the word into the sky, cold.
    for (int step = 2; step >= 1; --step) {
        const float strength = 0.75f / static_cast<float>(step * step);
        const Mask up = Outline(sans.Set("ECHO", style, size, size, extent * 0.5f, wordY - 140.0f * static_cast<float>(step)), 2.0f);
        canvas.AddLight(up.Blurred(6.0f), Palette::cyan * strength);
        canvas.Cover(up, Mix(Palette::night, Palette::cyan, strength));
    }
    // The water gives the word back warm, fainter with depth and broken by
    // the ripples.
    const Mask word = sans.Set("ECHO", style, size, size, extent * 0.5f, wordY);
    const Mask reflection = Mask::FromCoverage(size, size, [&word](float x, float y) {
        const float below = y - FirstActScene::horizon;
        if (below <= 0.0f) {
            return 0.0f;
        }
        const float ripple = 6.0f * std::sin(below * 0.11f + x * 0.004f);
        const int mirroredY = static_cast<int>(FirstActScene::horizon - below * 1.15f);
        const int shiftedX = static_cast<int>(x + ripple);
        if (mirroredY < 0 || shiftedX < 0 || shiftedX >= size) {
            return 0.0f;
        }
        return word.At(shiftedX, mirroredY) * std::exp(-below / 260.0f);
    });
    canvas.AddLight(reflection.Blurred(5.0f), Palette::coral * 0.45f);
    canvas.AddLight(reflection.Blurred(1.5f), Mix(Palette::coral, Palette::amber, 0.5f) * 0.35f);
    FirstActScene::AddHills(canvas, dawn);
    GlowingLetters(canvas, word, Palette::bone, Palette::amber, 0.8f);
    return canvas;
}

}  // namespace Pictures
