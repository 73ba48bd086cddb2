#include "effects/Tunnel.h"

#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

constexpr std::uint32_t skyDuration = 15000;
constexpr int cloudCount = 1000;

}  // namespace

Tunnel::Tunnel(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      cloudTexture(pictureFiles[0]),
      skyTexture(pictureFiles[1]),
      skyAddTexture(pictureFiles[2])
{
}

void Tunnel::Draw(std::uint32_t time, float beat)
{
    // Unsigned: a window shorter than the sky's wraps here and never shows it.
    const std::uint32_t skyStart = endTime - skyDuration;
    float skyFade = 0.0f;
    if (time > skyStart) {
        skyFade = DrawSky(static_cast<float>(time), skyStart, beat);
    }
    DrawClouds(time, beat, skyFade);
}

float Tunnel::DrawSky(float musicTime, std::uint32_t skyStart, float beat)
{
    const float skyStartTime = static_cast<float>(skyStart);
    const OrthoScope ortho;
    const float fade = 0.9f * std::clamp((musicTime - skyStartTime) / 10000.0f, 0.0f, 1.0f);
    const float intoSky = musicTime - skyStartTime;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, intoSky * 0.00001f - 2.0f);
    glColor4f(fade, fade, fade, fade);
    const float halfSize = 1.0f + intoSky * 0.00005f;
    const Quad landscape(halfSize, halfSize);
    // Opaque: it hides whatever was drawn before, darkened by the fade.
    glBindTexture(GL_TEXTURE_2D, skyTexture.textureId);
    landscape.Draw(1.0f, 1.0f);
    const CTransparency additive(GL_ONE, GL_ONE);
    const TextureBinding binding(skyAddTexture.textureId);
    const float lights = fade * beat * 0.125f;
    glColor4f(lights, lights, lights, lights);
    // Upside down: the lights picture is painted flipped to match.
    landscape.Draw(1.0f, -1.0f);
    return fade;
}

void Tunnel::DrawClouds(std::uint32_t time, float beat, float skyFade)
{
    const float elapsed = static_cast<float>(time - startTime);
    const MatrixScope tunnelMatrix;
    glTranslatef(0.0f, beat * 0.0125f, 0.0f);
    glRotatef(elapsed * 0.005f, 0.0f, 0.0f, 1.0f);
    const TextureBinding binding(cloudTexture.textureId);
    Quad cloud(10.0f, 10.0f);
    const CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    const MatrixScope coilMatrix;

    // Not reseeded: these two follow whatever the effects before drew.
    const float twistA = RandomUnit();
    const float twistB = RandomUnit();
    const float travelled = elapsed * 0.01f;
    const float strength = (1.0f - skyFade) * (beat + 1.125f);
    for (int i = cloudCount; i >= 1; --i) {
        DemoRandom::Seed(static_cast<std::uint32_t>(cloudSeed));
        const float depth = travelled - static_cast<float>(i);
        const float brightness = depth > -10.0f ? -depth / 10.0f : 1.0f - (-depth - 10.0f) / 5.0f;
        const float colour = brightness * strength;
        glColor4f(colour, colour, colour, colour);
        const float r1 = RandomUnit();
        const double sway = std::sin(double{r1 * depth});
        const float r2 = RandomUnit();
        const float r3 = RandomUnit();
        cloud.center.Set(depth * r3, static_cast<float>(r2 * sway), depth);
        const double angle = 10.0 * std::sin(double{static_cast<float>(i) * twistA}) * std::cos(double{static_cast<float>(i) * twistB});
        glRotatef(static_cast<float>(angle), 0.0f, 0.0f, 1.0f);
        if (depth > -15.0f) {
            cloud.Draw(1.0f, 1.0f);
        }
    }
}

}  // namespace Effekter
