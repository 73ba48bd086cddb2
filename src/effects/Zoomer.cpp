#include "effects/Zoomer.h"

#include <cmath>

#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

constexpr int spriteCount = 100;

}  // namespace

Zoomer::Zoomer(std::uint32_t startTime, std::uint32_t endTime, const char* spritePath)
    : Effekt(startTime, endTime),
      spriteTexture(spritePath),
      backgroundTexture(backdropFiles[0]),
      backgroundAddTexture(backdropFiles[1])
{
}

void Zoomer::Draw(std::uint32_t time, float beat)
{
    const float musicTime = static_cast<float>(time);
    const float turn = musicTime * 0.0025f;
    const float swing = static_cast<float>(std::sin(double{musicTime * 0.00015f}));
    const float sway = static_cast<float>(std::cos(double{musicTime * 0.0001f}));
    const float bob = beat * 0.0125f;

    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

    {
        const OrthoScope ortho;
        const MatrixScope matrix;
        glTranslatef(0.5f * sway, bob - 0.5f * swing, -1.0f);
        glRotatef(static_cast<float>(-90.0 * std::cos(double{turn / 2.0f}) * std::sin(double{turn})), 0.0f, 0.0f, 1.0f);
        const Quad backdrop(1.25f, 1.25f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        const TextureBinding binding(backgroundTexture.textureId);
        backdrop.Draw(1.0f, 1.0f);
        const CTransparency additive(GL_ONE, GL_ONE);
        const float light = beat + 0.1f;
        glColor4f(light, light, light, light);
        const TextureBinding addBinding(backgroundAddTexture.textureId);
        backdrop.Draw(1.0f, 1.0f);
    }

    const MatrixScope tubeMatrix;
    const CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    const Quad sprite(0.5f, 0.5f);
    for (int k = -spriteCount; k <= -1; ++k) {
        const float z = static_cast<float>(k) / 50.0f;
        const MatrixScope matrix;
        // Straight near the viewer, bending away with the fourth power of the depth.
        const float bend = static_cast<float>(std::pow(double{0.65f * z}, 4.0));
        glTranslatef(sway * bend, swing * bend + bob, z);
        glRotatef(static_cast<float>(90.0 * std::sin(double{z + turn}) * std::cos(double{z + turn / 2.0f})), 0.0f, 0.0f, 1.0f);
        const float nearness = 1.0f / std::sqrt(z * z);
        const float brightness = nearness * nearness;
        glColor4f(brightness, brightness, brightness, brightness);
        const TextureBinding binding(spriteTexture.textureId);
        sprite.Draw(1.0f, 1.0f);
    }
}

}  // namespace Effekter
